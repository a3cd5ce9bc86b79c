#include "log/log_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_io.h"
#include "link/frame.h"

namespace velmor {
namespace {

constexpr LogColumnInfo kColumns[] = {
#define VELMOR_LOG_INFO(id, name, decimals, source) {name, decimals, MonValue::source},
    VELMOR_LOG_COLUMNS(VELMOR_LOG_INFO)
#undef VELMOR_LOG_INFO
};
static_assert(std::size(kColumns) == kLogColumnCount);
static_assert(kLogChannelTexts == kLogColumnCount, "a name and unit for every column");

constexpr bool OneColumnAValue() {
  for (int a = 0; a < kLogColumnCount; ++a)
    for (int b = a + 1; b < kLogColumnCount; ++b)
      if (kColumns[a].Source != MonValue::Count && kColumns[a].Source == kColumns[b].Source) return false;
  return true;
}
static_assert(OneColumnAValue(), "a value of the reply is recorded once");

// The other way round: the column of each value of the reply.
constexpr auto kColumnOf = [] {
  std::array<LogCol, kMonValueCount> columns{};
  columns.fill(LogCol::Count);
  for (int c = 0; c < kLogColumnCount; ++c)
    if (kColumns[c].Source != MonValue::Count) columns[static_cast<int>(kColumns[c].Source)] = static_cast<LogCol>(c);
  return columns;
}();

// Writes `value` in units of its last decimal as a decimal number; at most
// 12 characters.
char* FormatFixed(char* out, std::int32_t value, int decimals) {
  if (value == kLogMissing) return out;
  char digits[12];
  std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0 || n <= decimals);
  if (value < 0) *out++ = '-';
  for (int i = n - 1; i >= 0; --i) {
    *out++ = digits[i];
    if (i == decimals && decimals > 0) *out++ = '.';
  }
  return out;
}

}  // namespace

LogValueParse ParseLogValueChecked(std::string_view text, int decimals, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t v = 0;
  int digits = 0, fracDigits = 0;
  bool roundUp = false, point = false, tooLarge = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return LogValueParse::NotANumber;
    ++digits;
    if (point && fracDigits >= decimals) {
      if (fracDigits == decimals) roundUp = c >= '5';
      ++fracDigits;
      continue;
    }
    if (point) ++fracDigits;
    // Past 2^40 the value is out of range whatever follows; the digits are
    // still looked at, so that "99999999999x" is no number.
    if (v > std::int64_t{1} << 40) tooLarge = true;
    else v = v * 10 + (c - '0');
  }
  if (digits == 0) return LogValueParse::NotANumber;
  if (tooLarge) return LogValueParse::OutOfRange;
  for (int f = std::min(fracDigits, decimals); f < decimals; ++f) v *= 10;
  if (roundUp) ++v;
  if (negative) v = -v;
  if (v <= kLogMissing || v > std::numeric_limits<std::int32_t>::max()) return LogValueParse::OutOfRange;
  value = static_cast<std::int32_t>(v);
  return LogValueParse::Ok;
}

bool ParseLogValue(std::string_view text, int decimals, std::int32_t& value) {
  return ParseLogValueChecked(text, decimals, value) == LogValueParse::Ok;
}

const LogColumnInfo& LogColumn(LogCol col) { return kColumns[static_cast<int>(col)]; }

LogCol FindLogColumn(std::string_view name) {
  for (int i = 0; i < kLogColumnCount; ++i)
    if (kColumns[i].Name == name) return static_cast<LogCol>(i);
  return LogCol::Count;
}

LogCol LogColumnOf(MonValue value) { return kColumnOf[static_cast<int>(value)]; }

LogRow LogRowFromMonitorFrame(const std::uint8_t* f, std::int32_t timeMs) {
  LogRow r;
  r[LogCol::TimeS] = timeMs;
  for (int c = 0; c < kLogColumnCount; ++c) {
    if (kColumns[c].Source == MonValue::Count) continue;
    if (const auto reading = MonitorReading(f, kColumns[c].Source)) r.Values[c] = *reading;
  }
  // The throttle's tenths come as a digit of their own: without it there is
  // no throttle.
  const auto tenth = MonitorReading(f, MonValue::TpsTenth);
  if (r.Has(LogCol::TpsPct)) r[LogCol::TpsPct] = tenth ? r[LogCol::TpsPct] + *tenth : kLogMissing;
  return r;
}

std::array<std::uint8_t, 152> MonitorFrameFromLogRow(const LogRow& r) {
  LinkFrame f{};
  f[0] = kMonitorReply;
  // In the order of the reply, the flags first: a value without a reading
  // then turns its sensor's fault flag on, whatever the row's flag says.
  for (const MonitorSlot& s : MonitorLayout()) {
    const LogCol c = LogColumnOf(s.Value);
    if (c != LogCol::Count)
      PutMonitorReading(f, s.Value, r.Has(c) ? std::optional(r[c]) : std::nullopt);
  }
  // The tenth digit carries what the whole digit left over, limited to 0..9
  // where the throttle is beyond what the two digits hold.
  std::optional<std::int32_t> tenth;
  if (r.Has(LogCol::TpsPct))
    tenth = r[LogCol::TpsPct] - MonitorRaw(f.data(), MonValue::TpsWhole) * MonitorSlotOf(MonValue::TpsWhole).Scale;
  PutMonitorReading(f, MonValue::TpsTenth, tenth);
  PutMonitorRaw(f, MonValue::Version, kProtocolVersion);
  SealFrame(f);
  return f;
}

void AppendLogHeader(std::string& out) {
  for (int i = 0; i < kLogColumnCount; ++i) {
    if (i > 0) out += ',';
    out += kColumns[i].Name;
  }
  out += '\n';
}

void AppendLogRow(const LogRow& row, std::string& out) {
  // Every column at its widest and its comma.
  char line[kLogColumnCount * 13 + 1];
  char* p = line;
  for (int i = 0; i < kLogColumnCount; ++i) {
    if (i > 0) *p++ = ',';
    p = FormatFixed(p, row.Values[i], kColumns[i].Decimals);
  }
  *p++ = '\n';
  out.append(line, p);
}

void LogColumnData::Append(std::int32_t value) {
  if (blocks_.empty() || blocks_.back().Count == kBlockRows) {
    blocks_.emplace_back();
    blocks_.back().Base = value;
  }
  Block& b = blocks_.back();
  if (WidthFor(b.Base, value) > b.Width) Widen(b, value);
  Put(b, value);
  // A whole block keeps no room for growth it will not use.
  if (b.Count == kBlockRows) b.Bytes.shrink_to_fit();
}

int LogColumnData::WidthFor(std::int32_t base, std::int32_t value) {
  if (value == base) return 0;
  if (base == kLogMissing) return 4;  // a reading in a block without one so far: Widen finds its base
  if (value == kLogMissing) return 1;
  const std::int64_t o = std::int64_t{value} - base;
  if (o >= -127 && o <= 127) return 1;
  if (o >= -32767 && o <= 32767) return 2;
  return 4;
}

void LogColumnData::Put(Block& b, std::int32_t value) {
  const std::size_t at = b.Count++;
  if (b.Width == 0) return;
  b.Bytes.resize(b.Count * b.Width);
  if (b.Width == 4) {
    std::memcpy(&b.Bytes[4 * at], &value, 4);
  } else if (b.Width == 2) {
    const std::int16_t o = value == kLogMissing ? kMissing16 : static_cast<std::int16_t>(value - b.Base);
    std::memcpy(&b.Bytes[2 * at], &o, 2);
  } else {
    b.Bytes[at] = static_cast<std::uint8_t>(value == kLogMissing ? kMissing8 : static_cast<std::int8_t>(value - b.Base));
  }
}

// Rewrites the block in the width that holds its values and `value`; at
// most three times a block, as the width only grows.
void LogColumnData::Widen(Block& b, std::int32_t value) {
  std::vector<std::int32_t> values(b.Count);
  for (std::uint32_t i = 0; i < b.Count; ++i) {
    switch (b.Width) {
      case 0: values[i] = b.Base; break;
      case 1: {
        const auto o = static_cast<std::int8_t>(b.Bytes[i]);
        values[i] = o == kMissing8 ? kLogMissing : b.Base + o;
        break;
      }
      case 2: {
        std::int16_t o;
        std::memcpy(&o, &b.Bytes[2 * i], 2);
        values[i] = o == kMissing16 ? kLogMissing : b.Base + o;
        break;
      }
      default: std::memcpy(&values[i], &b.Bytes[4 * i], 4);
    }
  }
  values.push_back(value);
  std::int32_t base = kLogMissing;
  for (std::int32_t v : values)
    if (v != kLogMissing) {
      base = v;
      break;
    }
  int width = 1;
  for (std::int32_t v : values) width = std::max(width, v == base ? 0 : WidthFor(base, v));
  b.Base = base;
  b.Width = static_cast<std::uint8_t>(width);
  b.Count = 0;
  b.Bytes.clear();
  values.pop_back();
  b.Bytes.reserve((values.size() + 1) * b.Width);
  for (std::int32_t v : values) Put(b, v);
}

void LogColumnData::Read(std::size_t first, std::size_t count, std::int32_t* out) const {
  while (count > 0) {
    const Block& b = blocks_[first >> kBlockShift];
    const std::size_t i = first & (kBlockRows - 1);
    const std::size_t n = std::min(count, kBlockRows - i);
    switch (b.Width) {
      case 0: std::fill_n(out, n, b.Base); break;
      case 1:
        for (std::size_t k = 0; k < n; ++k) {
          const auto o = static_cast<std::int8_t>(b.Bytes[i + k]);
          out[k] = o == kMissing8 ? kLogMissing : b.Base + o;
        }
        break;
      case 2:
        for (std::size_t k = 0; k < n; ++k) {
          std::int16_t o;
          std::memcpy(&o, &b.Bytes[2 * (i + k)], 2);
          out[k] = o == kMissing16 ? kLogMissing : b.Base + o;
        }
        break;
      default: std::memcpy(out, &b.Bytes[4 * i], 4 * n);
    }
    first += n;
    count -= n;
    out += n;
  }
}

std::size_t LogColumnData::Bytes() const {
  std::size_t n = blocks_.capacity() * sizeof(Block);
  for (const Block& b : blocks_) n += b.Bytes.capacity();
  return n;
}

LogRow LogData::Row(std::size_t row) const {
  LogRow r;
  for (int c = 0; c < kLogColumnCount; ++c) r.Values[c] = columns_[c].Get(row);
  return r;
}

void LogData::Append(const LogRow& row) {
  for (int c = 0; c < kLogColumnCount; ++c) columns_[c].Append(row.Values[c]);
  ++rows_;
}

std::size_t LogData::RowAfter(std::int64_t ms) const {
  std::size_t lo = 0, hi = rows_;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (TimeMs(mid) <= ms) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

std::size_t LogData::Bytes() const {
  std::size_t n = 0;
  for (const LogColumnData& c : columns_) n += c.Bytes();
  return n;
}

std::string DescribeLogProblem(const LogProblem& problem, LanguageCode language) {
  if (!problem) return {};
  std::string text(LogUiText(problem.Text, language));
  for (std::size_t i = 0; i < problem.Args.size(); ++i) {
    const std::string mark = "%" + std::to_string(i + 1);
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), problem.Args[i]);
  }
  return text;
}

namespace {

// The buffer a file is read through, and the longest line it may grow to: a
// line of a log is a few hundred bytes.
constexpr std::size_t kReadBuffer = std::size_t{1} << 20;
constexpr std::size_t kLongestLine = std::size_t{16} << 20;

std::string Fixed(std::int64_t value, int decimals) {
  char text[24];
  return std::string(text, FormatFixed(text, static_cast<std::int32_t>(value), decimals));
}

std::string_view Trimmed(const char* first, const char* last) {
  while (first < last && *first == ' ') ++first;
  while (last > first && last[-1] == ' ') --last;
  return {first, static_cast<std::size_t>(last - first)};
}

}  // namespace

LogReader::LogReader() = default;

LogReader::~LogReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LogReader::Fail(LogText text, std::vector<std::string> args) {
  problem_ = {text, std::move(args)};
  return false;
}

bool LogReader::Open(const std::string& path) {
  // Without O_NONBLOCK the open of a pipe waits for a writer.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Fail(LogText::ReadNoFile);
    if (errno == EACCES || errno == EPERM) return Fail(LogText::ReadNoPermission);
    return Fail(LogText::ReadFailed, {std::strerror(errno)});
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return Fail(LogText::ReadFailed, {std::strerror(errno)});
  if (S_ISDIR(st.st_mode)) return Fail(LogText::ReadFolder);
  if (S_ISFIFO(st.st_mode)) return Fail(LogText::ReadFifo);
  if (!S_ISREG(st.st_mode)) return Fail(LogText::ReadDevice);
  fileBytes_ = static_cast<std::uint64_t>(st.st_size);
  buffer_.resize(kReadBuffer);
  if (!Refill()) return false;
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  return ReadHeader();
}

bool LogReader::OpenText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  text_ = text;
  eof_ = true;
  return ReadHeader();
}

bool LogReader::Refill() {
  const std::size_t kept = text_.size() - pos_;
  if (kept == buffer_.size()) {
    if (buffer_.size() >= kLongestLine)
      return Fail(LogText::ReadLineTooLong, {std::to_string(lineNo_ + 1), std::to_string(kLongestLine >> 20)});
    buffer_.resize(buffer_.size() * 2);
  }
  if (kept > 0 && pos_ > 0) std::memmove(buffer_.data(), text_.data() + pos_, kept);
  pos_ = 0;
  std::size_t got = kept;
  while (got < buffer_.size()) {
    const ssize_t n = ::read(fd_, buffer_.data() + got, buffer_.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(LogText::ReadFailed, {std::strerror(errno)});
    if (n == 0) {
      eof_ = true;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  text_ = std::string_view(buffer_.data(), got);
  return true;
}

bool LogReader::NextLine(std::string_view& line) {
  for (;;) {
    const char* at = text_.data() + pos_;
    if (const void* lf = std::memchr(at, '\n', text_.size() - pos_)) {
      line = std::string_view(at, static_cast<std::size_t>(static_cast<const char*>(lf) - at));
      pos_ += line.size() + 1;
      if (line.ends_with('\r')) line.remove_suffix(1);
      ++lineNo_;
      return true;
    }
    // None, or cut off mid-write: what is left is dropped.
    if (eof_ || !Refill()) return false;
  }
}

bool LogReader::ReadHeader() {
  std::string_view header;
  if (!NextLine(header) || header.empty()) return problem_ ? false : Fail(LogText::ReadNoHeader);
  for (std::size_t start = 0;;) {
    const std::size_t comma = header.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? header.size() : comma;
    std::string_view name = Trimmed(header.data() + start, header.data() + end);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    const LogCol col = FindLogColumn(name);
    if (col != LogCol::Count) {
      if (present_[static_cast<int>(col)]) return Fail(LogText::ReadColumnTwice, {std::string(name)});
      present_[static_cast<int>(col)] = true;
    }
    fieldColumn_.push_back(col);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  for (LogCol required : kRequiredLogColumns) {
    if (present_[static_cast<int>(required)]) continue;
    // A spreadsheet's export with another separator has the names, in one
    // field.
    if (header.find(';') != std::string_view::npos) return Fail(LogText::ReadSemicolons);
    if (header.find('\t') != std::string_view::npos) return Fail(LogText::ReadTabs);
    return Fail(LogText::ReadNoColumn, {std::string(LogColumn(required).Name)});
  }
  return true;
}

bool LogReader::Next(LogRow& row) {
  if (problem_) return false;
  std::string_view line;
  do {
    if (!NextLine(line)) return false;
  } while (line.empty());
  row.Values.fill(kLogMissing);
  const char* p = line.data();
  const char* const end = p + line.size();
  const std::size_t fields = fieldColumn_.size();
  std::size_t field = 0;
  for (;; ++field) {
    const LogCol col = field < fields ? fieldColumn_[field] : LogCol::Count;
    if (col != LogCol::Count) {
      // The plain case of every field a recorder writes, "-12.3" or nothing,
      // in one look at each character; anything else goes the long way.
      const int decimals = LogColumn(col).Decimals;
      const char* q = p;
      const bool negative = q < end && *q == '-';
      if (negative) ++q;
      std::int64_t v = 0;
      int digits = 0, fraction = 0;
      while (q < end && static_cast<unsigned>(*q - '0') < 10 && digits < 12) v = v * 10 + (*q++ - '0'), ++digits;
      if (q < end && *q == '.' && digits > 0) {
        ++q;
        while (q < end && static_cast<unsigned>(*q - '0') < 10 && fraction < decimals)
          v = v * 10 + (*q++ - '0'), ++fraction;
      }
      if ((q == end || *q == ',') && digits < 12 && (digits > 0 || (!negative && q == p))) {
        if (digits > 0) {
          for (int f = fraction; f < decimals; ++f) v *= 10;
          if (negative) v = -v;
          if (v > kLogMissing && v <= std::numeric_limits<std::int32_t>::max()) {
            row[col] = static_cast<std::int32_t>(v);
          } else {
            q = nullptr;
          }
        }
        if (q != nullptr) {
          if (q == end) break;
          p = q + 1;
          continue;
        }
      }
    }
    const auto* comma = static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(end - p)));
    const char* fieldEnd = comma ? comma : end;
    if (col != LogCol::Count) {
      const std::string_view value = Trimmed(p, fieldEnd);
      if (!value.empty()) {
        const int decimals = LogColumn(col).Decimals;
        switch (ParseLogValueChecked(value, decimals, row[col])) {
          case LogValueParse::Ok: break;
          case LogValueParse::NotANumber:
            return Fail(LogText::ReadNotANumber, {std::to_string(lineNo_), std::string(LogColumn(col).Name),
                                                  std::string(value.substr(0, 40))});
          case LogValueParse::OutOfRange:
            return Fail(LogText::ReadOutOfRange,
                        {std::to_string(lineNo_), std::string(LogColumn(col).Name), std::string(value.substr(0, 40)),
                         Fixed(std::int64_t{kLogMissing} + 1, decimals),
                         Fixed(std::numeric_limits<std::int32_t>::max(), decimals)});
        }
      }
    }
    if (comma == nullptr) break;
    p = comma + 1;
  }
  if (field + 1 != fields)
    return Fail(LogText::ReadFieldCount, {std::to_string(lineNo_), std::to_string(field + 1), std::to_string(fields)});
  if (!row.Has(LogCol::TimeS)) return Fail(LogText::ReadNoTime, {std::to_string(lineNo_)});
  const std::int32_t t = row.TimeMs();
  if (t < lastTimeMs_ && !outOfOrder_)
    outOfOrder_ = {LogText::ReadBackInTime, {std::to_string(lineNo_), Fixed(t, 3), Fixed(lastTimeMs_, 3)}};
  lastTimeMs_ = t;
  return true;
}

namespace {

LogReadResult ReadAll(LogReader& reader, bool opened) {
  LogReadResult result;
  if (opened) {
    result.Data.Present = reader.Present();
    try {
      LogRow row;
      while (reader.Next(row)) result.Data.Append(row);
    } catch (const std::bad_alloc&) {
      result.Data = {};
      result.Problem = {LogText::ReadTooLarge, {std::to_string((reader.FileBytes() + (1 << 20) - 1) >> 20)}};
    }
  }
  if (!result.Problem) result.Problem = reader.Problem();
  if (result.Problem) {
    result.Data = {};
    result.Error = DescribeLogProblem(result.Problem);
    return result;
  }
  result.OutOfOrder = reader.OutOfOrder();
  result.Ok = true;
  return result;
}

}  // namespace

LogReadResult ParseLog(std::string_view text) {
  LogReader reader;
  const bool opened = reader.OpenText(text);
  return ReadAll(reader, opened);
}

LogReadResult ReadLogFile(const std::string& path) {
  LogReader reader;
  const bool opened = reader.Open(path);
  return ReadAll(reader, opened);
}


LogWriter::~LogWriter() { Close(); }

bool LogWriter::Open(const std::string& path, std::string* error) {
  Close();
  std::error_code ec;
  const bool existed = std::filesystem::exists(path, ec);
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  buffer_.clear();
  buffer_.reserve(64 * 1024);
  AppendLogHeader(buffer_);
  rows_ = 0;
  failed_ = false;
  error_.clear();
  lastFlushMs_ = 0;
  if (!Flush()) {
    // Nothing stays open: the next start is a new log with its header, and
    // a file made only for this log (empty or half a header) goes again.
    if (error) *error = path + ": " + error_;
    std::fclose(file_);
    file_ = nullptr;
    if (!existed) std::filesystem::remove(path, ec);
    return false;
  }
  return true;
}

void LogWriter::Add(const LogRow& row) {
  if (file_ == nullptr || failed_) return;
  AppendLogRow(row, buffer_);
  ++rows_;
  FlushIfDue(row.TimeMs());
}

void LogWriter::FlushIfDue(std::int32_t nowMs) {
  if (file_ == nullptr || buffer_.empty()) return;
  // A clock that went back (a new log clock) also writes.
  if (nowMs - lastFlushMs_ >= 1000 || nowMs < lastFlushMs_) {
    lastFlushMs_ = nowMs;
    Flush();
  }
}

bool LogWriter::Flush() {
  if (file_ == nullptr) return false;
  // After a failed write rows are missing from the file: nothing later may
  // follow them as if the log had no gap.
  if (failed_) {
    buffer_.clear();
    return false;
  }
  if (!buffer_.empty()) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) Fail();
    buffer_.clear();
  }
  if (!failed_ && std::fflush(file_) != 0) Fail();
  return !failed_;
}

bool LogWriter::Close() {
  if (file_ == nullptr) return !failed_;
  Flush();
  if (std::fclose(file_) != 0 && !failed_) Fail();
  file_ = nullptr;
  return !failed_;
}

void LogWriter::Fail() {
  failed_ = true;
  error_ = std::strerror(errno);
}

std::vector<std::size_t> LogBreaks(const LogData& log) {
  // In 64 bits: a file may hold any time, and differences must not wrap.
  const std::size_t n = log.Size();
  std::vector<std::int64_t> steps;
  steps.reserve(n);
  std::int64_t before = n > 0 ? log.TimeMs(0) : 0;
  for (std::size_t i = 1; i < n; ++i) {
    const std::int64_t t = log.TimeMs(i);
    if (t > before) steps.push_back(t - before);
    before = t;
  }
  std::vector<std::size_t> breaks;
  if (steps.empty()) return breaks;
  // The lower median: of two steps, the shorter is the sample interval.
  const auto median = steps.begin() + static_cast<std::ptrdiff_t>((steps.size() - 1) / 2);
  std::nth_element(steps.begin(), median, steps.end());
  const std::int64_t longest = *median * kLogBreakSteps;
  before = log.TimeMs(0);
  for (std::size_t i = 1; i < n; ++i) {
    const std::int64_t t = log.TimeMs(i);
    if (t < before || t - before > longest) breaks.push_back(i);
    before = t;
  }
  return breaks;
}

std::vector<std::pair<std::size_t, std::size_t>> ReadingRuns(const LogData& log, LogCol column,
                                                             const std::vector<std::size_t>& breaks) {
  auto nextBreak = breaks.begin();
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  const LogColumnData& values = log.Column(column);
  const std::size_t n = log.Size();
  for (std::size_t i = 0; i < n;) {
    while (i < n && values.Get(i) == kLogMissing) ++i;
    const std::size_t first = i;
    while (nextBreak != breaks.end() && *nextBreak <= first) ++nextBreak;
    const std::size_t end = nextBreak == breaks.end() ? n : *nextBreak;
    while (i < end && values.Get(i) != kLogMissing) ++i;
    if (i > first) runs.emplace_back(first, i);
  }
  return runs;
}

std::vector<std::pair<std::size_t, std::size_t>> ReadingRuns(const LogData& log, LogCol column) {
  return ReadingRuns(log, column, LogBreaks(log));
}


}  // namespace velmor

#include "log/log_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "files/file_io.h"
#include "link/frame.h"

namespace velmor {
namespace {

constexpr LogColumnInfo kColumns[] = {
#define VELMOR_LOG_INFO(id, name, decimals) {name, decimals},
    VELMOR_LOG_COLUMNS(VELMOR_LOG_INFO)
#undef VELMOR_LOG_INFO
};
static_assert(std::size(kColumns) == kLogColumnCount);

int Word(const std::uint8_t* f, int offset) { return f[offset] | (f[offset + 1] << 8); }

// A flag column is 1 while the live display shows the condition as "YES":
// for most inputs that is a clear bit.
struct FlagSource {
  LogCol Column;
  std::uint8_t Byte;
  std::uint8_t Bit;
  bool ActiveWhenSet;
};
constexpr FlagSource kFlags[] = {
    {LogCol::StartSwitchIn, 1, 0, false},   {LogCol::ClutchIn, 1, 1, false},
    {LogCol::Neutral, 1, 2, true},          {LogCol::SideStand, 1, 3, false},
    {LogCol::StartLimiterIn, 1, 4, false},  {LogCol::ClutchMasterIn, 1, 5, false},
    {LogCol::TachoLambdaIn, 1, 6, false},   {LogCol::PinEngine23In, 1, 7, false},
    {LogCol::PinBody11In, 2, 0, false},     {LogCol::StartSwitchOut, 2, 1, true},
    {LogCol::StartLimiterOut, 2, 2, true},  {LogCol::IgnLimiter, 2, 3, true},
    {LogCol::JetLimiter, 2, 4, true},       {LogCol::RetardLimiter, 2, 5, true},
    {LogCol::TachoOut, 2, 6, true},         {LogCol::N2oOn, 2, 7, true},
    {LogCol::ClutchMasterOut, 3, 0, true},  {LogCol::BaseAdvance, 3, 3, true},
    {LogCol::PickupSignal, 3, 5, true},     {LogCol::DataError, 3, 6, true},
    {LogCol::TpsFault, 3, 7, true},         {LogCol::PressureFault, 4, 0, true},
    {LogCol::OilOk, 4, 1, true},            {LogCol::LambdaHeater, 4, 2, true},
    {LogCol::Fan1, 4, 3, true},             {LogCol::Fan2, 4, 4, true},
    {LogCol::BlockingOut, 4, 5, true},      {LogCol::FuelWarning, 4, 6, true},
    {LogCol::TestsLocked, 4, 7, true},
};

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

bool ParseLogValue(std::string_view text, int decimals, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t v = 0;
  int digits = 0, fracDigits = 0;
  bool roundUp = false, point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    ++digits;
    if (point && fracDigits >= decimals) {
      if (fracDigits == decimals) roundUp = c >= '5';
      ++fracDigits;
      continue;
    }
    if (point) ++fracDigits;
    v = v * 10 + (c - '0');
    if (v > std::int64_t{1} << 40) return false;
  }
  if (digits == 0) return false;
  for (int f = std::min(fracDigits, decimals); f < decimals; ++f) v *= 10;
  if (roundUp) ++v;
  if (negative) v = -v;
  if (v <= kLogMissing || v > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

const LogColumnInfo& LogColumn(LogCol col) { return kColumns[static_cast<int>(col)]; }

LogCol FindLogColumn(std::string_view name) {
  for (int i = 0; i < kLogColumnCount; ++i)
    if (kColumns[i].Name == name) return static_cast<LogCol>(i);
  return LogCol::Count;
}

LogRow LogRowFromMonitorFrame(const std::uint8_t* f, std::int32_t timeMs) {
  LogRow r;
  const bool tpsFault = f[3] & 0x80;
  const bool pressureFault = f[4] & 0x01;
  r[LogCol::TimeS] = timeMs;
  r[LogCol::Rpm] = Word(f, 48);
  // The tenths come as their own digit; a value beyond 9 is not one.
  if (!tpsFault && f[28] <= 9) r[LogCol::TpsPct] = f[9] * 10 + f[28];
  // The unit sends A/F 0 while the lambda sensor gives no reading.
  if (f[30] != 0) r[LogCol::Afr] = f[30];
  if (f[23] != 0) r[LogCol::CoolantC] = f[23] - 100;
  if (f[24] > 60) r[LogCol::AirC] = f[24] - 100;
  if (!pressureFault) r[LogCol::PressureKpa] = Word(f, 52);
  r[LogCol::Advance1Deg] = f[10];
  r[LogCol::Advance2Deg] = f[11];
  r[LogCol::Inj1Us] = f[14] * 100;
  r[LogCol::Inj2Us] = f[15] * 100;
  r[LogCol::Gear] = f[25];
  r[LogCol::SpeedKmh] = Word(f, 116);
  r[LogCol::StartTimeS] = Word(f, 94);
  r[LogCol::SupplyV] = Word(f, 64);
  r[LogCol::CoolantCorrPct] = Word(f, 100);
  r[LogCol::AirCorrPct] = Word(f, 102);
  r[LogCol::PressureCorrPct] = Word(f, 104);
  r[LogCol::StartCorrPct] = Word(f, 106);
  r[LogCol::AccelCorrPct] = Word(f, 136);
  r[LogCol::VoltageCorrUs] = Word(f, 108) - 1000;
  r[LogCol::CoolantAdvCorrDeg] = Word(f, 110) - 1000;
  r[LogCol::IdleAdvCorrDeg] = Word(f, 134) - 1000;
  r[LogCol::RpmSpeedRatio] = Word(f, 120);
  r[LogCol::TpsMv] = Word(f, 56);
  r[LogCol::LambdaMv] = Word(f, 58);
  r[LogCol::PressureMv] = Word(f, 50);
  r[LogCol::CoolantMv] = Word(f, 60);
  r[LogCol::AirMv] = Word(f, 62);
  r[LogCol::FuelMv] = Word(f, 44);
  r[LogCol::TuningStatus] = f[29];
  r[LogCol::ShiftLight] = f[27];
  r[LogCol::UnitSaving] = Word(f, 148);
  for (const FlagSource& s : kFlags) r[s.Column] = ((f[s.Byte] >> s.Bit) & 1) == (s.ActiveWhenSet ? 1 : 0);
  return r;
}

std::array<std::uint8_t, 152> MonitorFrameFromLogRow(const LogRow& r) {
  LinkFrame f{};
  auto value = [&](LogCol c, int missing, int lo, int hi) { return std::clamp(r.Has(c) ? r[c] : missing, lo, hi); };
  auto byte = [&](int offset, LogCol c, int missing = 0, int add = 0) {
    f[offset] = static_cast<std::uint8_t>(value(c, missing - add, -add, 255 - add) + add);
  };
  auto word = [&](int offset, LogCol c, int missing = 0, int add = 0) {
    const int v = value(c, missing - add, -add, 0xFFFF - add) + add;
    f[offset] = static_cast<std::uint8_t>(v & 0xFF);
    f[offset + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  f[0] = kMonitorReply;
  for (const FlagSource& s : kFlags) {
    const bool active = r.Has(s.Column) && r[s.Column] != 0;
    if (active == s.ActiveWhenSet) f[s.Byte] |= static_cast<std::uint8_t>(1u << s.Bit);
  }
  // A missing reading is the unit's sensor fault.
  if (!r.Has(LogCol::TpsPct)) f[3] |= 0x80;
  if (!r.Has(LogCol::PressureKpa)) f[4] |= 0x01;
  const int tps = value(LogCol::TpsPct, 0, 0, 2559);
  f[9] = static_cast<std::uint8_t>(tps / 10);
  f[28] = static_cast<std::uint8_t>(tps % 10);
  byte(10, LogCol::Advance1Deg);
  byte(11, LogCol::Advance2Deg);
  f[14] = static_cast<std::uint8_t>(value(LogCol::Inj1Us, 0, 0, 25500) / 100);
  f[15] = static_cast<std::uint8_t>(value(LogCol::Inj2Us, 0, 0, 25500) / 100);
  f[23] = r.Has(LogCol::CoolantC) ? static_cast<std::uint8_t>(std::clamp(r[LogCol::CoolantC] + 100, 1, 255)) : 0;
  f[24] = r.Has(LogCol::AirC) ? static_cast<std::uint8_t>(std::clamp(r[LogCol::AirC] + 100, 61, 255)) : 60;
  byte(25, LogCol::Gear);
  byte(27, LogCol::ShiftLight);
  byte(29, LogCol::TuningStatus);
  byte(30, LogCol::Afr);
  word(44, LogCol::FuelMv);
  word(48, LogCol::Rpm);
  word(50, LogCol::PressureMv);
  word(52, LogCol::PressureKpa);
  word(56, LogCol::TpsMv);
  word(58, LogCol::LambdaMv);
  word(60, LogCol::CoolantMv);
  word(62, LogCol::AirMv);
  word(64, LogCol::SupplyV);
  word(94, LogCol::StartTimeS);
  word(100, LogCol::CoolantCorrPct);
  word(102, LogCol::AirCorrPct);
  word(104, LogCol::PressureCorrPct);
  word(106, LogCol::StartCorrPct);
  word(108, LogCol::VoltageCorrUs, 0, 1000);
  word(110, LogCol::CoolantAdvCorrDeg, 0, 1000);
  word(116, LogCol::SpeedKmh);
  word(120, LogCol::RpmSpeedRatio);
  word(134, LogCol::IdleAdvCorrDeg, 0, 1000);
  word(136, LogCol::AccelCorrPct);
  word(148, LogCol::UnitSaving);
  f[150] = static_cast<std::uint8_t>(kProtocolVersion);
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

LogReadResult ParseLog(std::string_view text) {
  LogReadResult result;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::size_t pos = 0;
  std::size_t lineNo = 0;
  auto nextLine = [&](std::string_view& line) {
    const std::size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) return false;  // none, or cut off mid-write
    line = text.substr(pos, lf - pos);
    if (line.ends_with('\r')) line.remove_suffix(1);
    pos = lf + 1;
    ++lineNo;
    return true;
  };

  std::string_view header;
  if (!nextLine(header) || header.empty()) {
    result.Error = "not a log: no header line of column names";
    return result;
  }
  // Which column each field of a line is, Count for one not ours.
  std::vector<LogCol> fieldColumn;
  for (std::size_t start = 0;;) {
    const std::size_t comma = header.find(',', start);
    std::string_view name = header.substr(start, comma == std::string_view::npos ? comma : comma - start);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    const LogCol col = FindLogColumn(name);
    if (col != LogCol::Count) {
      if (result.Data.Has(col)) {
        result.Error = "column " + std::string(name) + " appears twice";
        return result;
      }
      result.Data.Present[static_cast<int>(col)] = true;
    }
    fieldColumn.push_back(col);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  for (LogCol required : kRequiredLogColumns) {
    if (!result.Data.Has(required)) {
      result.Error = "not a log of ours: no column " + std::string(LogColumn(required).Name);
      return result;
    }
  }

  std::string_view line;
  while (nextLine(line)) {
    if (line.empty()) continue;
    LogRow row;
    std::size_t field = 0, start = 0;
    for (;; ++field) {
      const std::size_t comma = line.find(',', start);
      std::string_view value = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
      if (field < fieldColumn.size() && fieldColumn[field] != LogCol::Count && !value.empty()) {
        const LogCol col = fieldColumn[field];
        if (!ParseLogValue(value, LogColumn(col).Decimals, row[col])) {
          result.Error = "line " + std::to_string(lineNo) + ": " + std::string(LogColumn(col).Name) +
                         " is not a number: " + std::string(value.substr(0, 40));
          result.Data.Rows.clear();
          return result;
        }
      }
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (field + 1 != fieldColumn.size()) {
      result.Error = "line " + std::to_string(lineNo) + ": " + std::to_string(field + 1) + " fields, the header has " +
                     std::to_string(fieldColumn.size());
      result.Data.Rows.clear();
      return result;
    }
    if (!row.Has(LogCol::TimeS)) {
      result.Error = "line " + std::to_string(lineNo) + ": no time_s";
      result.Data.Rows.clear();
      return result;
    }
    result.Data.Rows.push_back(row);
  }
  result.Ok = true;
  return result;
}

LogReadResult ReadLogFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, kMaxLogBytes)) {
    LogReadResult r;
    r.Error = path + ": cannot read the file";
    return r;
  }
  return ParseLog(bytes);
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
  const auto step = [&](std::size_t i) { return std::int64_t{log.Rows[i].TimeMs()} - log.Rows[i - 1].TimeMs(); };
  std::vector<std::int64_t> steps;
  steps.reserve(log.Rows.size());
  for (std::size_t i = 1; i < log.Rows.size(); ++i)
    if (step(i) > 0) steps.push_back(step(i));
  std::vector<std::size_t> breaks;
  if (steps.empty()) return breaks;
  // The lower median: of two steps, the shorter is the sample interval.
  const auto median = steps.begin() + static_cast<std::ptrdiff_t>((steps.size() - 1) / 2);
  std::nth_element(steps.begin(), median, steps.end());
  const std::int64_t longest = *median * kLogBreakSteps;
  for (std::size_t i = 1; i < log.Rows.size(); ++i)
    if (step(i) < 0 || step(i) > longest) breaks.push_back(i);
  return breaks;
}

std::vector<std::pair<std::size_t, std::size_t>> ReadingRuns(const LogData& log, LogCol column) {
  const std::vector<std::size_t> breaks = LogBreaks(log);
  auto nextBreak = breaks.begin();
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  const std::size_t n = log.Rows.size();
  for (std::size_t i = 0; i < n;) {
    while (i < n && !log.Rows[i].Has(column)) ++i;
    const std::size_t first = i;
    while (nextBreak != breaks.end() && *nextBreak <= first) ++nextBreak;
    const std::size_t end = nextBreak == breaks.end() ? n : *nextBreak;
    while (i < end && log.Rows[i].Has(column)) ++i;
    if (i > first) runs.emplace_back(first, i);
  }
  return runs;
}

}  // namespace velmor

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame.h"
#include "link/monitor_layout.h"
#include "file_size_limit.h"
#include "log/log_format.h"
#include "temp_dir.h"

namespace velmor {
namespace {

// A frame as the unit sends it while the engine runs warm.
LinkFrame RunningFrame() {
  LinkFrame f{};
  auto word = [&](int offset, int value) {
    f[offset] = static_cast<std::uint8_t>(value & 0xFF);
    f[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  f[0] = kMonitorReply;
  f[1] = 0xFF;  // neutral (bit 2 set), every other input inactive
  f[2] = 0x18;  // injection and ignition limiters
  f[4] = 0x02;  // oil OK
  f[9] = 23;
  f[28] = 4;
  f[10] = 31;
  f[11] = 30;
  f[14] = 42;
  f[15] = 41;
  f[23] = 185;
  f[24] = 127;
  f[25] = 3;
  f[29] = 13;
  f[30] = 137;
  word(48, 7450);
  word(52, 987);
  word(64, 13812);
  word(94, 1234);
  word(100, 15);
  word(108, 990);
  word(110, 985);
  word(116, 142);
  f[150] = kProtocolVersion;
  SealFrame(f);
  return f;
}

std::string Line(const LogRow& row) {
  std::string s;
  AppendLogRow(row, s);
  return s;
}

// The value of a named column in a written line.
std::string Field(const std::string& line, LogCol col) {
  std::stringstream in(line);
  std::string field;
  for (int i = 0; i <= static_cast<int>(col); ++i) std::getline(in, field, ',');
  if (!field.empty() && field.back() == '\n') field.pop_back();
  return field;
}

TEST(LogFormat, FrameBecomesRowInEngineeringUnits) {
  const LinkFrame f = RunningFrame();
  const std::string line = Line(LogRowFromMonitorFrame(f.data(), 61250));
  const std::pair<LogCol, const char*> expected[] = {
      {LogCol::TimeS, "61.250"},       {LogCol::Rpm, "7450"},         {LogCol::TpsPct, "23.4"},
      {LogCol::Afr, "13.7"},           {LogCol::CoolantC, "85"},      {LogCol::AirC, "27"},
      {LogCol::PressureKpa, "98.7"},   {LogCol::Advance1Deg, "31"},   {LogCol::Advance2Deg, "30"},
      {LogCol::Inj1Us, "4200"},        {LogCol::Inj2Us, "4100"},      {LogCol::Gear, "3"},
      {LogCol::SpeedKmh, "142"},       {LogCol::StartTimeS, "123.4"}, {LogCol::SupplyV, "13.812"},
      {LogCol::CoolantCorrPct, "1.5"}, {LogCol::VoltageCorrUs, "-10"}, {LogCol::CoolantAdvCorrDeg, "-1.5"},
      {LogCol::TuningStatus, "13"},    {LogCol::Neutral, "1"},        {LogCol::ClutchIn, "0"},
      {LogCol::JetLimiter, "1"},       {LogCol::IgnLimiter, "1"},     {LogCol::RetardLimiter, "0"},
      {LogCol::OilOk, "1"},            {LogCol::TpsFault, "0"},
  };
  for (const auto& [col, text] : expected) EXPECT_EQ(Field(line, col), text) << LogColumn(col).Name;
}

TEST(LogFormat, SensorFaultsAreEmptyFields) {
  LinkFrame f = RunningFrame();
  f[3] |= 0x80;  // throttle sensor fault
  f[4] |= 0x01;  // pressure sensor fault
  f[23] = 0;     // coolant fault
  f[24] = 60;    // air fault
  f[30] = 0;     // no lambda reading
  SealFrame(f);
  const std::string line = Line(LogRowFromMonitorFrame(f.data(), 0));
  for (LogCol col : {LogCol::TpsPct, LogCol::PressureKpa, LogCol::CoolantC, LogCol::AirC, LogCol::Afr})
    EXPECT_EQ(Field(line, col), "") << LogColumn(col).Name;
  EXPECT_EQ(Field(line, LogCol::Rpm), "7450");
  EXPECT_EQ(Field(line, LogCol::TpsFault), "1");

  // Read back, an empty field is still no reading.
  std::string text;
  AppendLogHeader(text);
  text += line;
  const LogReadResult r = ParseLog(text);
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_FALSE(r.Data.Row(0).Has(LogCol::CoolantC));
  EXPECT_FALSE(r.Data.Row(0).Has(LogCol::Afr));
  EXPECT_EQ(r.Data.Row(0)[LogCol::Rpm], 7450);
}

// Each stretch of readings is drawn on its own: a fault or a missing field
// ends one, and nothing bridges it.
TEST(LogFormat, ReadingRunsStopAtEveryRowWithoutAReading) {
  using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
  const struct {
    const char* rpmColumn;  // one row per character: '-' no reading
    Runs runs;
  } cases[] = {
      {"", {}},
      {"---", {}},
      {"xxx", {{0, 3}}},
      {"xx-x", {{0, 2}, {3, 4}}},
      {"-x--xx-", {{1, 2}, {4, 6}}},
  };
  for (const auto& c : cases) {
    std::string text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    for (std::size_t i = 0; c.rpmColumn[i]; ++i)
      text += std::to_string(i) + "," + (c.rpmColumn[i] == '-' ? "" : "3000") + ",20,13.2,80\n";
    const LogReadResult r = ParseLog(text);
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(ReadingRuns(r.Data, LogCol::Rpm), c.runs) << c.rpmColumn;
  }
}

// A log of rows at `timesMs`, with an rpm reading where `rpm` has 'x'.
LogData RowsAt(const std::vector<std::int32_t>& timesMs, std::string_view rpm = {}) {
  LogData log;
  for (std::size_t i = 0; i < timesMs.size(); ++i) {
    LogRow row;
    row[LogCol::TimeS] = timesMs[i];
    if (i >= rpm.size() || rpm[i] == 'x') row[LogCol::Rpm] = 3000;
    log.Append(row);
  }
  return log;
}

// The recording went on after the unit stopped answering for a while: the
// step in time_s says so, measured against the log's own sample interval,
// not a fixed time, while a dropped frame or two are no break.
TEST(LogFormat, BreaksAreStepsFarLongerThanTheLogsOwnInterval) {
  const struct {
    const char* what;
    std::vector<std::int32_t> times;
    std::vector<std::size_t> breaks;
  } cases[] = {
      {"no rows", {}, {}},
      {"one row", {500}, {}},
      {"steady", {0, 330, 660, 990, 1320}, {}},
      {"two frames dropped", {0, 330, 660, 1650, 1980, 2310}, {}},
      {"a reconnect", {0, 330, 660, 990, 7400, 7730, 8060}, {4}},
      {"two reconnects", {0, 330, 660, 9000, 9330, 9660, 9990, 20000, 20330}, {3, 7}},
      {"five steps is none", {0, 100, 200, 300, 800, 900}, {}},
      {"just over five steps", {0, 100, 200, 300, 801, 901}, {4}},
      {"a slow log", {0, 1000, 2000, 3000, 6000, 7000}, {}},
      {"a fast log", {0, 20, 40, 60, 180, 200}, {4}},
      {"rows at the same time", {0, 0, 330, 330, 660}, {}},
      {"the clock went back", {0, 330, 660, 100, 430}, {3}},
      {"three rows, one long step", {0, 100, 5000}, {2}},
      {"the largest times", {2147483000, 2147483300, 2147483600, -2147483000, -2147482700}, {3}},
  };
  for (const auto& c : cases) EXPECT_EQ(LogBreaks(RowsAt(c.times)), c.breaks) << c.what;
}

// Neither a sensor fault nor a break in the recording is bridged, and
// either may come first.
TEST(LogFormat, ReadingRunsEndAtABreakAsAtAFault) {
  using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
  const std::vector<std::int32_t> times = {0, 330, 660, 990, 9000, 9330, 9660};
  const struct {
    const char* rpm;  // one row per character: '-' no reading
    Runs runs;
  } cases[] = {
      {"xxxxxxx", {{0, 4}, {4, 7}}},
      {"xx-xxxx", {{0, 2}, {3, 4}, {4, 7}}},
      {"xxx-xxx", {{0, 3}, {4, 7}}},
      {"xxxx-xx", {{0, 4}, {5, 7}}},
      {"---x---", {{3, 4}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadingRuns(RowsAt(times, c.rpm), LogCol::Rpm), c.runs) << c.rpm;
}

TEST(LogFormat, WrittenFileReadsBackTheSameRows) {
  TempDir dir;
  const std::string path = (dir.path / "ride.csv").string();
  std::vector<LogRow> rows;
  LinkFrame f = RunningFrame();
  for (int i = 0; i < 50; ++i) {
    f[9] = static_cast<std::uint8_t>(i);
    f[30] = static_cast<std::uint8_t>(100 + i);
    f[3] = i % 7 == 0 ? 0x80 : 0;
    SealFrame(f);
    rows.push_back(LogRowFromMonitorFrame(f.data(), i * 330));
  }
  LogWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path, &error)) << error;
  for (const LogRow& r : rows) writer.Add(r);
  ASSERT_TRUE(writer.Close());
  EXPECT_EQ(writer.Rows(), 50u);

  const LogReadResult r = ReadLogFile(path);
  ASSERT_TRUE(r.Ok) << r.Error;
  ASSERT_EQ(r.Data.Size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(r.Data.Row(i).Values, rows[i].Values) << "row " << i;
  for (int c = 0; c < kLogColumnCount; ++c) EXPECT_TRUE(r.Data.Present[c]);
}

TEST(LogFormat, WriterPutsRowsOnDiskWithinASecond) {
  TempDir dir;
  const std::string path = (dir.path / "ride.csv").string();
  auto linesOnDisk = [&] {
    std::ifstream in(path);
    std::string l;
    int n = 0;
    while (std::getline(in, l)) ++n;
    return n;
  };
  LogWriter writer;
  ASSERT_TRUE(writer.Open(path));
  EXPECT_EQ(linesOnDisk(), 1);  // the header at once
  const LinkFrame f = RunningFrame();
  writer.Add(LogRowFromMonitorFrame(f.data(), 1000));  // a second after the header: written
  EXPECT_EQ(linesOnDisk(), 2);
  writer.Add(LogRowFromMonitorFrame(f.data(), 1330));
  writer.Add(LogRowFromMonitorFrame(f.data(), 1660));
  EXPECT_EQ(linesOnDisk(), 2);  // buffered
  writer.FlushIfDue(1999);
  EXPECT_EQ(linesOnDisk(), 2);
  writer.FlushIfDue(2000);  // no row came for a while: out anyway
  EXPECT_EQ(linesOnDisk(), 4);
  writer.Add(LogRowFromMonitorFrame(f.data(), 3000));
  EXPECT_EQ(linesOnDisk(), 5);
}

TEST(LogFormat, OpeningAFileThatCannotBeWrittenSaysWhy) {
  TempDir dir;
  LogWriter writer;
  std::string error;
  EXPECT_FALSE(writer.Open((dir.path / "no-such-dir" / "ride.csv").string(), &error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(writer.IsOpen());
}

// A disk that is full when a recording starts, or fills while it runs:
// nothing stays open after a failed start, and once a write failed no later
// row reaches the file as if the log had no gap.
TEST(LogFormat, AWriteThatFailsLeavesNothingOpenAndNothingAfterTheGap) {
  LogWriter writer;
  std::string error;
  EXPECT_FALSE(writer.Open("/dev/full", &error));
  EXPECT_NE(error.find("/dev/full: No space left on device"), std::string::npos) << error;
  EXPECT_FALSE(writer.IsOpen());

  TempDir dir;
  const std::string path = (dir.path / "ride.csv").string();
  {
    FileSizeLimit full(0);
    EXPECT_FALSE(writer.Open(path, &error));
    EXPECT_FALSE(writer.IsOpen());
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << "the file made for the log went again";

  ASSERT_TRUE(writer.Open(path, &error)) << error;
  const auto header = std::filesystem::file_size(path);
  const LinkFrame f = RunningFrame();
  {
    FileSizeLimit full(header + 10);  // room for part of one row
    writer.Add(LogRowFromMonitorFrame(f.data(), 1000));
    EXPECT_TRUE(writer.Failed());
    EXPECT_NE(writer.Error().find("File too large"), std::string::npos) << writer.Error();
  }
  writer.Add(LogRowFromMonitorFrame(f.data(), 2000));  // room again
  writer.FlushIfDue(3000);
  EXPECT_FALSE(writer.Close());
  EXPECT_EQ(std::filesystem::file_size(path), header + 10);
  const LogReadResult r = ReadLogFile(path);
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_TRUE(r.Data.Empty()) << "the row cut off mid-write is dropped";
}

TEST(LogFormat, ReaderTakesAnyColumnOrderAndIgnoresUnknownColumns) {
  const LogReadResult r = ParseLog(
      "lap,afr,coolant_c,rpm,time_s,tps_pct\r\n"
      "1,13.2,80,5000,0.000,12.5\r\n"
      "\r\n"
      "2,14.06,-5,5100,0.33,12\r\n");
  ASSERT_TRUE(r.Ok) << r.Error;
  ASSERT_EQ(r.Data.Size(), 2u);
  const LogRow a = r.Data.Row(0);
  const LogRow b = r.Data.Row(1);
  EXPECT_EQ(a[LogCol::Afr], 132);
  EXPECT_EQ(a[LogCol::Rpm], 5000);
  EXPECT_EQ(a[LogCol::TpsPct], 125);
  EXPECT_EQ(b[LogCol::TimeS], 330);
  EXPECT_EQ(b[LogCol::Afr], 141);  // further digits round half up
  EXPECT_EQ(b[LogCol::CoolantC], -5);
  EXPECT_EQ(b[LogCol::TpsPct], 120);
  EXPECT_FALSE(r.Data.Has(LogCol::Gear));
  EXPECT_FALSE(a.Has(LogCol::Gear));
}

TEST(LogFormat, ReaderRefusesWhatIsNotALogAndSaysWhere) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "no header"},
      {"time_s,rpm,tps_pct,afr\n0,1,2,13\n", "no column coolant_c"},
      {"rpm,tps_pct,afr,coolant_c\n", "no column time_s"},
      {"time_s,rpm,tps_pct,coolant_c,gear\n", "no column afr"},
      {"time_s,rpm,tps_pct,afr,coolant_c,rpm\n", "rpm appears twice"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13,80\n1,x,2,13,80\n", "line 3: rpm is not a number: x"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13\n", "line 2 has another number of fields than the header: 4, not 5"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n,1,2,13,80\n", "line 2: no time_s"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n0,1e3,2,13,80\n", "rpm is not a number"},
      // A number, but beyond what a log's values hold.
      {"time_s,rpm,tps_pct,afr,coolant_c\n1700000000.000,1,2,13,80\n",
       "line 2: time_s is out of range: 1700000000.000 (a log holds -2147483.647 to 2147483.647)"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n0,99999999999999,2,13,80\n", "line 2: rpm is out of range"},
      {"time_s,rpm,tps_pct,afr,coolant_c\n0,99999999999999x,2,13,80\n", "line 2: rpm is not a number"},
      // A spreadsheet's export with another separator.
      {"time_s;rpm;tps_pct;afr;coolant_c\n0;1;2;13;80\n", "separated by semicolons; a log separates them by commas"},
      {"time_s\trpm\ttps_pct\tafr\tcoolant_c\n0\t1\t2\t13\t80\n", "separated by tabs"},
  };
  for (const auto& [text, error] : cases) {
    const LogReadResult r = ParseLog(text);
    EXPECT_FALSE(r.Ok) << text;
    EXPECT_NE(r.Error.find(error), std::string::npos) << text << " gave: " << r.Error;
    EXPECT_TRUE(r.Data.Empty());
  }
}

// What the file is, said once and without the path (the caller names it).
TEST(LogFormat, AFileThatIsNoLogSaysWhatItIs) {
  TempDir dir;
  const std::string folder = (dir.path / "dir.csv").string();
  std::filesystem::create_directory(folder);
  const std::string fifo = (dir.path / "fifo.csv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, const char*> cases[] = {
      {folder, "a folder, not a file"},
      {fifo, "a pipe (FIFO), not a file"},
      {"/dev/zero", "a device, not a file"},
      {(dir.path / "missing.csv").string(), "no such file"},
  };
  for (const auto& [path, error] : cases) {
    const LogReadResult r = ReadLogFile(path);
    EXPECT_FALSE(r.Ok) << path;
    EXPECT_EQ(r.Error, error) << path;
  }
  if (::geteuid() != 0) {  // root reads anything
    const std::string locked = (dir.path / "locked.csv").string();
    std::ofstream(locked) << "time_s,rpm,tps_pct,afr,coolant_c\n";
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(ReadLogFile(locked).Error, "no permission to read the file");
  }
  // In the window's language.
  EXPECT_EQ(DescribeLogProblem(ReadLogFile(folder).Problem, LanguageCode::German), "ein Ordner, keine Datei");
}

// Times that go back are read (the analysis takes them as they are), and
// the first line where they do is named for the charts, which refuse them.
TEST(LogFormat, TimesOutOfOrderAreNamedByTheirFirstLine) {
  const LogReadResult r = ParseLog("time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13,80\n1,1,2,13,80\n0.5,1,2,13,80\n"
                                   "0.2,1,2,13,80\n");
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Data.Size(), 4u);
  EXPECT_EQ(DescribeLogProblem(r.OutOfOrder),
            "the times are not in order: line 4 is at 0.500 s, before the line above it at 1.000 s");
  EXPECT_FALSE(ParseLog("time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13,80\n0,1,2,13,80\n1,1,2,13,80\n").OutOfOrder);
}

// The compact columns give back every value they were given, across the
// widths a block takes and the blocks' boundaries, whole or a stretch at a
// time.
TEST(LogFormat, ColumnsKeepEveryValueInTheFewestBytes) {
  constexpr std::size_t kRows = 3 * LogColumnData::kBlockRows + 123;
  const struct {
    const char* what;
    std::int32_t (*value)(std::size_t);
    std::size_t mostBytes;  // what the column may take
  } cases[] = {
      {"all the same", [](std::size_t) { return 7; }, 4096},
      {"all missing", [](std::size_t) { return kLogMissing; }, 4096},
      {"a flag", [](std::size_t i) { return static_cast<std::int32_t>(i / 3 % 2); }, kRows + 4096},
      {"rpm", [](std::size_t i) { return static_cast<std::int32_t>(1000 + i * 37 % 11000); }, 2 * kRows + 4096},
      {"a fault now and then",
       [](std::size_t i) { return i % 1000 == 999 ? kLogMissing : static_cast<std::int32_t>(i % 200) - 100; },
       2 * kRows + 4096},
      {"first missing, then readings",
       [](std::size_t i) { return i < 70000 ? kLogMissing : static_cast<std::int32_t>(i % 50); }, kRows + 4096},
      {"time",
       [](std::size_t i) { return static_cast<std::int32_t>(i * 330); }, 4 * kRows + 4096},
      {"extremes",
       [](std::size_t i) {
         return i % 3 == 0 ? std::numeric_limits<std::int32_t>::max()
                           : i % 3 == 1 ? kLogMissing + 1 : kLogMissing;
       },
       4 * kRows + 4096},
  };
  for (const auto& c : cases) {
    LogColumnData column;
    for (std::size_t i = 0; i < kRows; ++i) column.Append(c.value(i));
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < kRows; ++i) wrong += column.Get(i) != c.value(i);
    EXPECT_EQ(wrong, 0u) << c.what;
    std::vector<std::int32_t> stretch(LogColumnData::kBlockRows + 10);
    const std::size_t first = LogColumnData::kBlockRows - 5;
    column.Read(first, stretch.size(), stretch.data());
    for (std::size_t k = 0; k < stretch.size(); ++k) ASSERT_EQ(stretch[k], c.value(first + k)) << c.what << " " << k;
    EXPECT_LE(column.Bytes(), c.mostBytes) << c.what;
  }
}

// A log several times the reader's buffer: every line that crosses the
// buffer's end is read whole, and the rows are those written.
TEST(LogFormat, ALongLogReadsBackRowForRow) {
  TempDir dir;
  const std::string path = (dir.path / "long.csv").string();
  LogWriter writer;
  ASSERT_TRUE(writer.Open(path));
  LinkFrame f = RunningFrame();
  std::vector<LogRow> rows;
  for (int i = 0; i < 20000; ++i) {
    f[9] = static_cast<std::uint8_t>(i % 101);
    f[30] = static_cast<std::uint8_t>(i % 97 == 0 ? 0 : 100 + i % 90);
    f[48] = static_cast<std::uint8_t>(i);
    f[49] = static_cast<std::uint8_t>(i >> 8 & 0x3F);
    SealFrame(f);
    rows.push_back(LogRowFromMonitorFrame(f.data(), i * 330));
    writer.Add(rows.back());
  }
  ASSERT_TRUE(writer.Close());
  ASSERT_GT(std::filesystem::file_size(path), 3u << 20);
  const LogReadResult whole = ReadLogFile(path);
  ASSERT_TRUE(whole.Ok) << whole.Error;
  ASSERT_EQ(whole.Data.Size(), rows.size());
  LogReader streamed;
  ASSERT_TRUE(streamed.Open(path)) << DescribeLogProblem(streamed.Problem());
  LogRow row;
  std::size_t wrong = 0, n = 0;
  for (; streamed.Next(row); ++n) {
    wrong += row.Values != rows[n].Values;
    wrong += whole.Data.Row(n).Values != rows[n].Values;
  }
  EXPECT_FALSE(streamed.Problem());
  EXPECT_EQ(n, rows.size());
  EXPECT_EQ(wrong, 0u);
  EXPECT_LT(whole.Data.Bytes(), std::filesystem::file_size(path) / 4) << "compact columns";
}

// AddressSanitizer reserves far more address space than a limit for the
// log leaves: GCC says so with __SANITIZE_ADDRESS__, Clang with __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMOR_UNDER_ASAN 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(VELMOR_UNDER_ASAN)
// A log whose rows do not fit in the memory the process may take is
// refused with a message, not an abort: read in a child process under a
// limit on its address space.
TEST(LogFormat, ALogLargerThanTheMemoryIsRefusedWithAMessage) {
  TempDir dir;
  const std::string path = (dir.path / "big.csv").string();
  {
    LogWriter writer;
    ASSERT_TRUE(writer.Open(path));
    LinkFrame f = RunningFrame();
    for (int i = 0; i < 400000; ++i) {
      // Values that move in every column, so that none is kept in one value.
      for (int b = 40; b < 140; ++b) f[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(i * (b + 1));
      f[30] = static_cast<std::uint8_t>(100 + i % 90);
      SealFrame(f);
      writer.Add(LogRowFromMonitorFrame(f.data(), i * 330));
    }
    ASSERT_TRUE(writer.Close());
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // What the process has mapped now, and 24 MiB more.
    std::size_t mapped = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> mapped;
    const rlim_t limit = mapped * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + (24u << 20);
    const rlimit r{limit, limit};
    ::setrlimit(RLIMIT_AS, &r);
    const LogReadResult log = ReadLogFile(path);
    const bool refused = !log.Ok && log.Error.starts_with("too large for the memory free");
    ::_exit(refused ? 0 : log.Ok ? 1 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reader aborted";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: read whole, 2: another error";
}
#endif

TEST(LogFormat, LineCutOffMidWriteIsDropped) {
  const LogReadResult r = ParseLog("time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13,80\n0.33,15");
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Data.Size(), 1u);
}

TEST(LogFormat, ValuesParseExactly) {
  const std::tuple<const char*, int, bool, int> cases[] = {
      {"13.2", 1, true, 132},   {"13", 1, true, 130},       {"13.25", 1, true, 133},
      {"13.24", 1, true, 132},  {"-1.25", 1, true, -13},    {"+4", 0, true, 4},
      {"0.0005", 3, true, 1},   {"61.25", 3, true, 61250},  {".5", 1, true, 5},
      {"", 1, false, 0},        {".", 1, false, 0},         {"1.2.3", 1, false, 0},
      {"nan", 1, false, 0},     {"99999999999999", 0, false, 0},
  };
  for (const auto& [text, decimals, ok, value] : cases) {
    std::int32_t v = 0;
    EXPECT_EQ(ParseLogValue(text, decimals, v), ok) << text;
    if (ok) {
      EXPECT_EQ(v, value) << text;
    }
  }
}

}  // namespace
}  // namespace velmor

#include "log/log_paths.h"

namespace velmor {
namespace {

TEST(LogPaths, NamesByStartTimeAndTheRiddenTuneBeside) {
  EXPECT_EQ(RiddenTunePath("/d/logs/2026-03-05_14-03-59.csv"), "/d/logs/2026-03-05_14-03-59.ign");
  EXPECT_EQ(RiddenTunePath("/d.x/ride"), "/d.x/ride.ign");
  EXPECT_EQ(LogFileName(2026, 3, 5, 14, 3, 59, [](const std::string&) { return false; }), "2026-03-05_14-03-59.csv");
  const std::set<std::string> used{"2026-03-05_14-03-59.csv", "2026-03-05_14-03-59-2.csv"};
  EXPECT_EQ(LogFileName(2026, 3, 5, 14, 3, 59, [&](const std::string& n) { return used.count(n) > 0; }),
            "2026-03-05_14-03-59-3.csv");
}

}  // namespace
}  // namespace velmor

#include "link/monitor.h"
#include "log/log_playback.h"

namespace velmor {
namespace {

TEST(LogPlayback, RowBecomesTheFrameItCameFrom) {
  LinkFrame f = RunningFrame();
  // Fault encodings come back as the unit sends them.
  for (int variant = 0; variant < 2; ++variant) {
    if (variant == 1) {
      f[3] |= 0x80;
      f[4] |= 0x01;
      f[23] = 0;
      f[24] = 60;
      f[30] = 0;
      SealFrame(f);
    }
    const LogRow row = LogRowFromMonitorFrame(f.data(), 5000);
    const auto back = MonitorFrameFromLogRow(row);
    EXPECT_TRUE(FrameChecksumValid(back.data()));
    EXPECT_EQ(LogRowFromMonitorFrame(back.data(), 5000).Values, row.Values) << variant;
  }
}

// A value beyond what the reply carries plays back as the most (or least)
// the reply holds, also at the far ends of what a log may hold.
TEST(LogPlayback, ValuesBeyondTheReplyAreLimitedToIt) {
  constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kLeast = kLogMissing + 1;
  const struct {
    LogCol col;
    std::int32_t value, expected;
  } cases[] = {
      {LogCol::VoltageCorrUs, kMost, 0xFFFF - 1000}, {LogCol::VoltageCorrUs, kLeast, -1000},
      {LogCol::IdleAdvCorrDeg, kMost, 0xFFFF - 1000}, {LogCol::CoolantAdvCorrDeg, kMost, 0xFFFF - 1000},
      {LogCol::CoolantC, kMost, 255 - 100},           {LogCol::AirC, kLeast, 61 - 100},
      {LogCol::Rpm, 70000, 0xFFFF},                   {LogCol::Inj1Us, kMost, 25500},
      {LogCol::TpsPct, kMost, 2559},                  {LogCol::TpsPct, -5, 0},
      {LogCol::PressureKpa, kMost, 0xFFFF},
  };
  for (const auto& c : cases) {
    LogRow row = LogRowFromMonitorFrame(RunningFrame().data(), 0);
    row[c.col] = c.value;
    const LogRow back = LogRowFromMonitorFrame(MonitorFrameFromLogRow(row).data(), 0);
    EXPECT_EQ(back[c.col], c.expected) << LogColumn(c.col).Name << " " << c.value;
  }
}

// Every value of the reply's layout that a log keeps goes into the frame it
// is played back as, each at its own bytes or bit: a row the recorder or the
// player left out would come back as 0. The throttle goes as its two digits,
// the flags are tried both ways round, and the values a log does not keep
// are named, so that a new row of the layout is not left out unseen.
TEST(LogPlayback, EveryValueOfTheLayoutComesBackAtItsBytes) {
  using V = MonValue;
  const std::set<V> notLogged = {V::PinEngine14Mv, V::ProgramCount, V::Test1,      V::Test2,      V::Test3,
                                 V::Test4,         V::Test5,        V::Test6,      V::Test7,      V::Test8,
                                 V::PositionA,     V::GearRatio1,   V::GearRatio2, V::GearRatio3, V::GearRatio4,
                                 V::GearRatio5,    V::GearRatio6,   V::Version};
  for (int variant = 0; variant < 2; ++variant) {
    LinkFrame f{};
    f[0] = kMonitorReply;
    int n = variant;
    for (const MonitorSlot& s : MonitorLayout()) {
      ++n;
      if (s.Width == 0) {
        // A sensor fault would leave its value without a reading.
        const bool fault = s.Value == V::TpsFault || s.Value == V::PressureFault;
        if (fault ? !s.OnWhenSet : n % 2 == 0) f[s.Offset] |= static_cast<std::uint8_t>(1 << s.Bit);
        continue;
      }
      // Within the value's readings, the high byte of a word not 0.
      const int least = s.Width == 2 ? std::max(s.MinRaw, 0x100) : s.MinRaw;
      const int raw = least + (n * 37) % (std::min(s.MaxRaw, 0x3FF) - least + 1);
      f[s.Offset] = static_cast<std::uint8_t>(raw & 0xFF);
      if (s.Width == 2) f[s.Offset + 1] = static_cast<std::uint8_t>(raw >> 8);
    }
    SealFrame(f);
    const LogRow row = LogRowFromMonitorFrame(f.data(), 5000);
    const auto back = MonitorFrameFromLogRow(row);
    for (const MonitorSlot& s : MonitorLayout()) {
      const LogCol col = s.Value == V::TpsTenth ? LogCol::TpsPct : LogColumnOf(s.Value);
      const std::string where = "value " + std::to_string(static_cast<int>(s.Value)) + " variant " +
                                std::to_string(variant);
      if (col == LogCol::Count) {
        EXPECT_EQ(notLogged.count(s.Value), 1u) << where << " has no column";
        continue;
      }
      EXPECT_EQ(notLogged.count(s.Value), 0u) << where;
      EXPECT_TRUE(row.Has(col)) << LogColumn(col).Name << " " << where;
      if (s.Width == 0) {
        EXPECT_EQ((back[s.Offset] >> s.Bit) & 1, (f[s.Offset] >> s.Bit) & 1) << LogColumn(col).Name << " " << where;
        continue;
      }
      for (int b = 0; b < s.Width; ++b)
        EXPECT_EQ(int(back[s.Offset + b]), int(f[s.Offset + b])) << LogColumn(col).Name << " byte " << b << " " << where;
    }
  }
}

// A port that counts what reaches it.
struct CountingPort : SerialPort {
  bool Open(int n) override {
    opened = n;
    return open = true;
  }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  std::size_t QueuedBytes() override { return 0; }
  std::size_t Read(std::span<std::uint8_t>) override { return 0; }
  void Write(std::span<const std::uint8_t>) override { ++writes; }
  int opened = 0, writes = 0;
  bool open = false;
};

TEST(LogPlayback, PollsAreAnsweredFromTheLogWhileTheRealPortIsClosed) {
  LogData log;
  for (int i = 0; i < 5; ++i) {
    LogRow r;
    r[LogCol::TimeS] = 1000 + 330 * i;
    r[LogCol::Rpm] = 2000 + 100 * i;
    r[LogCol::TpsPct] = 200;
    r[LogCol::CoolantC] = 80;
    r[LogCol::Afr] = 132;
    log.Append(r);
  }
  CountingPort real;
  LogPlaybackPort port(real);
  ASSERT_TRUE(port.Open(3));
  ASSERT_TRUE(port.Start(log));
  EXPECT_FALSE(real.open);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.PositionMs(), 1000);

  LinkFrame poll{};
  poll[0] = kPollCommand;
  SealFrame(poll);
  auto replyRpm = [&] {
    port.Write(poll);
    LinkFrame reply{};
    EXPECT_EQ(port.QueuedBytes(), reply.size());
    port.Read(reply);
    LiveValues live;
    MonitorView view;
    std::uint16_t saving = 0;
    const MonitorStems stems = MonitorStems::For(LanguageCode::English);
    MonitorInputs in;
    in.Stems = &stems;
    EXPECT_TRUE(DecodeMonitorFrame(reply.data(), in, live, view, saving));
    return live.Rpm;
  };
  EXPECT_EQ(replyRpm(), 2000);
  port.SetPositionMs(1659);  // between rows: the one before
  EXPECT_EQ(replyRpm(), 2100);
  port.SetPositionMs(99999);  // beyond the end: the last row
  EXPECT_EQ(port.PositionMs(), 1000 + 330 * 4);
  EXPECT_EQ(replyRpm(), 2400);
  // A block request gets no answer, and nothing reaches the unit.
  LinkFrame read{};
  read[0] = 0x41;
  port.Write(read);
  EXPECT_EQ(port.QueuedBytes(), 0u);
  EXPECT_EQ(real.writes, 0);

  port.Stop();
  EXPECT_TRUE(real.open);
  EXPECT_EQ(real.opened, 3);
  port.Write(poll);
  EXPECT_EQ(real.writes, 1);
  EXPECT_FALSE(port.Start(LogData{}));
}

}  // namespace
}  // namespace velmor

// Logs of the engine: one row per accepted monitor frame, kept as CSV text
// (UTF-8, LF line ends, '.' as decimal point, one header row of column
// names). The window, velmor-cli and the tests write and read the same
// format through this file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/log_texts.h"
#include "link/monitor_layout.h"

namespace velmor {

// Every column a log can hold: its name, its decimals and the value of the
// monitor reply it records (the throttle takes its tenth digit with it; the
// time and the tune the row was ridden on are the recorder's own).
// Values are kept as integers in units of the column's last decimal (A/F
// 13.2 is 132, time 1.250 s is 1250), so that reading back what was written
// gives the same numbers, and the analysis can compute exactly.
#define VELMOR_LOG_COLUMNS(X)                                                   \
  X(TimeS, "time_s", 3, Count)                                                  \
  X(Rpm, "rpm", 0, Rpm)                                                         \
  X(TpsPct, "tps_pct", 1, TpsWhole)                                             \
  X(Afr, "afr", 1, Afr)                                                         \
  X(CoolantC, "coolant_c", 0, Coolant)                                          \
  X(AirC, "air_c", 0, Air)                                                      \
  X(PressureKpa, "pressure_kpa", 1, Pressure)                                   \
  X(Advance1Deg, "advance1_deg", 0, Advance1)                                   \
  X(Advance2Deg, "advance2_deg", 0, Advance2)                                   \
  X(Inj1Us, "inj1_us", 0, Inj1)                                                 \
  X(Inj2Us, "inj2_us", 0, Inj2)                                                 \
  X(Gear, "gear", 0, Gear)                                                      \
  X(SpeedKmh, "speed_kmh", 0, Speed)                                            \
  X(StartTimeS, "start_time_s", 1, StartTime)                                   \
  X(SupplyV, "supply_v", 3, SupplyMv)                                           \
  X(CoolantCorrPct, "coolant_corr_pct", 1, CoolantCorr)                         \
  X(AirCorrPct, "air_corr_pct", 1, AirCorr)                                     \
  X(PressureCorrPct, "pressure_corr_pct", 1, PressureCorr)                      \
  X(StartCorrPct, "start_corr_pct", 1, StartCorr)                               \
  X(AccelCorrPct, "accel_corr_pct", 1, AccelCorr)                               \
  X(VoltageCorrUs, "voltage_corr_us", 0, VoltageCorr)                           \
  X(CoolantAdvCorrDeg, "coolant_adv_corr_deg", 1, CoolantAdvCorr)               \
  X(IdleAdvCorrDeg, "idle_adv_corr_deg", 1, IdleAdvCorr)                        \
  X(RpmSpeedRatio, "rpm_speed_ratio", 1, RpmSpeedRatio)                         \
  X(TpsMv, "tps_mv", 0, TpsMv)                                                  \
  X(LambdaMv, "lambda_mv", 0, LambdaMv)                                         \
  X(PressureMv, "pressure_mv", 0, PressureMv)                                   \
  X(CoolantMv, "coolant_mv", 0, CoolantMv)                                      \
  X(AirMv, "air_mv", 0, AirMv)                                                  \
  X(FuelMv, "fuel_mv", 0, FuelMv)                                               \
  X(TuningStatus, "tuning_status", 0, TuningStatus)                             \
  X(ShiftLight, "shift_light", 0, ShiftLight)                                   \
  X(UnitSaving, "unit_saving", 0, UnitSaving)                                   \
  X(StartSwitchIn, "start_switch_in", 0, StartSwitchIn)                         \
  X(ClutchIn, "clutch_in", 0, ClutchIn)                                         \
  X(Neutral, "neutral", 0, Neutral)                                             \
  X(SideStand, "side_stand", 0, SideStand)                                      \
  X(StartLimiterIn, "start_limiter_in", 0, StartLimiterIn)                      \
  X(ClutchMasterIn, "clutch_master_in", 0, ClutchMasterIn)                      \
  X(TachoLambdaIn, "tacho_lambda_in", 0, TachoLambdaIn)                         \
  X(PinEngine23In, "pin_engine23_in", 0, PinEngine23In)                         \
  X(PinBody11In, "pin_body11_in", 0, PinBody11In)                               \
  X(StartSwitchOut, "start_switch_out", 0, StartSwitchOut)                      \
  X(StartLimiterOut, "start_limiter_out", 0, StartLimiterOut)                   \
  X(IgnLimiter, "ign_limiter", 0, IgnLimiter)                                   \
  X(JetLimiter, "jet_limiter", 0, JetLimiter)                                   \
  X(RetardLimiter, "retard_limiter", 0, RetardLimiter)                          \
  X(TachoOut, "tacho_out", 0, TachoOut)                                         \
  X(N2oOn, "n2o_on", 0, N2oOn)                                                  \
  X(ClutchMasterOut, "clutch_master_out", 0, ClutchMasterOut)                   \
  X(BaseAdvance, "base_advance", 0, BaseAdvance)                                \
  X(PickupSignal, "pickup_signal", 0, PickupSignal)                             \
  X(DataError, "data_error", 0, DataError)                                      \
  X(TpsFault, "tps_fault", 0, TpsFault)                                         \
  X(PressureFault, "pressure_fault", 0, PressureFault)                          \
  X(OilOk, "oil_ok", 0, OilOk)                                                  \
  X(LambdaHeater, "lambda_heater", 0, LambdaHeater)                             \
  X(Fan1, "fan1", 0, Fan1)                                                      \
  X(Fan2, "fan2", 0, Fan2)                                                      \
  X(BlockingOut, "blocking_out", 0, BlockingOut)                                \
  X(FuelWarning, "fuel_warning", 0, FuelWarning)                                \
  X(TestsLocked, "tests_locked", 0, TestsLocked)                                \
  X(Tune, "tune", 0, Count)

#define VELMOR_LOG_ENUM(id, name, decimals, source) id,
enum class LogCol : std::uint8_t { VELMOR_LOG_COLUMNS(VELMOR_LOG_ENUM) Count };
#undef VELMOR_LOG_ENUM

inline constexpr int kLogColumnCount = static_cast<int>(LogCol::Count);

struct LogColumnInfo {
  std::string_view Name;
  int Decimals;
  MonValue Source;  // MonValue::Count: none (the time)
};
const LogColumnInfo& LogColumn(LogCol col);
// The column with this header name, or LogCol::Count.
LogCol FindLogColumn(std::string_view name);

// No reading: a sensor fault, or a column the file does not have.
inline constexpr std::int32_t kLogMissing = std::numeric_limits<std::int32_t>::min();

struct LogRow {
  std::array<std::int32_t, kLogColumnCount> Values;
  LogRow() { Values.fill(kLogMissing); }
  std::int32_t& operator[](LogCol c) { return Values[static_cast<int>(c)]; }
  std::int32_t operator[](LogCol c) const { return Values[static_cast<int>(c)]; }
  bool Has(LogCol c) const { return (*this)[c] != kLogMissing; }
  // The time in milliseconds (time_s in units of its third decimal).
  std::int32_t TimeMs() const { return (*this)[LogCol::TimeS]; }
};

// A decimal number ("13.25", "-4") in units of its `decimals`-th decimal;
// further digits round half away from zero. False for anything else.
bool ParseLogValue(std::string_view text, int decimals, std::int32_t& value);
// The same, telling a number too large for a log's values from no number.
enum class LogValueParse : std::uint8_t { Ok, NotANumber, OutOfRange };
LogValueParse ParseLogValueChecked(std::string_view text, int decimals, std::int32_t& value);

// The column that records a value of the monitor reply, or LogCol::Count
// for a value no log keeps.
LogCol LogColumnOf(MonValue value);

// The row a monitor reply (152 bytes, already validated) gives at `timeMs`
// since the log started. Faulty sensors give no value.
LogRow LogRowFromMonitorFrame(const std::uint8_t* frame, std::int32_t timeMs);

// The monitor reply that gives `row` back (its sensor faults as the unit
// reports them), for playing a log through the live display. Values beyond
// what the reply can carry are limited to it.
std::array<std::uint8_t, 152> MonitorFrameFromLogRow(const LogRow& row);

// The header line with its LF, and one row with its LF appended to `out`.
void AppendLogHeader(std::string& out);
void AppendLogRow(const LogRow& row, std::string& out);

// Columns a log must have to be read.
inline constexpr std::array kRequiredLogColumns{LogCol::TimeS, LogCol::Rpm, LogCol::TpsPct, LogCol::Afr,
                                                LogCol::CoolantC};

// One column of a log. A log of a hundred hours has a million rows of 62
// columns, most of them flags or values that move little: the rows are kept
// in blocks, and each block holds its values as offsets from its first
// reading in the fewest bytes that hold them all (none while every value is
// the same), so that a long log costs about a byte or two a value.
class LogColumnData {
 public:
  static constexpr int kBlockShift = 16;
  static constexpr std::size_t kBlockRows = std::size_t{1} << kBlockShift;

  void Append(std::int32_t value);
  std::int32_t Get(std::size_t row) const {
    const Block& b = blocks_[row >> kBlockShift];
    const std::size_t i = row & (kBlockRows - 1);
    switch (b.Width) {
      case 0: return b.Base;
      case 1: {
        const auto o = static_cast<std::int8_t>(b.Bytes[i]);
        return o == kMissing8 ? kLogMissing : b.Base + o;
      }
      case 2: {
        std::int16_t o;
        std::memcpy(&o, &b.Bytes[2 * i], 2);
        return o == kMissing16 ? kLogMissing : b.Base + o;
      }
      default: {
        std::int32_t v;
        std::memcpy(&v, &b.Bytes[4 * i], 4);
        return v;
      }
    }
  }
  // Rows [first, first + count) into `out`.
  void Read(std::size_t first, std::size_t count, std::int32_t* out) const;
  std::size_t Bytes() const;

 private:
  static constexpr std::int8_t kMissing8 = std::numeric_limits<std::int8_t>::min();
  static constexpr std::int16_t kMissing16 = std::numeric_limits<std::int16_t>::min();
  struct Block {
    std::int32_t Base = kLogMissing;  // every value while Width is 0
    std::uint8_t Width = 0;           // bytes a value: 0, 1, 2 or 4 (the value itself)
    std::uint32_t Count = 0;
    std::vector<std::uint8_t> Bytes;
  };
  static int WidthFor(std::int32_t base, std::int32_t value);
  static void Put(Block& b, std::int32_t value);
  static void Widen(Block& b, std::int32_t value);
  std::vector<Block> blocks_;
};

// A log's rows, column by column.
class LogData {
 public:
  std::array<bool, kLogColumnCount> Present{};  // columns the file has
  bool Has(LogCol c) const { return Present[static_cast<int>(c)]; }

  std::size_t Size() const { return rows_; }
  bool Empty() const { return rows_ == 0; }
  // kLogMissing for no reading.
  std::int32_t Value(std::size_t row, LogCol c) const { return columns_[static_cast<int>(c)].Get(row); }
  std::int32_t TimeMs(std::size_t row) const { return Value(row, LogCol::TimeS); }
  LogRow Row(std::size_t row) const;
  const LogColumnData& Column(LogCol c) const { return columns_[static_cast<int>(c)]; }
  void Append(const LogRow& row);
  // The first row whose time is after `ms`, for a log whose times are in
  // order.
  std::size_t RowAfter(std::int64_t ms) const;
  // What the rows take in memory.
  std::size_t Bytes() const;

 private:
  std::array<LogColumnData, kLogColumnCount> columns_;
  std::size_t rows_ = 0;
};

// A recording carries on across a pulled cable or a unit that stopped
// answering, and time_s then jumps. A step longer than this many typical
// steps (the median step of the log, so that a dropped frame or two do not
// count) is such a break; so is a step back in time.
inline constexpr int kLogBreakSteps = 5;

// The rows that follow a break in the recording, in order.
std::vector<std::size_t> LogBreaks(const LogData& log);

// The stretches of rows [first, last) that have a reading of `column` and
// no break between them: a chart draws each as a line of its own, so that
// no line bridges a sensor fault or a time without readings.
std::vector<std::pair<std::size_t, std::size_t>> ReadingRuns(const LogData& log, LogCol column);
std::vector<std::pair<std::size_t, std::size_t>> ReadingRuns(const LogData& log, LogCol column,
                                                             const std::vector<std::size_t>& breaks);

// Why a log cannot be read: a text of the log texts and what fills it in,
// so that the window says it in its language and velmor-cli in English.
struct LogProblem {
  LogText Text = LogText::Count;  // Count: none
  std::vector<std::string> Args;  // %1, %2, ...
  explicit operator bool() const { return Text != LogText::Count; }
};
std::string DescribeLogProblem(const LogProblem& problem, LanguageCode language = LanguageCode::English);

struct LogReadResult {
  bool Ok = false;
  std::string Error;  // in English, naming the line or column, not the file
  LogProblem Problem;
  LogData Data;
  // Says where the times first go back; none while they are in order. A
  // chart needs them in order, the analysis does not.
  LogProblem OutOfOrder;
};

// Reads a log row by row in a buffer of its own size, whatever the file's
// length: any column order, unknown columns ignored, an empty field is no
// reading. CR before LF is accepted. A last line without its LF is what a
// recording cut off mid-write leaves; it is dropped.
class LogReader {
 public:
  LogReader();
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  // Opens the file and reads its header; false with Problem() when it is no
  // log or cannot be read.
  bool Open(const std::string& path);
  // The same over text in memory, which must outlive the reader.
  bool OpenText(std::string_view text);
  // The next row; false at the end and at a line that is no row (then
  // Problem() says why).
  bool Next(LogRow& row);

  const LogProblem& Problem() const { return problem_; }
  const std::array<bool, kLogColumnCount>& Present() const { return present_; }
  // Of the file, for the reserve of a whole read; 0 for text.
  std::uint64_t FileBytes() const { return fileBytes_; }
  // Where the times first went back, among the rows read so far.
  const LogProblem& OutOfOrder() const { return outOfOrder_; }

 private:
  bool ReadHeader();
  bool NextLine(std::string_view& line);
  bool Refill();
  bool Fail(LogText text, std::vector<std::string> args = {});

  int fd_ = -1;
  std::vector<char> buffer_;
  std::string_view text_;  // what is buffered (or the whole text)
  std::size_t pos_ = 0;
  bool eof_ = false;
  std::size_t lineNo_ = 0;
  std::uint64_t fileBytes_ = 0;
  std::vector<LogCol> fieldColumn_;  // Count for a field not ours
  std::array<bool, kLogColumnCount> present_{};
  LogProblem problem_;
  std::int64_t lastTimeMs_ = std::numeric_limits<std::int64_t>::min();
  LogProblem outOfOrder_;
};

// The whole log read into memory. A log larger than the memory free is
// refused with a problem, never an abort.
LogReadResult ParseLog(std::string_view text);
LogReadResult ReadLogFile(const std::string& path);

// Appends rows to a log file and writes them out at least once a second of
// log time, so that a crash or a pulled cable loses at most the last second.
class LogWriter {
 public:
  LogWriter() = default;
  ~LogWriter();
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  // Creates (or empties) the file and writes the header. False with `error`
  // (in English, the path and the reason) when the file cannot be written;
  // then nothing is open.
  bool Open(const std::string& path, std::string* error = nullptr);
  bool IsOpen() const { return file_ != nullptr; }
  // Adds a row; writes the buffered rows out when the last write is a second
  // or more ago on the row's clock.
  void Add(const LogRow& row);
  // Writes out what is buffered when `nowMs` (the log's clock) is a second or
  // more after the last write; for callers whose rows stopped coming.
  void FlushIfDue(std::int32_t nowMs);
  // Writes the buffered rows out now. False once a write has failed; from
  // then on rows are neither kept nor written.
  bool Flush();
  bool Close();

  std::uint64_t Rows() const { return rows_; }
  bool Failed() const { return failed_; }
  // Why the first failed write failed ("No space left on device").
  const std::string& Error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  std::string buffer_;
  std::int32_t lastFlushMs_ = 0;
  std::uint64_t rows_ = 0;
  bool failed_ = false;
  std::string error_;

  void Fail();
};

}  // namespace velmor

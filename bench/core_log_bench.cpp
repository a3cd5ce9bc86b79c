// Logs: the cost of recording one monitor frame (what the tick pays while a
// log is recorded) and of analysing an hour of log for map corrections.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "link/frame.h"
#include "log/map_analysis.h"
#include "model/defaults.h"

namespace velmor {
namespace {

std::string ScratchFile(const char* name) {
  const std::filesystem::path dir =
      std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
  return (dir / (std::string(name) + "-" + std::to_string(::getpid()) + ".csv")).string();
}

LinkFrame Frame(int i) {
  LinkFrame f{};
  f[0] = kMonitorReply;
  f[9] = static_cast<std::uint8_t>(i % 100);
  f[28] = static_cast<std::uint8_t>(i % 10);
  f[23] = 185;
  f[24] = 125;
  f[30] = static_cast<std::uint8_t>(120 + i % 30);
  const int rpm = 1000 + (i * 37) % 11000;
  f[48] = static_cast<std::uint8_t>(rpm & 0xFF);
  f[49] = static_cast<std::uint8_t>(rpm >> 8);
  f[64] = 0xF4;
  f[65] = 0x35;
  f[150] = kProtocolVersion;
  SealFrame(f);
  return f;
}

// One row as the window records it: decoded from the frame, formatted and
// written out once a second of log time (a row every 330 ms, as the unit
// answers).
void BM_LogRecordRow(benchmark::State& state) {
  const std::string path = ScratchFile("velmor-log-bench");
  LogWriter writer;
  if (!writer.Open(path)) {
    state.SkipWithError("cannot write the scratch log");
    return;
  }
  const LinkFrame f = Frame(7);
  std::int32_t timeMs = 0;
  for (auto _ : state) {
    writer.Add(LogRowFromMonitorFrame(f.data(), timeMs));
    timeMs += 330;
  }
  writer.Close();
  std::filesystem::remove(path);
}
BENCHMARK(BM_LogRecordRow);

// An hour of rows at the unit's 330 ms.
constexpr int kHourRows = 3600 * 1000 / 330;

std::string HourOfLog() {
  std::string text;
  AppendLogHeader(text);
  for (int i = 0; i < kHourRows; ++i) {
    const LinkFrame f = Frame(i);
    AppendLogRow(LogRowFromMonitorFrame(f.data(), i * 330), text);
  }
  return text;
}

void BM_LogReadHour(benchmark::State& state) {
  const std::string text = HourOfLog();
  for (auto _ : state) benchmark::DoNotOptimize(ParseLog(text));
  state.SetLabel(std::to_string(kHourRows) + " rows, " + std::to_string(text.size() / 1024) + " KiB");
}
BENCHMARK(BM_LogReadHour)->Unit(benchmark::kMillisecond);

void BM_LogAnalyseHour(benchmark::State& state) {
  const LogReadResult log = ParseLog(HourOfLog());
  ParameterImage image;
  DerivedTables tables;
  ApplyDefaults(image, tables, DefaultsScope::Whole);
  RefreshPercentMaps(image, tables);
  AnalysisSettings settings;
  settings.MaxTpsRateX10 = 100000;  // the made-up throttle moves every row
  for (auto _ : state) benchmark::DoNotOptimize(AnalyseLog(image, tables, log.Data, settings));
  state.SetLabel(std::to_string(log.Data.Size()) + " rows");
}
BENCHMARK(BM_LogAnalyseHour)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor

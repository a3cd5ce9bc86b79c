// Decoding one monitor frame into the live values and the display model.
#include <benchmark/benchmark.h>

#include "link/frame.h"
#include "link/monitor.h"

namespace {

velmor::LinkFrame SampleFrame() {
  velmor::LinkFrame f{};
  f[0] = velmor::kMonitorReply;
  f[1] = 0xDB;
  f[2] = 0x48;
  f[3] = 0x20;
  f[4] = 0x06;
  f[9] = 34;
  f[10] = 28;
  f[11] = 29;
  f[14] = 42;
  f[15] = 44;
  f[23] = 185;
  f[24] = 126;
  f[25] = 3;
  f[28] = 5;
  f[29] = 11;
  f[30] = 138;
  auto word = [&](int at, int v) {
    f[at] = static_cast<std::uint8_t>(v & 0xFF);
    f[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  word(44, 3200);
  word(48, 7350);
  word(52, 684);
  word(56, 1840);
  word(64, 13800);
  word(100, 45);
  word(120, 733);
  word(134, 1010);
  f[150] = velmor::kProtocolVersion;
  velmor::SealFrame(f);
  return f;
}

void BM_DecodeMonitorFrame(benchmark::State& state) {
  const velmor::MonitorStems stems = velmor::MonitorStems::For(velmor::LanguageCode::English);
  velmor::MonitorInputs inputs;
  inputs.Stems = &stems;
  inputs.ExtendedMonitor = state.range(0) != 0;
  inputs.IgnLimiterHundreds = 105;
  inputs.LambdaBarLow = 110;
  inputs.LambdaBarHigh = 170;
  const velmor::LinkFrame frame = SampleFrame();
  velmor::LiveValues live;
  velmor::MonitorView view;
  std::uint16_t saving = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(velmor::DecodeMonitorFrame(frame.data(), inputs, live, view, saving));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DecodeMonitorFrame)->Arg(0)->Arg(1)->ArgName("extended");

void BM_FrameChecksum(benchmark::State& state) {
  const velmor::LinkFrame frame = SampleFrame();
  for (auto _ : state) benchmark::DoNotOptimize(velmor::FrameChecksumValid(frame.data()));
}
BENCHMARK(BM_FrameChecksum);

}  // namespace

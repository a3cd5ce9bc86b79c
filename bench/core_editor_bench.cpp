// The editor rules that run on every tick and after every edit: the
// operating-point highlight, the page view model and the undo snapshot.
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/operating_point.h"
#include "editor/undo.h"
#include "editor/view.h"
#include "model/defaults.h"

namespace velmor {
namespace {

ParameterImage DefaultImage() {
  ParameterImage image;
  DerivedTables tables;
  ApplyDefaults(image, tables, DefaultsScope::Whole);
  image.P(47) = MapModeNormal;
  return image;
}

// One tick on the Inj-1A page with "Ms" on, the engine moving between two
// columns so that every tick recolours cells, time labels and axis points.
void BM_ShowOperatingPointMsTick(benchmark::State& state) {
  const ParameterImage image = DefaultImage();
  EngineReading live;
  live.TpsPercent = 40;
  OperatingPoint point;
  HighlightSet set;
  HighlightBits shown;
  int recoloured = 0;
  std::uint16_t rpms[2] = {3000, 6000};
  int n = 0;
  for (auto _ : state) {
    live.Rpm = rpms[n++ & 1];
    ShowOperatingPoint(image, PageInj1, true, live, point, set);
    ApplyHighlight(shown, set, [&](int, bool) { ++recoloured; });
    benchmark::DoNotOptimize(recoloured);
  }
}
BENCHMARK(BM_ShowOperatingPointMsTick);

// The usual tick: the engine where it was, nothing to recolour.
void BM_ShowOperatingPointMsSteady(benchmark::State& state) {
  const ParameterImage image = DefaultImage();
  EngineReading live;
  live.Rpm = 4000;
  live.TpsPercent = 40;
  OperatingPoint point;
  HighlightSet set;
  HighlightBits shown;
  int recoloured = 0;
  for (auto _ : state) {
    ShowOperatingPoint(image, PageInj1, true, live, point, set);
    ApplyHighlight(shown, set, [&](int, bool) { ++recoloured; });
    benchmark::DoNotOptimize(recoloured);
  }
}
BENCHMARK(BM_ShowOperatingPointMsSteady);

void BM_PushUndoNoChange(benchmark::State& state) {
  const ParameterImage image = DefaultImage();
  auto ring = std::make_unique<UndoRing>();
  InitUndo(*ring, image, PageInj1);
  BlockMarks marks{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(PushUndo(*ring, image, PageInj1, marks, {}));
  }
}
BENCHMARK(BM_PushUndoNoChange);

void BM_PushUndoChange(benchmark::State& state) {
  ParameterImage image = DefaultImage();
  auto ring = std::make_unique<UndoRing>();
  InitUndo(*ring, image, PageInj1);
  BlockMarks marks{};
  for (auto _ : state) {
    ++image.P(1300);  // a note byte: the last block differs
    benchmark::DoNotOptimize(PushUndo(*ring, image, PageInj1, marks, {}));
  }
}
BENCHMARK(BM_PushUndoChange);

void BM_RefreshViewMapPageMs(benchmark::State& state) {
  const ParameterImage image = DefaultImage();
  auto model = std::make_unique<ViewModel>();
  ViewInputs in;
  in.Page = PageInj1;
  in.MsMode = true;
  in.LambdaGaugeWidth = 200;
  for (auto _ : state) {
    RefreshView(image, in, *model);
    benchmark::DoNotOptimize(model->Count);
  }
}
BENCHMARK(BM_RefreshViewMapPageMs);

void BM_RefreshViewGearPage(benchmark::State& state) {
  const ParameterImage image = DefaultImage();
  auto model = std::make_unique<ViewModel>();
  ViewInputs in;
  in.Page = PageGear;
  for (auto _ : state) {
    RefreshView(image, in, *model);
    benchmark::DoNotOptimize(model->Count);
  }
}
BENCHMARK(BM_RefreshViewGearPage);

}  // namespace
}  // namespace velmor

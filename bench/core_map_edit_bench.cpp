// The block edits of the map editor on the whole map, without the window.
#include <benchmark/benchmark.h>

#include "editor/map_edit.h"
#include "model/defaults.h"

namespace velmor {
namespace {

void BM_MapEditWholeMap(benchmark::State& state) {
  ParameterImage image;
  DerivedTables tables;
  ApplyDefaults(image, tables, DefaultsScope::Whole);
  image.P(47) = MapModeCoupled;
  const MapEdit edit{static_cast<MapOperation>(state.range(0)), state.range(0) == 2 ? 10500 : 1};
  for (auto _ : state) {
    state.PauseTiming();
    ParameterImage work = image;
    state.ResumeTiming();
    benchmark::DoNotOptimize(ApplyMapEdit(work, tables, PageInj1, CellBlock::Whole(), edit));
  }
}
// Set, add, scale, the three interpolations, smooth.
BENCHMARK(BM_MapEditWholeMap)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmor

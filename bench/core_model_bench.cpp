// The computation that follows every edit: normalisation, base times and the
// percent view of both maps.
#include <benchmark/benchmark.h>

#include "model/defaults.h"
#include "model/derived.h"
#include "model/normalise.h"

namespace velmor {
namespace {

void BM_AfterChangeComputation(benchmark::State& state) {
  ParameterImage image;
  DerivedTables tables;
  ApplyDefaults(image, tables, DefaultsScope::Whole);
  PersistedSelection selection;
  for (auto _ : state) {
    Normalise(image, selection);
    RebuildBaseTimes(image, tables);
    TimeToPercent(image, kInj1FirstWord, tables.BaseTime1, tables.PercentMap1);
    TimeToPercent(image, kInj2FirstWord, tables.BaseTime2, tables.PercentMap2);
    benchmark::DoNotOptimize(tables);
  }
}
BENCHMARK(BM_AfterChangeComputation);

void BM_WholeDefaults(benchmark::State& state) {
  ParameterImage image;
  DerivedTables tables;
  for (auto _ : state) {
    ApplyDefaults(image, tables, DefaultsScope::Whole);
    benchmark::DoNotOptimize(image);
  }
}
BENCHMARK(BM_WholeDefaults);

}  // namespace
}  // namespace velmor

// Saving and loading a whole parameter file, in memory and through tmpfs
// (the atomic save: temporary file, fsync, rename).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/ign_file.h"
#include "files/memo.h"
#include "files/settings.h"
#include "model/defaults.h"

namespace velmor {
namespace {

struct Loaded {
  ParameterImage Image;
  DerivedTables Tables;
  Loaded() {
    Image.P(0) = 5;
    ApplyDefaults(Image, Tables, DefaultsScope::Whole);
    WriteNoteText(Image, "Track day setup\nrear sprocket 41");
  }
};

const IgnVersionTexts kVersions{" 3. 2.2009", "14:05", "Jet01", "Mar  5 2024", "14:03:59"};

std::string ScratchFile(const char* name) {
  const std::filesystem::path dir =
      std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
  return (dir / (std::string(name) + "-" + std::to_string(::getpid()) + ".ign")).string();
}

void BM_IgnWriteText(benchmark::State& state) {
  const Loaded f;
  for (auto _ : state) benchmark::DoNotOptimize(WriteParameterText(f.Image, kVersions));
}
BENCHMARK(BM_IgnWriteText);

// A whole-file read includes the full defaults BIKE applies.
void BM_IgnReadText(benchmark::State& state) {
  const Loaded f;
  const std::string text = WriteParameterText(f.Image, kVersions);
  Loaded target;
  for (auto _ : state) {
    ReadParameterText(text, target.Image, target.Tables, IgnScope::WholeFile);
    benchmark::DoNotOptimize(target.Image);
  }
}
BENCHMARK(BM_IgnReadText);

void BM_IgnSaveFile(benchmark::State& state) {
  const Loaded f;
  const std::string path = ScratchFile("velmor-bench-save");
  for (auto _ : state) {
    if (!SaveParameterFile(path, f.Image, kVersions).Ok) state.SkipWithError("save failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_IgnSaveFile);

void BM_IgnLoadFile(benchmark::State& state) {
  const Loaded f;
  const std::string path = ScratchFile("velmor-bench-load");
  SaveParameterFile(path, f.Image, kVersions);
  Loaded target;
  for (auto _ : state) {
    if (!ReadParameterFile(path, target.Image, target.Tables, IgnScope::WholeFile).Loaded()) {
      state.SkipWithError("load failed");
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_IgnLoadFile);

void BM_LastImageRoundTrip(benchmark::State& state) {
  const Loaded f;
  AllCellsFlagArray flags{};
  Loaded target;
  for (auto _ : state) {
    const std::string text = WriteLastImageText(f.Image, flags);
    ReadLastImageText(text, target.Image, flags);
  }
}
BENCHMARK(BM_LastImageRoundTrip);

}  // namespace
}  // namespace velmor

#include "log/ridden_tunes.h"

#include <filesystem>

#include "editor/program_review.h"
#include "log/log_paths.h"
#include "model/fields.h"

namespace velmor {

bool InjectionDiffers(const ParameterImage& a, const ParameterImage& b) {
  if (a.P(kMapModeByte) != b.P(kMapModeByte)) return true;
  for (const int axis : {kInj1Axis, kInj2Axis})
    for (int i = 0; i < kMapColumns; ++i)
      if (a.P(axis + i) != b.P(axis + i)) return true;
  for (const int map : {kInj1Map, kInj2Map})
    for (int k = 0; k < kMapCells; ++k)
      if (a.Word(map + 2 * k) != b.Word(map + 2 * k)) return true;
  return false;
}

int TuneKeeper::Follow(const ParameterImage* unit, const std::function<IgnVersionTexts()>& versions,
                       std::string* error) {
  if (unit == nullptr) return current_;
  if (last_ && !InjectionDiffers(*last_, *unit)) return current_;
  last_ = *unit;
  const std::string path = TunePathOfLog(logPath_, kept_ + 1);
  const WriteStatus written = SaveParameterFile(path, *unit, versions ? versions() : IgnVersionTexts{});
  if (!written.Ok) {
    current_ = kUnknownTune;
    if (error != nullptr) *error = path + ": " + written.Reason;
    return current_;
  }
  current_ = ++kept_;
  return current_;
}

std::vector<std::optional<ParameterImage>> LoadRiddenTunes(const std::string& logPath, const ParameterImage& base) {
  std::vector<std::optional<ParameterImage>> tunes(1);
  for (int n = 1;; ++n) {
    const std::string path = TunePathOfLog(logPath, n);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) break;
    ParameterImage image;
    if (LoadComparableImage(path, base, image).Loaded())
      tunes.emplace_back(image);
    else
      tunes.emplace_back();
  }
  return tunes;
}

}  // namespace velmor

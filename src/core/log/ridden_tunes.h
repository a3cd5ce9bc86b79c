// The tunes a log was ridden on. A recording keeps, beside its log, the tune
// the unit holds as it starts and a new one each time the injection maps
// change while it runs (a Program, a read of a tune from the unit); every
// row names in its "tune" column the tune it was ridden on. An analysis
// then corrects each cell from what the cell held when its rows were
// ridden, so that a log is never applied on top of its own correction.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/ign_file.h"
#include "model/image.h"

namespace velmor {

// The "tune" value of a row ridden on a tune that is not known (no transfer
// had told it yet, or it could not be kept). A log without the column was
// recorded before tunes were numbered: its rows are on tune 1, if kept.
inline constexpr int kUnknownTune = 0;

// True when the two images inject differently: either injection map, its
// RPM axis or the maps' mode differ.
bool InjectionDiffers(const ParameterImage& a, const ParameterImage& b);

// Keeps the tunes of one log as it is recorded.
class TuneKeeper {
 public:
  explicit TuneKeeper(std::string logPath) : logPath_(std::move(logPath)) {}

  // The tune number for the next row: the unit's tune `unit` (null while it
  // is not known) is written beside the log when its injection differs from
  // the last one kept, with the version texts `versions` gives (asked for
  // only then: this runs for every row). A tune that cannot be written gives its rows
  // kUnknownTune and `error` the reason, once; the next change tries again
  // under the same number, so that the numbers have no holes.
  int Follow(const ParameterImage* unit, const std::function<IgnVersionTexts()>& versions,
             std::string* error = nullptr);

  // Tunes kept so far.
  int Kept() const { return kept_; }

 private:
  std::string logPath_;
  std::optional<ParameterImage> last_;
  int kept_ = 0;
  int current_ = kUnknownTune;
};

// The tunes kept beside the log at `logPath`, each as the window would hold
// it after opening it over `base`: [0] is empty (the tune of no known
// tune), [n] tune n. The list ends before the first number without a file.
std::vector<std::optional<ParameterImage>> LoadRiddenTunes(const std::string& logPath, const ParameterImage& base);

}  // namespace velmor

// What a Program is about to change in the unit: the image the unit is
// believed to hold, so that the tuner can review the difference before
// anything is written. Only images this program moved itself count; a unit
// that was never read or programmed is "unknown", and so is one whose last
// programming did not finish (it may hold a mixture of two tunes).
#pragma once

#include <string>
#include <string_view>

#include "files/history.h"
#include "model/image.h"

namespace velmor {

enum class ReferenceSource : std::uint8_t {
  Session,  // the last Read or Program of this unit name in this session
  History,  // the newest history file of this unit name
  Unknown,  // nothing known: the whole image will be written
};

struct ProgramReference {
  ReferenceSource Source = ReferenceSource::Unknown;
  ParameterImage Image;     // what the unit holds; meaningful unless Unknown
  std::string HistoryPath;  // the file it came from (History)
};

// An image as a document holds it after taking it in (a file opened, a unit
// read): normalised, map 2 copied from map 1 in " 1 = 2" mode. Compared raw,
// a unit or file would differ from the editor in bytes no one changed.
void NormaliseForComparison(ParameterImage& image);

// A parameter file as the window would hold it right after opening it over
// `base`: read whole, then NormaliseForComparison. Unless the read loaded
// (a file that holds no parameters or is cut off), `image` is `base`.
IgnReadResult LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image);

// The image to compare with before programming the unit named `unitName`
// (its firmware name as the identity texts show it; empty while no unit has
// answered this session). `editor` fills what a history file does not hold.
ProgramReference ReferenceBeforeProgram(std::string_view unitName, const UnitMemory& session,
                                        const std::string& historyDirectory, const ParameterImage& editor);

}  // namespace velmor

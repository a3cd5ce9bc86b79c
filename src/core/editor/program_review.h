// Images made comparable with the editor's: a unit read for a comparison or
// for the review before programming, a file or a history entry. Compared
// raw, they would differ from the editor in bytes no one changed.
#pragma once

#include <string>

#include "files/ign_file.h"
#include "model/image.h"

namespace velmor {

// An image as a document holds it after taking it in (a file opened, a unit
// read): normalised, map 2 copied from map 1 in " 1 = 2" mode. Compared raw,
// a unit or file would differ from the editor in bytes no one changed.
void NormaliseForComparison(ParameterImage& image);

// A parameter file as the window would hold it right after opening it over
// `base`: read whole, then NormaliseForComparison. Unless the read loaded
// (a file that holds no parameters or is cut off), `image` is `base`.
IgnReadResult LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image);

}  // namespace velmor

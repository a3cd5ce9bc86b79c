// What `diff` and `dump` print: differences field by field in the units the
// editor shows, and the parameter area byte by byte.
#pragma once

#include <string>
#include <vector>

#include "model/derived.h"
#include "model/image.h"

namespace velmor::cli {

// One line per differing field: "Page: caption: value in a -> value in b".
// Map cells are named by TPS row and rpm column; bytes no editor field
// covers are listed by offset at the end. Empty when the parameter areas
// are equal. The tables must be in step with their images.
std::vector<std::string> DiffImages(const ParameterImage& a, const DerivedTables& tablesA,
                                    const ParameterImage& b, const DerivedTables& tablesB);

// The parameter area as lines of a hexadecimal offset and 16 bytes.
std::string HexDump(const ParameterImage& image);

}  // namespace velmor::cli

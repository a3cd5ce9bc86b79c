// Windows-1250, the 8-bit code page the unit's note and the parameter file's
// memo are kept in. The window works in UTF-8; these convert at that boundary.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

// Each byte becomes one character. The five bytes the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) become the C1 controls of the same
// number, so every byte string survives a round trip.
std::string Cp1250ToUtf8(std::string_view bytes);

// Each character becomes one byte; characters the code page lacks, and bytes
// that are not valid UTF-8, become '?'.
std::string Utf8ToCp1250(std::string_view utf8);

}  // namespace velmor

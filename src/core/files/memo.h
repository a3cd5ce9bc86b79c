// The note stored in the unit: the lines of the window's memo, packed into
// P+1200..P+1349 one after another, each followed by a NUL byte.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/image.h"

namespace velmor {

// Longest memo text, line breaks included; with one NUL per line it fills the
// area up to P+1348, and P+1349 stays 0.
inline constexpr int kMemoMaxChars = kMemoSize - 1;

// Clears the area and packs the lines (Windows-1250 bytes) from P+1200. Text
// that does not fit is cut off: nothing is written past P+1348, and P+1349 is
// always 0.
void WriteNote(ParameterImage& image, std::span<const std::string> lines);

// The lines the area holds (Windows-1250 bytes): strings from P+1200 up to
// the last non-zero byte; an all-zero area gives no lines.
std::vector<std::string> NoteLines(const ParameterImage& image);

// The same for the memo's text as the window holds it: UTF-8, lines separated
// by "\n" (a "\r\n" counts as one break).
void WriteNoteText(ParameterImage& image, std::string_view utf8Text);
std::string NoteText(const ParameterImage& image);

}  // namespace velmor

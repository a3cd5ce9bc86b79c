// The sections of a parameter file (.ign), in the order they are written:
// where each value lives in the image, how it is scaled in the file, how the
// lines are broken, which editor page a section belongs to, and what a
// version-63 file lacks. The reader and the writer are two loops over it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velmor {

enum class IgnItemKind : std::uint8_t {
  Bytes,         // Count bytes from Offset
  Words,         // Count little-endian words from Offset
  Flag,          // one byte written as 0 or 1
  Continuation,  // a line break and 13 blanks
  LineBreak,     // a bare line break
};

struct IgnItem {
  IgnItemKind Kind = IgnItemKind::Bytes;
  std::int16_t Offset = 0;        // P+ offset of the first value
  std::uint8_t Count = 1;         // values, consecutive bytes or words
  std::uint8_t Scale = 1;         // written = stored × Scale + Add
  std::int16_t Add = 0;           // read back as (value − Add) ÷ Scale
  bool Signed = false;            // "%5d " instead of "%5u "
  bool NoBlank = false;           // "%5u" without the trailing blank
  std::uint8_t BreakEvery = 0;    // a continuation line after every n-th value
  std::uint8_t Scale63 = 0;       // the scale of version-63 files, 0 = Scale
  bool AbsentIn63 = false;        // version-63 files do not carry these values
};

// A section belongs to an editor page (its group); "Open for actual page"
// reads only the sections of the page shown.
inline constexpr int kIgnWholeFileOnly = -1;

struct IgnSection {
  std::string_view Keyword;
  std::uint8_t FieldWidth = 13;   // the keyword is left-justified in this field
  std::int8_t PageGroup = 0;
  bool SkipIn63 = false;          // version-63 files are not read for it
  std::span<const IgnItem> Items;
};

// Sections 1 to 40 (BIKE to LAMBDA_BAR); VERSIONS and MEMO follow them.
std::span<const IgnSection> IgnSections();

inline constexpr int kIgnVersion = 78;
inline constexpr int kIgnOlderVersion = 63;
inline constexpr std::string_view kIgnHeaderKeyword = "KORDAVIN_KEY";
inline constexpr std::string_view kIgnVersionsKeyword = "VERSIONS";
inline constexpr std::string_view kIgnMemoKeyword = "MEMO";
inline constexpr int kIgnMemoPageGroup = 0;

}  // namespace velmor

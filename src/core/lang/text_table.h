// Four-language text tables of the features beyond the unit's own catalog
// (logs, block edits, history): one row per text, in the catalog's language
// order, looked up by an enum.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

using TextRow = std::array<std::string_view, kLanguageCount>;  // English, German, French, Czech

// The text of `key` in `language`; nothing for a key or language out of
// range.
template <typename Key, std::size_t N>
constexpr std::string_view PickText(const std::array<TextRow, N>& table, Key key, LanguageCode language) {
  const auto row = static_cast<std::size_t>(key);
  const auto column = static_cast<std::size_t>(language);
  if (row >= N || column >= static_cast<std::size_t>(kLanguageCount)) return {};
  return table[row][column];
}

// `pattern` with its first "%1" replaced by `first` and its first "%2" by
// `second`.
inline std::string FillText(std::string_view pattern, std::string_view first, std::string_view second = {}) {
  std::string filled(pattern);
  if (const auto at = filled.find("%1"); at != std::string::npos) filled.replace(at, 2, first);
  if (const auto at = filled.find("%2"); at != std::string::npos) filled.replace(at, 2, second);
  return filled;
}

}  // namespace velmor

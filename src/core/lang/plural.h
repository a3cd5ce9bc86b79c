// Counts in the four languages. A text that shows a count carries the words
// that change with it in plural groups: "{%1 cell|%1 cells}" in English,
// German and French, "{%1 buňka|%1 buňky|%1 buněk}" in Czech. A group
// belongs to the placeholder its first form holds; a text may have groups
// for several counts, and a group may span the whole sentence when the verb
// agrees with the count too. Braces without "|" are plain text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class PluralForm : std::uint8_t { One, Few, Many };

// English and German: 1 is One, every other count Many. French: 0 and 1 are
// One. Czech: 1 is One, 2 to 4 Few, every other count Many.
PluralForm PluralFormOf(long long count, LanguageCode language);

// The forms of a plural group in `language`: three in Czech (one, few,
// many), two in the others (one, other).
int PluralFormCount(LanguageCode language);

// `text` with every plural group of placeholder "%<placeholder>" replaced by
// its form for `count`; other groups and every placeholder stay, so that the
// caller fills them in as before.
std::string Plural(std::string_view text, LanguageCode language, long long count, int placeholder = 1);

// The same for "%1", then "%1" filled with the count.
std::string CountText(std::string_view text, LanguageCode language, long long count);

}  // namespace velmor

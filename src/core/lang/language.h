// Choosing the language: the command-line word at start and the check mark of
// the language menu.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/catalog.h"

namespace velmor {

// The language of a command-line word: "ENGLISH", "FRENCH", "DEUTSCH" or
// "CESKY", compared in that order as whole, case-sensitive strings.
std::optional<LanguageCode> LanguageFromWord(std::string_view word);

// Only the first argument after the program name counts; any other word, or
// no argument, keeps `current` (the language of the settings file). Further
// arguments are ignored.
LanguageCode LanguageFromCommandLine(int argc, const char* const* argv, LanguageCode current);
// The same over the arguments without the program name.
LanguageCode LanguageFromCommandLine(std::span<const std::string> arguments, LanguageCode current);

// The files to open after start-up: every argument that is not a language
// word, in order. A desktop passes the file a tuner double-clicked this way,
// with or without a language word before it.
std::vector<std::string> FileArguments(std::span<const std::string> arguments);

// The four items under MenuLanguage, in language-code order.
inline constexpr std::array<std::string_view, kLanguageCount> kLanguageMenuItems = {
    "MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};

// The one item that carries the check mark; the other three are unchecked.
// A language value outside 0..3 checks MenuEnglish.
std::string_view MenuItemForLanguage(LanguageCode language);

}  // namespace velmor

#include "lang/language.h"

namespace velmor {

std::optional<LanguageCode> LanguageFromWord(std::string_view word) {
  struct Word {
    std::string_view text;
    LanguageCode language;
  };
  // The order of comparison at start.
  static constexpr Word kWords[] = {
      {"ENGLISH", LanguageCode::English},
      {"FRENCH", LanguageCode::French},
      {"DEUTSCH", LanguageCode::German},
      {"CESKY", LanguageCode::Czech},
  };
  for (const Word& w : kWords) {
    if (word == w.text) return w.language;
  }
  return std::nullopt;
}

LanguageCode LanguageFromCommandLine(int argc, const char* const* argv, LanguageCode current) {
  if (argc < 2 || argv == nullptr || argv[1] == nullptr) return current;
  return LanguageFromWord(argv[1]).value_or(current);
}

LanguageCode LanguageFromCommandLine(std::span<const std::string> arguments, LanguageCode current) {
  if (arguments.empty()) return current;
  return LanguageFromWord(arguments.front()).value_or(current);
}

std::vector<std::string> FileArguments(std::span<const std::string> arguments) {
  std::vector<std::string> files;
  for (const std::string& a : arguments) {
    if (!a.empty() && !LanguageFromWord(a)) files.push_back(a);
  }
  return files;
}

std::string_view MenuItemForLanguage(LanguageCode language) {
  const auto value = static_cast<unsigned>(language);
  return kLanguageMenuItems[value < kLanguageMenuItems.size() ? value : 0];
}

}  // namespace velmor

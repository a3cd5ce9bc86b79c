// What F1 says when it shows the guide inside the program, in the four
// languages.
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class HelpText : std::uint8_t {
  GuideTitle,   // the guide window's title
  NoViewer,     // "%1" the help document no PDF viewer opened
  GuideBelow,   // after the catalog's message when the help document is missing
  Count
};

std::string_view HelpCaption(HelpText text, LanguageCode language);

// The guide's Markdown file of `language` ("guide.de.md"), as docs/ holds it.
std::string_view GuideFileName(LanguageCode language);

}  // namespace velmor

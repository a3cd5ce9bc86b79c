// What the window and the command-line tool say about a parameter file that
// was cut off or lacks sections, in the four languages.
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class FileText : std::uint8_t {
  CutOff,           // "%1" the section (or header) the file ends inside, "%2" its line
  MissingSections,  // "%1" the keywords of the sections the file does not hold
  Count
};

std::string_view FileCaption(FileText text, LanguageCode language);

}  // namespace velmor

// Texts of the port diagnostics (the Com menu item, its window and the
// button beside the port) in the four languages. The findings themselves are
// the doctor's English lines, the same as `velmor-cli ports` prints.
#pragma once

#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class PortText : int {
  MenuPortDiagnostics,  // Com menu
  Title,
  Intro,
  Port,                 // the caption of the port choice
  AllPorts,
  CheckAgain,
  Close,
  Diagnose,             // beside the port when it did not open, and in its message
  DiagnoseHint,
  Count
};

std::string_view PortCaption(PortText text, LanguageCode language);

}  // namespace velmor

// What the link says beyond the unit's own catalog: why a transfer stopped,
// and the fast monitor setting, in the four languages.
#pragma once

#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class LinkText : int {
  UnitSilent,        // a transfer's block got no answer at all
  ConnectionLost,    // the port closed under a transfer
  RepliesDamaged,    // answers came, none passed the checks
  VerifyStopped,     // the headline of a verify that ended without a difference
  MenuFastMonitor,   // Log menu, a check mark
  FastMonitorHint,   // its help text
  Count
};

std::string_view LinkCaption(LinkText text, LanguageCode language);

}  // namespace velmor

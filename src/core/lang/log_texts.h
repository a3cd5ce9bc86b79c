// The texts of log recording in the four languages.
#pragma once

#include <cstdint>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class LogText : std::uint8_t {
  Menu,          // the Log menu
  Record,        // start recording
  Stop,          // stop recording
  RecordHint,    // the tool button's hint
  Recording,     // status bar while recording: "%1" elapsed time, "%2" rows
  Saved,         // status bar after Stop: "%1" the file
  CannotWrite,   // "%1" the reason
  Count
};

// UTF-8; %1 and %2 are filled in by the window.
std::string_view LogUiText(LogText text, LanguageCode language);

}  // namespace velmor

// What the status bar says when the editor refuses or trims a change to the
// tune, in the four languages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class EditText : std::uint8_t {
  WhileReading,  // a change while the unit is being read
  TunedMap,      // cells of the map the unit tunes: "%1" how many were left
  Stale,         // "%1" values changed since the change was worked out
  Kept,          // undo/redo: "%1" values kept as the unit or a later edit left them
  ReadAdjusted,  // "%1" the blocks the normalisation changed on reading
  ChangedFile,   // the caption's file name while the tune differs from it: "%1" the file
  Count
};

// The text in `language`, and the same with "%1" replaced by `fill`.
std::string_view EditCaption(EditText text, LanguageCode language);
std::string EditCaption(EditText text, LanguageCode language, std::string_view fill);

}  // namespace velmor

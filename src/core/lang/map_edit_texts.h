// Texts of the map editor's block edits (context menu, questions and
// messages) in the four languages.
#pragma once

#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class MapEditText : int {
  MenuSet,            // "Set selection to..."
  MenuAdd,            // "Add to selection..."
  MenuStepUp,         // "Increase by one step"
  MenuStepDown,       // "Decrease by one step"
  MenuScale,          // "Scale by percent..."
  MenuInterpolateRows,
  MenuInterpolateColumns,
  MenuInterpolateBoth,
  MenuSmooth,
  MenuCopy,
  MenuPaste,
  MenuHeatColours,
  AskSetValue,        // label of the question for Set
  AskAddValue,
  AskScalePercent,
  PasteNotNumbers,    // "%1" is the first field that is not a number
  PasteCutOff,        // "%1 x %2" is what was pasted of a larger block; its plural goes by the cells
  MapFollowsMap1,     // a coupled or equal map 2 cannot be edited by itself
  Menu3DView,         // the command and the caption of the 3D view
  No3DView,           // the 3D view's label where OpenGL cannot be had
  OutOfRange,         // "%1" the value typed, "%2" … "%3" the map's range
  PasteAmbiguous,     // "%1" is a field such as "1,234": a thousand or a decimal
  // Why the 3D view cannot draw, inside No3DView's "%1".
  No3DVariable,       // VELMOR_NO_3D is set
  No3DOffscreen,
  No3DContext,        // "%1" the platform
  No3DUnusable,
  Count
};

// The text in `language`; "%1" and "%2" are filled in by the window.
std::string_view MapEditCaption(MapEditText text, LanguageCode language);

}  // namespace velmor

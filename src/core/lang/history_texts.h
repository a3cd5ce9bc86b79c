// Texts of the tune history, the compare window and the review before
// programming (menu items, dialogs, status messages) in the four languages.
#pragma once

#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class HistoryText : int {
  MenuHistory,              // File menu
  MenuCompareFile,
  MenuCompareUnit,
  MenuReviewBeforeProgram,  // Ignition menu, a check mark
  HistoryTitle,
  HistoryWhere,             // "%1" the folder, "%2" how many are kept
  HistoryTime,
  HistoryKind,
  HistoryUnit,
  HistoryNote,
  KindRead,
  KindProgram,
  Open,
  Compare,
  Close,
  CompareTitle,             // "%1" what the editor is compared with
  CompareNoDifferences,
  CompareCount,             // "%1" how many differences
  CompareMap2Follows,       // "%1" how many differences map 2 has
  Apply,
  ApplyHint,
  ColumnField,
  ColumnEditor,
  FieldsTab,
  MapTab,                   // "%1" the map's page, "%2" how many cells
  TheUnit,                  // what the editor is compared with after a read
  NothingToCompare,         // "%1" the file
  NotKept,                  // "%1" why
  NoPreviousCopy,
  CompareReadFailed,
  UnitBusy,                 // a compare asked for while a transfer runs
  ReviewTitle,
  ReviewAgainstUnit,        // "%1" the unit's name
  ReviewReadFailed,
  ReviewNoChanges,
  ReviewCount,              // "%1" how many fields change
  ReviewProgram,
  Cancel,
  ColumnInUnit,
  ColumnAfterProgram,
  CellLegend,               // "%1" the upper value's column, "%2" the lower one's
  SpaceTicks,               // how to tick a drag selection of cells
  TickAll,
  TickNone,
  Count
};

// The text in `language`; "%1" and "%2" are filled in by the window.
std::string_view HistoryCaption(HistoryText text, LanguageCode language);

}  // namespace velmor

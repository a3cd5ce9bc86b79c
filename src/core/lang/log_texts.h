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
  Analyse,       // the menu item and the dialog's title
  LogFile,       // "Log:"
  OpenLog,       // the button that chooses a log
  Map,           // "Map:"
  Target,        // "Target A/F:"
  MinSamples,
  MinCoolant,
  MaxTpsRate,
  MaxChange,
  Apply,
  Summary,       // "%1" rows, "%2" used, "%3" cells to change
  CellHint,      // "%1" rows, "%2" mean A/F, "%3" target, "%4" current %, "%5" suggested %
  FewRows,       // appended to the hint of a cell without enough rows
  FollowsMap1,   // map 2 cannot be changed by itself
  Applied,       // "%1" cells written into the map
  OpenLogMenu,   // open a log in the viewer
  RecentLogs,    // the submenu of the newest logs
  ViewerAnalyse, // the viewer's button to the analysis
  ViewerRows,    // "%1" rows of the log, no range chosen
  ViewerRange,   // "%1" s to "%2" s: "%3" rows
  Play,
  Pause,
  StopPlayback,
  CorrectionsTab,
  TargetTab,
  UseTargetTable,
  SaveTargetTable,
  TargetSaved,   // "%1" the file
  SaveTuneFirst,
  DeadBand,      // "Dead band %:"
  FillBetween,   // the check box
  FilledHint,    // a filled cell's hint: "%1" current %, "%2" suggested %
  RiddenOn,      // "%1" the tune file beside the log
  RiddenUnknown,
  ChangedSince,  // "%1" cells of the map changed since the ride
  ChangedHint,   // appended to a changed cell's hint: "%1" its % now
  RiddenOnTunes, // "%1" how many tunes, "%2" their files beside the log
  TuneNotKept,   // status bar while recording: "%1" the file and the reason
  // Why a log cannot be read.
  ReadNoHeader,
  ReadColumnTwice,    // "%1" the column
  ReadNoColumn,       // "%1" the column
  ReadSemicolons,
  ReadTabs,
  ReadNotANumber,     // "%1" line, "%2" column, "%3" the field
  ReadOutOfRange,     // "%1" line, "%2" column, "%3" the field, "%4" lowest, "%5" highest
  ReadFieldCount,     // "%1" line, "%2" its fields, "%3" the header's
  ReadNoTime,         // "%1" line
  ReadLineTooLong,    // "%1" line, "%2" MiB
  ReadNoFile,
  ReadFolder,
  ReadFifo,
  ReadDevice,
  ReadNoPermission,
  ReadFailed,         // "%1" the system's reason
  ReadTooLarge,       // "%1" MiB of the file
  ReadBackInTime,     // "%1" line, "%2" its time, "%3" the time above it
  CannotOpenLog,      // the viewer's message: "%1" the file, "%2" why
  CoverageTab,        // the analysis's tab of rows per cell
  CoverageHint,       // "%1" rows in the cell, "%2" the minimum the analysis asks
  Count
};

// UTF-8; %1 and %2 are filled in by the window.
std::string_view LogUiText(LogText text, LanguageCode language);

// The name of the log's `column`-th column (in the log format's order) as a
// chart shows it, and its unit; the file keeps its own column names.
inline constexpr int kLogChannelTexts = 63;
std::string_view LogChannelName(int column, LanguageCode language);
std::string_view LogChannelUnit(int column, LanguageCode language);

}  // namespace velmor

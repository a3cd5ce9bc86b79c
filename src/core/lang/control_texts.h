// The language half of the main window's controls: captions, hints and radio
// group items per language, the placeholders of the live-monitor labels while
// no unit answers, and the main window caption. The window applies all of it
// by object name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/catalog.h"

namespace velmor {

// Object names of the controls built at start-up that carry language texts:
// the three map sheets and the "All" check box of MapPanel.
inline constexpr std::string_view kAdvanceSheetName = "TabSheet_Advance";
inline constexpr std::string_view kInj1ASheetName = "TabSheet_Inj1A";
inline constexpr std::string_view kInj2ASheetName = "TabSheet_Inj2A";
inline constexpr std::string_view kMapAllCheckBoxName = "CheckBoxAll_Uni";

enum class TextProperty : std::uint8_t {
  Caption,  // the visible text of a menu item, button, tab, label, check box or group (box)
  Hint,     // tooltip and status-bar text; see HintStatusText / HintTooltipText
  Items,    // the whole item list of a radio group, one item per '\n'-separated line
  Item,     // one item of a radio group (ControlText::item); the other items stay
};

struct ControlText {
  std::string_view component;  // object name of the control
  TextProperty property = TextProperty::Caption;
  int item = 0;                // item index, for TextProperty::Item only
  std::string text;            // "&" marks the accelerator, as in Qt
};

// Every language-dependent control text for `language`: the no-connection
// label, the monitor group captions and the tuning tab, menus, action and tool
// buttons, tab captions, hints, radio-group items and the other captions. No
// text depends on another, so they may be applied in any order. A language
// value outside 0..3 gives the English texts. Controls not listed keep their
// texts in every language (for example TabSheet_Race, TabSheet_Monitor, the
// items of RadioGroupPinEngine23/14, RadioGroupPinBody11, RadioGroupGearSystem).
std::vector<ControlText> ControlTexts(LanguageCode language);

struct LabelText {
  std::string_view label;  // object name
  std::string text;
};

// The live-monitor labels' texts while no unit answers: each stem of the
// language followed by its fixed placeholder, and LabelLadeniMsg emptied (the
// last entry). The window applies these only while LabelSpojeni is visible;
// while a unit answers, the next monitor frame rewrites the labels itself.
std::vector<LabelText> MonitorPlaceholders(LanguageCode language);
// What every live label shows while there is no reading (before the first
// monitor frame, and after the unit stops answering): the placeholders above
// where they give one, else the label's format with the value left open.
std::vector<LabelText> NoReadingTexts(LanguageCode language);

// "  " + WindowTitle: the part of the caption that stays when the file changes.
std::string MainWindowCaptionBase();
// "  " + WindowTitle + seven spaces + the current parameter file's full path
// (empty after New or Read).
std::string MainWindowCaption(const std::string& currentFileName);

// The items of a TextProperty::Items text, in order.
std::vector<std::string> SplitItemList(std::string_view items);

// A hint may carry "short|long": the tooltip shows the part before the first
// "|", the status bar the part after it. Without "|", both show the whole hint.
std::string_view HintTooltipText(std::string_view hint);
std::string_view HintStatusText(std::string_view hint);

// The About window's title, set each time it is activated. French has none:
// the window keeps the title it had.
std::optional<std::string> AboutWindowTitle(LanguageCode language);

}  // namespace velmor

namespace velmor {

// The caption of the window's tab of page `page` (0 Bike ... 12 Monitor) in
// `language`, as the tab shows it: the compare and review windows name the
// map pages the same way ("Einsp. 1"). Empty for a page out of range.
std::string PageTabCaption(int page, LanguageCode language);

}  // namespace velmor

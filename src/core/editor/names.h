// Object names of the controls the editor's view rules and the operating-point
// highlight address, and the fixed geometry of the map editor.
//
// Controls declared in the form keep their form names. The controls built at
// start-up follow one rule: "Edit" or "UpDown", then the stem of their grid
// column, then the row index counted from 0 (the map editor counts RPM
// columns and cells k = 15 * row + column). The map editor's other controls:
//
//   LabelMapRpm, LabelMapTps       the "RPM" and "TPS" captions
//   MapTopBevel                    the line above row 0
//   TpsRowLabel<row>               "0%" .. "100%"
//   CellTimeLabel<k>               injection time over cell k ("Ms" view)
//   ColumnStepButton<column>       up/down pair under each column
//   MapStepButton                  up/down pair stepping the map
//   MapHeaderLabel<n>              n = 0..5
//   CheckBoxAll_Uni, CheckBoxTps_Uni, CheckBoxZobrMs_Uni
//   EditMapExtra<n> / UpDownMapExtra<n>   the three extra field pairs
#pragma once

#include <string_view>

#include "model/image.h"

namespace velmor {

inline constexpr int kGearCount = 6;
inline constexpr int kTemp5Count = 5;
inline constexpr int kMapExtraCount = 3;
inline constexpr int kMapHeaderCount = 6;
inline constexpr int kIdleTableRows = 9;
inline constexpr int kClutchPairs = 4;

inline constexpr std::string_view kMapPanelName = "MapPanel";
inline constexpr std::string_view kLabelMapRpmName = "LabelMapRpm";
inline constexpr std::string_view kLabelMapTpsName = "LabelMapTps";
inline constexpr std::string_view kMapTopBevelName = "MapTopBevel";
inline constexpr std::string_view kMapStepButtonName = "MapStepButton";
inline constexpr std::string_view kCheckBoxAllUniName = "CheckBoxAll_Uni";
inline constexpr std::string_view kCheckBoxTpsUniName = "CheckBoxTps_Uni";
inline constexpr std::string_view kCheckBoxMsUniName = "CheckBoxZobrMs_Uni";
inline constexpr std::string_view kTabSheetInj2AName = "TabSheet_Inj2A";

// Indexed names. Every function returns a view of storage that lives for the
// whole program; an index outside the control array gives an empty name.
struct EditorNames {
  // Map editor.
  static std::string_view TpsRowLabel(int row);
  static std::string_view RpmAxisEdit(int column);
  static std::string_view RpmAxisUpDown(int column);
  static std::string_view ColumnStepButton(int column);
  static std::string_view MapCellEdit(int k);
  static std::string_view MapCellUpDown(int k);
  static std::string_view CellTimeLabel(int k);
  static std::string_view MapHeaderLabel(int n);
  static std::string_view MapExtraEdit(int n);
  static std::string_view MapExtraUpDown(int n);

  // Position grid (page 4): column i of the RPM row and of the position row.
  static std::string_view PolohaARpmEdit(int i);
  static std::string_view PolohaAPozEdit(int i);

  // Corrections (page 5).
  static std::string_view KorVodaEdit(int i);    // injection by coolant
  static std::string_view KorVzduchEdit(int i);  // injection by air
  static std::string_view IgnVodaEdit(int i);    // advance by coolant
  // Start-correction time cells: LabelSyticCas0, EditSyticCas1..4.
  static std::string_view SyticCasCell(int i);
  // Start-correction percentage cells: EditSyticKorekce0..3, LabelSyticKorekce4.
  static std::string_view SyticKorekceCell(int i);

  // Idle table spinners (page 7).
  static std::string_view IdleServoPozUpDown(int i);

  // Gear page (9); `row` is the gear minus one, `gear` 1..6.
  static std::string_view RpmSpeedProGearEdit(int row);
  static std::string_view GearKorAdvEdit(int row);
  static std::string_view GearKorAdvUpDown(int row);
  static std::string_view GearKorJetEdit(int row);
  static std::string_view GearKorJetUpDown(int row);
  static std::string_view ButtonGear(int gear);
  static std::string_view LabelPomerRpmSpeed(int gear);
  static std::string_view LabelMonPomerRpmSpeedAuto(int gear);
  static std::string_view LabelMonGearAuto(int gear);
  static std::string_view LabelGearKor(int gear);

  // Race page (10): pair 0 ClutchPilotA, 1 ClutchPilotB, 2 ClutchTime, 3 ClutchPause.
  static std::string_view ClutchEdit(int pair, int row);
  static std::string_view ClutchUpDown(int pair, int row);
  static std::string_view LabelRaceGear(int gear);
};

// Geometry of the map editor as it is built; the view moves row 9 and the
// extra fields relative to it.
namespace map_layout {
inline constexpr int kEditWidth = 40;
inline constexpr int kExtraEditWidth = 30;
inline constexpr int kCellLabelInset = 5;
constexpr int CellLeft(int column) { return 62 * column + 44; }
constexpr int CellTop(int row) { return 30 * row + 53; }
constexpr int TpsRowLabelTop(int row) { return 30 * row + 56; }
// A spinner sits flush against the right edge of its edit box.
constexpr int SpinnerLeft(int editLeft, int editWidth) { return editLeft + editWidth; }
inline constexpr int kTpsCheckBoxLeft = 20;
}  // namespace map_layout

}  // namespace velmor

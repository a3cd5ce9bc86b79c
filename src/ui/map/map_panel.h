// The map editor shared by the three map pages: one group box, MapPanel,
// with the RPM axis, the 10 x 15 cells, their time labels, the step buttons
// and the page's extra fields, every element at a fixed position because the
// map view moves and hides them by position. The window moves the panel to
// whichever map sheet is shown.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "model/image.h"
#include "ui/widgets/up_down.h"

namespace velmor::ui {

struct MapPanelWidgets {
  QGroupBox* Panel = nullptr;                     // MapPanel
  QLabel* RpmLabel = nullptr;                     // "RPM"
  QLabel* TpsLabel = nullptr;                     // "TPS"
  std::array<QLabel*, kMapRows> TpsRowLabel{};    // "0%" .. "100%"
  std::array<QLineEdit*, kMapColumns> AxisEdit{};  // EditRpmAxisField<i>
  std::array<UpDown*, kMapColumns> AxisSpin{};     // UpDownRpmAxisField<i>
  std::array<QLineEdit*, kMapCells> CellEdit{};    // EditMapCell<k>
  std::array<UpDown*, kMapCells> CellSpin{};       // UpDownMapCell<k>
  std::array<QLabel*, kMapCells> CellTimeLabel{};  // CellTimeLabel<k>
  std::array<StepButtons*, kMapColumns> ColumnStep{};  // ColumnStepButton<i>
  StepButtons* MapStep = nullptr;                 // MapStepButton
  QCheckBox* All = nullptr;                       // CheckBoxAll_Uni
  QCheckBox* Tps = nullptr;                       // CheckBoxTps_Uni
  QCheckBox* Ms = nullptr;                        // CheckBoxZobrMs_Uni
  std::array<QLineEdit*, 3> ExtraEdit{};          // EditMapExtra<n>
  std::array<UpDown*, 3> ExtraSpin{};             // UpDownMapExtra<n>
  std::array<QLabel*, 6> HeaderLabel{};           // MapHeaderLabel<j>
  QFrame* TopBevel = nullptr;                     // MapTopBevel
};

// Builds MapPanel on the advance sheet, filling it, with every element at its
// fixed position. `pageControlWidth` places the map step button and "All" from
// the right (width − 96), as the window is 990 pixels wide by default.
MapPanelWidgets BuildMapPanel(QWidget* advanceSheet, int pageControlWidth = 990);

// Moves MapPanel onto another map sheet (the window does this when a map page
// is shown), filling it there.
void PutMapPanelOn(const MapPanelWidgets& map, QWidget* sheet);

}  // namespace velmor::ui

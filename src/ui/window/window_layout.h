// The main window's controls: the top area and the pages are built here, and
// every control the window works with is looked up once into one struct, so
// nothing searches the widget tree while the link ticks. Object names are a
// contract (tests and the view models find controls by them); see
// docs/GLOSSARY.md for the Czech stems in them.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "editor/operating_point.h"
#include "link/monitor.h"
#include "ui/map/map_panel.h"
#include "model/image.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace velmor::ui {

class Gauge;
class UpDown;

// The controls of one row of the field table.
struct FieldControls {
  QLineEdit* Edit = nullptr;
  UpDown* Spinner = nullptr;
  QWidget* Control = nullptr;  // check box, radio group, combo box, memo
};

struct WindowControls {
  QTabWidget* Pages = nullptr;  // PageControl1
  std::array<QWidget*, PageCount> Sheets{};
  MapPanelWidgets Map{};
  std::vector<FieldControls> Fields;  // parallel to EditorFields()

  // The top area: transfer status, connection and the unit's identity.
  QLabel* StatusLabel = nullptr;      // LabelHlaseni
  Gauge* TransferGauge = nullptr;     // CGaugeProgram
  QLabel* ConnectionLabel = nullptr;  // LabelSpojeni
  QLabel* VersionLabel = nullptr;     // LabelVersion
  QLabel* PortLabel = nullptr;        // LabelCom
  QPushButton* DiagnoseButton = nullptr;  // ButtonDiagnose: the port did not open
  std::array<QLabel*, 3> IdentityLabels{};  // LabelVerze1..3: name, date, time
  std::vector<QAction*> PortActions;  // MenuCom1..20, MenuComAuto

  // The live display.
  std::array<QLabel*, kMonLabelCount> MonitorLabels{};
  std::array<Gauge*, kMonGaugeCount> MonitorGauges{};
  std::array<QLineEdit*, kMonEditCount> MonitorEdits{};
  std::array<QWidget*, HighlightCount> HighlightWidgets{};

  // Switches and controls the commands read.
  QCheckBox* ProgramAfterChange = nullptr;  // CheckBoxProgHned
  QCheckBox* TuningEnabled = nullptr;       // CheckBoxLadeniPovoleno
  QCheckBox* ExtendedMonitor = nullptr;     // CheckBoxExtMonitor
  QCheckBox* GasEnabled = nullptr;          // CheckBoxGas
  QCheckBox* AllPositions = nullptr;        // CheckBoxAll_PolohaA
  QComboBox* BikeModel = nullptr;           // ComboBoxBike
  QPlainTextEdit* Note = nullptr;           // Memo1
  QAction* UndoAction = nullptr;            // MenuZpet
  QAction* RedoAction = nullptr;            // MenuZnovu
  std::array<QLineEdit*, 2> PressureVoltageEdits{};  // EditApsNapeti1, 2
};

// Object name of the sheet of `page` ("TabSheet_Bike"); empty outside 0..12.
std::string_view SheetName(int page);

// Builds the two rows above the pages into `central` (a vertical layout):
// the commands with the transfer status, then what is connected.
void BuildTopArea(QWidget* central, WindowControls& controls);
// Builds the tab control with every page into `central`, and moves the live
// gauges above it.
void BuildPages(QWidget* central, WindowControls& controls);
// Looks up the field, monitor and highlight controls and the named switches
// below `window`, once, after everything is built.
void LookUpControls(QWidget* window, WindowControls& controls);

}  // namespace velmor::ui

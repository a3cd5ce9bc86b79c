// The contents of the editor pages, the map editor and the monitor page.
//
// The window creates the thirteen tab sheets and names them; the functions
// here fill them with named controls. Nothing is wired: the window finds the
// controls by object name and connects them itself. Field pairs, check boxes
// and radio groups are made from the core's field table, so their names,
// ranges and steps are the table's; the builders only decide where each goes.
//
// Controls that repeat in rows and columns (the map editor and the table
// grids) sit at fixed positions inside their group boxes, because the view
// refresh moves and hides them by position; everything else is laid out with
// Qt layouts and adapts to the language's texts.
#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

namespace velmor::ui {

// ---------------------------------------------------------------------------
// Pages

// Fills `sheet` (an empty widget the window has named, e.g. TabSheet_Bike)
// with the controls of `page`: 0 and 4..12. The map pages 1..3 share the map
// editor (BuildMapPanel); any other index leaves the sheet empty.
void BuildPage(int page, QWidget* sheet);

// Object name of the live-gauge strip the monitor page starts with: engine
// speed, throttle, lambda (with its three colour labels) and coolant, each a
// label over a bar gauge, and CheckBoxExtMonitor. The strip keeps its inner
// geometry wherever it is put, so the window may re-parent it above the pages
// to show the gauges on every page.
inline constexpr const char* kLiveGaugesName = "PanelLiveGauges";

// ---------------------------------------------------------------------------
// Names of controls built here that the field table does not name

// The nine temperature row labels of the sensor table and the idle tables:
// "-10 °C", "  5 °C" .. "110 °C".
QString TemperatureRowText(int row);

// Row label of a run-time grid: "Label" + grid stem + "Row" + row, e.g.
// LabelCidloTVodaVzduchRow0, LabelIdleServoPozRow8.
QString GridRowLabelName(std::string_view groupBoxName, int row);

}  // namespace velmor::ui

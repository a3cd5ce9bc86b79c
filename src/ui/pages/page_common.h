// Helpers the page builders share: texts of named controls, the controls of
// one field, form rows and the fixed geometry of the run-time grids.
#pragma once

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <string_view>

#include "model/fields.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui::detail {

// The English text the language tables give a control's caption, or
// `fallback` when they give none.
QString EnglishCaption(std::string_view name, const QString& fallback);

// The field a control edits on a page, or null (the builders skip names the
// table does not have rather than invent ranges).
const FieldDef* Field(int page, std::string_view controlName);

// "UpDownFan1" -> "Fan1".
QString FieldStem(const FieldDef& field);
// The caption label of a field pair: "Label" + stem, except where the
// language tables name it otherwise (LabelMaxAcc for UpDownLadeniMaxAcc).
QString FieldLabelName(const FieldDef& field);
// Its English text: the language table's, else the field table's caption.
QString FieldLabelText(const FieldDef& field);

QGroupBox* MakeGroup(const char* name, const QString& fallbackTitle, QWidget* parent);
QLabel* MakeNamedLabel(const QString& name, const QString& fallbackText, QWidget* parent);

// The control of a declared field: a field pair (container of edit and
// spinner), a check box, a radio group with the table's items, the model list
// or the note memo.
QWidget* MakeFieldControl(const FieldDef& field, QWidget* parent, int editWidth = 48);

// Rows of "caption label | control" in a grid layout. Pairs take their
// label from FieldLabelName/FieldLabelText.
// A borderless widget holding the named fields as rows (for stacking in a
// page's column beside group boxes).
QWidget* RowsWidget(int page, QWidget* sheet, std::initializer_list<std::string_view> fields);

class FormRows {
 public:
  FormRows(int page, QWidget* container, int editWidth = 48);
  // The named fields, one row each, in the given order.
  void Add(std::initializer_list<std::string_view> controlNames);
  void AddField(const FieldDef& field);
  // A widget across both columns.
  void AddWide(QWidget* widget);
  // A widget in the control column with an optional label.
  void AddRow(QLabel* label, QWidget* widget);
  QGridLayout* Layout() const { return grid_; }
  // Rows added so far; the last added row is Rows() - 1.
  int Rows() const { return row_; }
  int Page() const { return page_; }

 private:
  int page_;
  QWidget* container_;
  QGridLayout* grid_;
  int editWidth_;
  int row_ = 0;
};

// Every grid field of `page` (FieldGrid other than the map editor's) placed at
// its fixed position inside its group box, which the page must have created,
// with the labels that grid's positions are taken from.
void PlaceGridFields(int page, QWidget* sheet);

// Row labels of a grid at `left`, one per row top; named by GridRowLabelName.
void AddGridRowLabels(QGroupBox* group, int count, int left, int width,
                      int (*top)(int row), QString (*text)(int row));

// Gives an absolutely laid out group box the size of its contents plus a
// margin, and no less than `minWidth`.
void FitGroup(QGroupBox* group, int minWidth = 0);

// The sheet's top-level layout: a new horizontal one, or (when the window
// gave the sheet a layout already) one on a new widget inside it.
QBoxLayout* SheetLayout(QWidget* sheet);

// Puts every declared field of `page` that no builder placed (a row added to
// the table later) into a box at the end of `layout`, so it still shows.
void PlaceRemainingFields(int page, QWidget* sheet, QBoxLayout* layout);

// A live-monitor label (one of VELMOR_MONITOR_LABELS) with its placeholder
// text, for the pages that show one beside their settings.
QLabel* MakeMonitorLabel(const char* name, QWidget* parent);

// The page builders.
void BuildBikePage(QWidget* sheet);
void BuildPositionPage(QWidget* sheet);
void BuildCorrectionsPage(QWidget* sheet);
void BuildSensorsPage(QWidget* sheet);
void BuildIdlePage(QWidget* sheet);
void BuildGasPage(QWidget* sheet);
void BuildGearPage(QWidget* sheet);
void BuildRacePage(QWidget* sheet);
void BuildTuningPage(QWidget* sheet);
void BuildMonitorPage(QWidget* sheet);

}  // namespace velmor::ui::detail

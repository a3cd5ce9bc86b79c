// Blocks of cells in the map editor: selecting them with the mouse and the
// keyboard, the block edits from a context menu and from keys, copy and
// paste as tab-separated text, and the heat colours of the cells.
//
// The window keeps its own handling of the cells (a commit on Enter, click
// and focus-out); this object filters the cells' events first and takes only
// what belongs to blocks: arrows, block keys, the context menu, a number
// typed and Enter while several cells are selected.
#pragma once

#include <QObject>
#include <QPointer>
#include <QColor>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "editor/map_edit.h"
#include "editor/tools.h"
#include "lang/catalog.h"
#include "ui/map/map_panel.h"

class QMenu;
class QWidget;

namespace velmor::ui {

class SelectionFrame;

class MapSelection : public QObject {
  Q_OBJECT
 public:
  // What the window lends: its state and its common step after a change.
  struct Hooks {
    std::function<int()> Page;                     // the page shown
    std::function<ParameterImage&()> Image;
    std::function<DerivedTables&()> Tables;
    std::function<bool()> CanEdit;                 // no transfer from the unit under way
    std::function<void()> CommitTyping;            // a typed, uncommitted value first
    // Runs a change of the image as one edit through the document's gate;
    // true when it was applied.
    std::function<bool(const std::function<bool()>&)> Change;
    std::function<bool(int cell)> CellLit;         // the operating point lights the cell
    std::function<LanguageCode()> Language;
    std::function<void(const QString&)> Message;   // a message box
  };

  MapSelection(const MapPanelWidgets& map, Hooks hooks, QObject* parent);
  ~MapSelection() override;

  // The cells edited: the selected block, or the cell with the cursor.
  CellBlock Block() const;
  // More than one cell is selected.
  bool HasBlock() const { return Block().Cells() > 1; }
  // Selects a block of the page shown, as a drag from corner to corner would.
  void SelectBlock(const CellBlock& block);
  void ClearBlock();

  // A number asked of the user (Set, Add, Scale); empty when cancelled.
  // Tests replace it.
  std::function<std::optional<double>(const QString& label, double value, double min, double max, int decimals)>
      AskNumber;

  // The edits; false when nothing changed.
  bool Apply(const MapEdit& edit);
  void Copy();
  void Paste();

  bool HeatColours() const { return heat_; }
  void SetHeatColours(bool on);

  // Hooks of the window: F4/F5 on a selected block (false without one: the
  // lit cell is stepped as before); a map page was refreshed; the operating
  // point left a cell (true when the cell took its heat colour back).
  bool StepSelection(StepDirection dir);
  void MapRefreshed();
  bool RestoreCellColour(QWidget* cell);

  // The context menu for the block (built in the current language).
  QMenu* BuildMenu(QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int CellOf(const QObject* o) const;
  int CellAt(const QPoint& panelPos) const;
  bool Usable(int cell) const;
  void Select(int anchor, int extent);
  void MoveCursor(int dRow, int dColumn, bool extend);
  void UpdateFrame();
  bool KeyPressed(int cell, class QKeyEvent* key);
  bool ApplyTo(const CellBlock& block, const MapEdit& edit);
  bool AskAndApply(MapOperation op);
  void ApplyHeat(bool force);
  void PaintHeat(int cell, const QColor& colour);
  QString Text(int text) const;

  MapPanelWidgets map_;
  Hooks hooks_;
  SelectionFrame* frame_ = nullptr;
  int anchor_ = -1;  // the cell a block starts from
  int extent_ = -1;  // the opposite corner
  int page_ = -1;    // the page the block was made on
  bool dragging_ = false;
  bool heat_ = true;
  std::array<QRgb, kMapCells> heatShown_{};  // colour each cell has, 0 for none
  int heatLo_ = 0;  // the map's range at the last refresh
  int heatHi_ = 0;
};

}  // namespace velmor::ui

#include "ui/map/map_selection.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <cmath>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>

#include "editor/map_clipboard.h"
#include "lang/map_edit_texts.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

// Draws the selected block as a frame over the cells, so that whatever
// colour a cell has (the lime operating point, its heat colour) shows
// through. It takes no mouse events.
class SelectionFrame : public QWidget {
 public:
  explicit SelectionFrame(QWidget* panel) : QWidget(panel) {
    setObjectName("MapSelectionFrame");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
  }
  void SetCells(const QRect& outer, std::vector<QRect> cells) {
    outer_ = outer;
    cells_ = std::move(cells);
    update();
  }
  QRect Outer() const { return outer_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (outer_.isNull()) return;
    QPainter p(this);
    const QColor blue(20, 60, 200);
    p.setPen(QPen(QColor(20, 60, 200, 110), 1));
    for (const QRect& r : cells_) p.drawRect(r.adjusted(1, 1, -2, -2));
    p.setPen(QPen(blue, 2));
    p.drawRect(outer_.adjusted(-2, -2, 1, 1));
  }

 private:
  QRect outer_;
  std::vector<QRect> cells_;
};

namespace {

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Pale blue for the lowest values through white to pale red for the highest:
// no green on the scale, so the lime operating point stands out on any map,
// and a flat map stays white.
QColor HeatColour(int value, int lo, int hi) {
  const double t = hi > lo ? static_cast<double>(value - lo) / (hi - lo) : 0.5;
  const int saturation = static_cast<int>(120 * std::abs(2 * t - 1) + 0.5);
  return QColor::fromHsv(t < 0.5 ? 215 : 5, saturation, 255);
}

}  // namespace

MapSelection::MapSelection(const MapPanelWidgets& map, Hooks hooks, QObject* parent)
    : QObject(parent), map_(map), hooks_(std::move(hooks)) {
  setObjectName("MapSelection");
  frame_ = new SelectionFrame(map_.Panel);
  frame_->setGeometry(map_.Panel->rect());
  map_.Panel->installEventFilter(this);
  for (QLineEdit* e : map_.CellEdit) e->installEventFilter(this);
  AskNumber = [this](const QString& label, double value, double min, double max, int decimals) -> std::optional<double> {
    bool ok = false;
    const double v = QInputDialog::getDouble(map_.Panel->window(), map_.Panel->window()->windowTitle(), label, value,
                                             min, max, decimals, &ok);
    if (!ok) return std::nullopt;
    return v;
  };
}

MapSelection::~MapSelection() = default;

QString MapSelection::Text(int text) const {
  return FromView(MapEditCaption(static_cast<MapEditText>(text), hooks_.Language()));
}

int MapSelection::CellOf(const QObject* o) const {
  for (int k = 0; k < kMapCells; ++k) {
    if (map_.CellEdit[k] == o) return k;
  }
  return -1;
}

bool MapSelection::Usable(int k) const {
  return k >= 0 && k < kMapCells && map_.CellEdit[k]->isVisibleTo(map_.Panel);
}

int MapSelection::CellAt(const QPoint& pos) const {
  // The nearest shown cell, so that a drag over the gaps between cells and
  // past the map's edge keeps the last row or column.
  int best = -1;
  int bestDistance = 0;
  for (int k = 0; k < kMapCells; ++k) {
    if (!Usable(k)) continue;
    const QRect g = map_.CellEdit[k]->geometry();
    const int dx = pos.x() < g.left() ? g.left() - pos.x() : pos.x() > g.right() ? pos.x() - g.right() : 0;
    const int dy = pos.y() < g.top() ? g.top() - pos.y() : pos.y() > g.bottom() ? pos.y() - g.bottom() : 0;
    const int d = dx * dx + dy * dy;
    if (best < 0 || d < bestDistance) {
      best = k;
      bestDistance = d;
    }
  }
  return best;
}

CellBlock MapSelection::Block() const {
  const int page = hooks_.Page();
  if (anchor_ >= 0 && extent_ >= 0 && page == page_) {
    return CellBlock::Spanning(anchor_ / kMapColumns, anchor_ % kMapColumns, extent_ / kMapColumns,
                               extent_ % kMapColumns);
  }
  const int k = CellOf(QApplication::focusWidget());
  if (k >= 0) return {k / kMapColumns, k % kMapColumns, k / kMapColumns, k % kMapColumns};
  return {0, 0, 0, 0};
}

void MapSelection::SelectBlock(const CellBlock& b) {
  Select(MapCell(b.Top, b.Left), MapCell(b.Bottom, b.Right));
}

void MapSelection::ClearBlock() {
  extent_ = anchor_;  // back to the cursor cell
  UpdateFrame();
}

void MapSelection::Select(int anchor, int extent) {
  anchor_ = anchor;
  extent_ = extent;
  page_ = hooks_.Page();
  UpdateFrame();
}

void MapSelection::UpdateFrame() {
  if (!HasBlock()) {
    frame_->SetCells({}, {});
    return;
  }
  const CellBlock b = Block();
  QRect outer;
  std::vector<QRect> cells;
  for (int r = b.Top; r <= b.Bottom; ++r) {
    for (int c = b.Left; c <= b.Right; ++c) {
      const int k = MapCell(r, c);
      if (!Usable(k)) continue;
      cells.push_back(map_.CellEdit[k]->geometry());
      outer = outer.united(cells.back());
    }
  }
  frame_->setGeometry(map_.Panel->rect());
  frame_->raise();
  frame_->show();
  frame_->SetCells(outer, std::move(cells));
}

void MapSelection::MoveCursor(int dRow, int dColumn, bool extend) {
  const int from = extend && extent_ >= 0 && page_ == hooks_.Page() ? extent_ : CellOf(QApplication::focusWidget());
  if (from < 0) return;
  int r = from / kMapColumns;
  int c = from % kMapColumns;
  // Skip cells the map view hides (the single row of a map without TPS).
  do {
    r += dRow;
    c += dColumn;
  } while (r >= 0 && r < kMapRows && c >= 0 && c < kMapColumns && !Usable(MapCell(r, c)));
  if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns) return;
  const int to = MapCell(r, c);
  if (extend) {
    Select(anchor_ >= 0 && page_ == hooks_.Page() ? anchor_ : from, to);
  } else {
    Select(to, to);
    map_.CellEdit[to]->setFocus(Qt::OtherFocusReason);
    map_.CellEdit[to]->selectAll();
  }
}

bool MapSelection::Apply(const MapEdit& edit) { return ApplyTo(Block(), edit); }

bool MapSelection::ApplyTo(const CellBlock& block, const MapEdit& edit) {
  const int page = hooks_.Page();
  if (!IsMapPage(page) || !hooks_.CanEdit()) return false;
  if (!MapEditable(hooks_.Image(), page)) {
    hooks_.Message(Text(static_cast<int>(MapEditText::MapFollowsMap1)));
    return false;
  }
  hooks_.CommitTyping();
  return hooks_.Change(
      [&] { return ApplyMapEdit(hooks_.Image(), hooks_.Tables(), page, block, edit) == MapWriteResult::Changed; });
}

bool MapSelection::StepSelection(StepDirection dir) {
  if (!IsMapPage(hooks_.Page()) || !HasBlock()) return false;
  Apply({MapOperation::Add, dir == StepDirection::Up ? 1 : -1});
  return true;
}

bool MapSelection::AskAndApply(MapOperation op) {
  const CellLimits limits = MapCellLimits(hooks_.Page());
  // The block as it is now: the question takes the focus from the cell.
  const CellBlock block = Block();
  std::optional<double> v;
  switch (op) {
    case MapOperation::Set:
      v = AskNumber(Text(static_cast<int>(MapEditText::AskSetValue)),
                    map_.CellSpin[MapCell(block.Top, block.Left)]->Position(), limits.Min, limits.Max, 0);
      break;
    case MapOperation::Add:
      v = AskNumber(Text(static_cast<int>(MapEditText::AskAddValue)), 0, -limits.Max, limits.Max, 0);
      break;
    case MapOperation::Scale:
      v = AskNumber(Text(static_cast<int>(MapEditText::AskScalePercent)), 100, 0, 10000, 2);
      break;
    default:
      return ApplyTo(block, {op, 0});
  }
  if (!v) return false;
  const double scaled = op == MapOperation::Scale ? *v * 100 : *v;
  return ApplyTo(block, {op, static_cast<std::int32_t>(std::floor(scaled + 0.5))});
}

void MapSelection::Copy() {
  const int page = hooks_.Page();
  if (!IsMapPage(page)) return;
  Map150 shown{};
  for (int k = 0; k < kMapCells; ++k) shown[k] = static_cast<std::uint16_t>(std::max<int>(map_.CellSpin[k]->Position(), 0));
  const std::string text = CellsToText(shown, MapAxisOf(hooks_.Image(), page), Block());
  QApplication::clipboard()->setText(QString::fromStdString(text));
}

void MapSelection::Paste() {
  const int page = hooks_.Page();
  if (!IsMapPage(page) || !hooks_.CanEdit()) return;
  if (!MapEditable(hooks_.Image(), page)) {
    hooks_.Message(Text(static_cast<int>(MapEditText::MapFollowsMap1)));
    return;
  }
  const QByteArray text = QApplication::clipboard()->text().toUtf8();
  const PastedCells pasted = TextToCells(std::string_view(text.constData(), text.size()));
  if (!pasted.Ok) {
    const MapEditText why = pasted.Ambiguous ? MapEditText::PasteAmbiguous : MapEditText::PasteNotNumbers;
    hooks_.Message(Text(static_cast<int>(why)).arg(QString::fromStdString(pasted.BadField)));
    return;
  }
  const CellBlock block = Block();
  hooks_.CommitTyping();
  const Map150 values = MapValues(hooks_.Image(), hooks_.Tables(), page);
  const PastePlacement placed = PlaceCells(values, pasted, block, MapCellLimits(page));
  hooks_.Change(
      [&] { return WriteMapValues(hooks_.Image(), hooks_.Tables(), page, placed.Values) == MapWriteResult::Changed; });
  if (placed.Rows > 0 && placed.Columns > 0) {
    Select(MapCell(block.Top, block.Left), MapCell(block.Top + placed.Rows - 1, block.Left + placed.Columns - 1));
  }
  if (placed.CutOff) {
    hooks_.Message(Counted(Text(static_cast<int>(MapEditText::PasteCutOff)), hooks_.Language(),
                           static_cast<long long>(placed.Rows) * placed.Columns)
                       .arg(placed.Rows)
                       .arg(placed.Columns));
  }
}

QMenu* MapSelection::BuildMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setObjectName("MapSelectionMenu");
  const auto item = [&](MapEditText text, const QKeySequence& keys, std::function<void()> run) {
    QAction* a = menu->addAction(Text(static_cast<int>(text)));
    a->setObjectName(QString("MapEdit%1").arg(static_cast<int>(text)));
    if (!keys.isEmpty()) {
      a->setShortcut(keys);
      a->setShortcutContext(Qt::WidgetShortcut);  // shown; the cells take the keys themselves
    }
    connect(a, &QAction::triggered, this, std::move(run));
    return a;
  };
  item(MapEditText::MenuSet, QKeySequence(Qt::Key_Return), [this] { AskAndApply(MapOperation::Set); });
  item(MapEditText::MenuAdd, {}, [this] { AskAndApply(MapOperation::Add); });
  item(MapEditText::MenuStepUp, QKeySequence(Qt::Key_Plus), [this] { Apply({MapOperation::Add, 1}); });
  item(MapEditText::MenuStepDown, QKeySequence(Qt::Key_Minus), [this] { Apply({MapOperation::Add, -1}); });
  item(MapEditText::MenuScale, QKeySequence(Qt::Key_Asterisk), [this] { AskAndApply(MapOperation::Scale); });
  menu->addSeparator();
  item(MapEditText::MenuInterpolateRows, QKeySequence(Qt::Key_H), [this] { Apply({MapOperation::InterpolateRows}); });
  item(MapEditText::MenuInterpolateColumns, QKeySequence(Qt::Key_V),
       [this] { Apply({MapOperation::InterpolateColumns}); });
  item(MapEditText::MenuInterpolateBoth, QKeySequence(Qt::Key_B), [this] { Apply({MapOperation::InterpolateBoth}); });
  item(MapEditText::MenuSmooth, QKeySequence(Qt::Key_S), [this] { Apply({MapOperation::Smooth}); });
  menu->addSeparator();
  item(MapEditText::MenuCopy, QKeySequence::Copy, [this] { Copy(); });
  item(MapEditText::MenuPaste, QKeySequence::Paste, [this] { Paste(); });
  menu->addSeparator();
  QAction* heat = item(MapEditText::MenuHeatColours, {}, [] {});
  heat->setCheckable(true);
  heat->setChecked(heat_);
  connect(heat, &QAction::toggled, this, &MapSelection::SetHeatColours);
  const bool editable = IsMapPage(hooks_.Page()) && MapEditable(hooks_.Image(), hooks_.Page());
  for (QAction* a : menu->actions()) {
    if (a != heat && !a->isSeparator() && a->objectName() != QString("MapEdit%1").arg(static_cast<int>(MapEditText::MenuCopy))) {
      a->setEnabled(editable);
    }
  }
  return menu;
}

bool MapSelection::KeyPressed(int cell, QKeyEvent* key) {
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const bool shift = mods == Qt::ShiftModifier;
  const bool plain = mods == Qt::NoModifier || shift;
  if (key->matches(QKeySequence::Copy)) {
    Copy();
    return true;
  }
  if (key->matches(QKeySequence::Paste)) {
    Paste();
    return true;
  }
  switch (key->key()) {
    case Qt::Key_Up: MoveCursor(-1, 0, shift); return true;
    case Qt::Key_Down: MoveCursor(1, 0, shift); return true;
    case Qt::Key_Left: MoveCursor(0, -1, shift); return true;
    case Qt::Key_Right: MoveCursor(0, 1, shift); return true;
    case Qt::Key_Escape:
      if (!HasBlock()) return false;
      ClearBlock();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // A number typed into a cell of a selected block sets the block; a
      // single cell commits as every edit box does. A number outside the
      // map's range is refused either way, and the message names the range.
      QLineEdit* e = map_.CellEdit[cell];
      if (!e->isModified()) return false;
      bool ok = false;
      const double v = QLocale().toDouble(e->text().trimmed(), &ok);
      const double c = ok ? v : e->text().trimmed().toDouble(&ok);
      const CellLimits limits = MapCellLimits(hooks_.Page());
      const double typed = std::floor(c + 0.5);
      if (ok && (typed < limits.Min || typed > limits.Max)) {
        hooks_.Message(Text(static_cast<int>(MapEditText::OutOfRange))
                           .arg(QString::number(typed, 'f', 0))
                           .arg(limits.Min)
                           .arg(limits.Max));
        if (!HasBlock()) return false;  // the cell's own commit puts its value back
        e->setText(QString::number(map_.CellSpin[cell]->Position()));
        e->setModified(false);
        return true;
      }
      if (!HasBlock()) return false;
      e->setModified(false);
      if (ok) Apply({MapOperation::Set, static_cast<std::int32_t>(typed)});
      return true;
    }
    default:
      break;
  }
  if (!plain) return false;
  const QString t = key->text();
  // The first digit typed over a block starts a fresh value: the corner
  // cell's text is replaced, not added to ("36" and "30" must not become
  // "3630").
  if (HasBlock() && t.size() == 1 && (t[0].isDigit() || t == QLocale().decimalPoint()) &&
      !map_.CellEdit[cell]->isModified()) {
    map_.CellEdit[cell]->clear();
    return false;
  }
  if (t == "+" || t == "-") {
    Apply({MapOperation::Add, t == "+" ? 1 : -1});
    return true;
  }
  if (t == "*") {
    AskAndApply(MapOperation::Scale);
    return true;
  }
  switch (key->key()) {
    case Qt::Key_H: Apply({MapOperation::InterpolateRows}); return true;
    case Qt::Key_V: Apply({MapOperation::InterpolateColumns}); return true;
    case Qt::Key_B: Apply({MapOperation::InterpolateBoth}); return true;
    case Qt::Key_S: Apply({MapOperation::Smooth}); return true;
    default: return false;
  }
}

bool MapSelection::eventFilter(QObject* watched, QEvent* event) {
  if (watched == map_.Panel) {
    if (event->type() == QEvent::Resize) frame_->setGeometry(map_.Panel->rect());
    return false;
  }
  const int cell = CellOf(watched);
  if (cell < 0) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(event);
      if (m->button() != Qt::LeftButton) break;
      if (m->modifiers() & Qt::ShiftModifier) {
        // The click has already moved the focus: the block starts at the
        // cursor cell kept before it.
        Select(anchor_ >= 0 && page_ == hooks_.Page() ? anchor_ : cell, cell);
      } else {
        Select(cell, cell);
        dragging_ = true;
      }
      break;  // the cell takes the focus and the window commits as before
    }
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(event);
      if (!dragging_ || !(m->buttons() & Qt::LeftButton)) break;
      const int to = CellAt(map_.Panel->mapFromGlobal(m->globalPosition().toPoint()));
      if (to < 0) break;
      if (to != extent_) Select(anchor_, to);
      if (to != cell) return true;  // no text selection across cells
      break;
    }
    case QEvent::MouseButtonRelease:
      dragging_ = false;
      break;
    case QEvent::FocusIn: {
      const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
      if (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason) Select(cell, cell);
      break;
    }
    case QEvent::ContextMenu: {
      // The menu takes the focus: the block must not depend on it.
      if (!HasBlock() || !Block().Contains(cell / kMapColumns, cell % kMapColumns)) {
        map_.CellEdit[cell]->setFocus(Qt::MouseFocusReason);
        Select(cell, cell);
      }
      QMenu* menu = BuildMenu(map_.CellEdit[cell]);
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    case QEvent::ShortcutOverride: {
      // Keys the cells take for blocks come before any menu shortcut.
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
        event->accept();
        return true;
      }
      break;
    }
    case QEvent::KeyPress:
      return KeyPressed(cell, static_cast<QKeyEvent*>(event));
    default:
      break;
  }
  return false;
}

void MapSelection::SetHeatColours(bool on) {
  if (heat_ == on) return;
  heat_ = on;
  ApplyHeat(true);
}

void MapSelection::MapRefreshed() {
  if (page_ != hooks_.Page()) anchor_ = extent_ = -1;
  ApplyHeat(false);
  UpdateFrame();
}

bool MapSelection::RestoreCellColour(QWidget* cell) {
  const int k = CellOf(cell);
  if (k < 0 || !heat_ || !IsMapPage(hooks_.Page())) return false;
  // Over the range of the last refresh: the values have not changed since.
  PaintHeat(k, HeatColour(map_.CellSpin[k]->Position(), heatLo_, heatHi_));
  return true;
}

void MapSelection::PaintHeat(int k, const QColor& c) {
  QLineEdit* e = map_.CellEdit[k];
  QPalette pal = e->palette();
  pal.setColor(QPalette::Base, c);
  pal.setColor(QPalette::Text, Qt::black);
  e->setPalette(pal);
  e->setAutoFillBackground(true);
  heatShown_[k] = c.rgb();
}

void MapSelection::ApplyHeat(bool force) {
  if (!IsMapPage(hooks_.Page())) return;
  int lo = INT_MAX, hi = INT_MIN;
  for (int k = 0; k < kMapCells; ++k) {
    if (!Usable(k)) continue;
    lo = std::min<int>(lo, map_.CellSpin[k]->Position());
    hi = std::max<int>(hi, map_.CellSpin[k]->Position());
  }
  heatLo_ = lo;
  heatHi_ = hi;
  for (int k = 0; k < kMapCells; ++k) {
    QLineEdit* e = map_.CellEdit[k];
    if (hooks_.CellLit(k)) {
      heatShown_[k] = 0;  // lime now; coloured again when the light moves on
      continue;
    }
    if (!heat_) {
      if (force || heatShown_[k] != 0) SetBackground(e, Colour::Window);
      heatShown_[k] = 0;
      continue;
    }
    if (!Usable(k)) continue;
    const QColor c = HeatColour(map_.CellSpin[k]->Position(), lo, hi);
    if (!force && heatShown_[k] == c.rgb()) continue;
    PaintHeat(k, c);
  }
}

}  // namespace velmor::ui

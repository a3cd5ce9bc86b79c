// Blocks of map cells in the window, driven by real mouse and key events,
// offscreen: selecting by drag, Shift+click and Shift+arrows, the block
// edits from their keys and the context menu, F5 on a block, copy and paste
// through the clipboard, and the heat colours beside the lit operating point.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include "editor/names.h"
#include "editor/undo.h"
#include "ui/window/form_hlav.h"
#include "ui/map/map_selection.h"
#include "ui/widgets/widgets.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

// The bytes of the cells of `block` in the map of `page`; with `follower`,
// also those of map 2, which follows map 1 while the maps are coupled or
// equal (the window's defaults make them equal).
std::vector<int> BlockBytes(int page, const CellBlock& block, bool follower = true) {
  std::vector<int> bytes;
  if (page == PageInj1 && follower) bytes = BlockBytes(PageInj2, block, false);
  for (int k = 0; k < kMapCells; ++k) {
    if (!block.Contains(k / kMapColumns, k % kMapColumns)) continue;
    if (page == PageAdvance) {
      bytes.push_back(kAdvanceMap + k);
    } else {
      const int map = page == PageInj1 ? kInj1Map : kInj2Map;
      bytes.push_back(map + 2 * k);
      bytes.push_back(map + 2 * k + 1);
    }
  }
  std::sort(bytes.begin(), bytes.end());
  return bytes;
}

// Whether every byte in `changed` is one of `allowed`.
bool Within(const std::vector<int>& changed, const std::vector<int>& allowed) {
  return std::all_of(changed.begin(), changed.end(),
                     [&](int n) { return std::binary_search(allowed.begin(), allowed.end(), n); });
}

}  // namespace

class WindowMapEditTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowMapEditTest() : WindowFixture({.answer = QMessageBox::No}) {}

 private:
  // An active window showing `page`.
  std::unique_ptr<TFormHlav> Make(int page) {
    auto w = WindowFixture::Make();
    ClickTab(w->findChild<QTabWidget*>("PageControl1"), page);
    return w;
  }
  static QLineEdit* Cell(TFormHlav& w, int row, int column) {
    return w.findChild<QLineEdit*>(N(EditorNames::MapCellEdit(MapCell(row, column))));
  }
  static MapSelection* Selection(TFormHlav& w) { return w.findChild<MapSelection*>("MapSelection"); }
  static int Shown(TFormHlav& w, int row, int column) { return Cell(w, row, column)->text().toInt(); }

  // A drag with the left button from one cell to another.
  static void Drag(TFormHlav& w, int r0, int c0, int r1, int c1) {
    QLineEdit* from = Cell(w, r0, c0);
    QLineEdit* to = Cell(w, r1, c1);
    QTest::mousePress(from, Qt::LeftButton, {}, QPoint(5, 5));
    const QPoint over = from->mapFromGlobal(to->mapToGlobal(QPoint(to->width() / 2, to->height() / 2)));
    QTest::mouseMove(from, over);
    QTest::mouseRelease(from, Qt::LeftButton, {}, over);
  }

  static void Key(TFormHlav& w, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, key, mods);
  }

 private slots:
  void init() { Reset(); }

  void DragSelectsABlockAndAKeyEditsOnlyItInOneUndoStep_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("advance") << int(PageAdvance);
    QTest::newRow("injection 1") << int(PageInj1);
  }
  void DragSelectsABlockAndAKeyEditsOnlyItInOneUndoStep() {
    QFETCH(int, page);
    auto w = Make(page);
    Drag(*w, 4, 6, 2, 3);
    const CellBlock block{2, 3, 4, 6};
    QCOMPARE(Selection(*w)->Block(), block);
    const ParameterImage before = w->Image();
    const int undos = UndoDepth(w->Undo());
    const int shown = Shown(*w, 3, 4);

    Key(*w, Qt::Key_Plus);
    QCOMPARE(UndoDepth(w->Undo()), undos + 1);
    QCOMPARE(Shown(*w, 3, 4), shown + 1);
    const std::vector<int> changed = Differences(before, w->Image());
    QVERIFY(!changed.empty());
    QVERIFY(Within(changed, BlockBytes(page, block)));

    // Smoothing after interpolation: the keys in turn, each one step.
    Key(*w, Qt::Key_H);
    Key(*w, Qt::Key_S);
    QVERIFY(Within(Differences(before, w->Image()), BlockBytes(page, block)));
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QCOMPARE(w->Image(), before);
  }

  void ShiftArrowsAndShiftClickGrowTheBlockArrowsMove() {
    auto w = Make(PageAdvance);
    QTest::mouseClick(Cell(*w, 5, 5), Qt::LeftButton);
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
    Key(*w, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(Selection(*w)->Block(), (CellBlock{5, 5, 6, 7}));
    QVERIFY(Selection(*w)->HasBlock());
    QCOMPARE(QApplication::focusWidget(), Cell(*w, 5, 5));

    Key(*w, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), Cell(*w, 6, 5));
    QVERIFY(!Selection(*w)->HasBlock());
    Key(*w, Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), Cell(*w, 6, 4));

    QTest::mouseClick(Cell(*w, 8, 8), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(Selection(*w)->Block(), (CellBlock{6, 4, 8, 8}));
    Key(*w, Qt::Key_Escape);
    QVERIFY(!Selection(*w)->HasBlock());
  }

  void ANumberAndEnterSetTheBlockAndStillCommitOneCell() {
    auto w = Make(PageAdvance);
    const ParameterImage before = w->Image();
    Drag(*w, 1, 1, 2, 2);
    QLineEdit* cell = Cell(*w, 1, 1);
    QCOMPARE(QApplication::focusWidget(), cell);
    cell->selectAll();
    QTest::keyClicks(cell, "42");
    QTest::keyClick(cell, Qt::Key_Return);
    for (int r = 1; r <= 2; ++r) {
      for (int c = 1; c <= 2; ++c) QCOMPARE(int(w->Image().P(kAdvanceMap + MapCell(r, c))), 42);
    }
    QVERIFY(Within(Differences(before, w->Image()), BlockBytes(PageAdvance, {1, 1, 2, 2})));

    // Without a block, Enter commits the one cell as before.
    Key(*w, Qt::Key_Escape);
    QLineEdit* single = Cell(*w, 7, 7);
    QTest::mouseClick(single, Qt::LeftButton);
    single->selectAll();
    QTest::keyClicks(single, "17");
    QTest::keyClick(single, Qt::Key_Return);
    QCOMPARE(int(w->Image().P(kAdvanceMap + MapCell(7, 7))), 17);
    std::vector<int> allowed = BlockBytes(PageAdvance, {1, 1, 2, 2});
    allowed.push_back(kAdvanceMap + MapCell(7, 7));
    std::sort(allowed.begin(), allowed.end());
    QVERIFY(Within(Differences(before, w->Image()), allowed));
  }

  // Typing over a block starts a fresh value (the corner cell's "36" is
  // replaced, not "3036"), and a number outside the map's range is refused
  // for a block as for one cell, with the range in the message.
  void TypingOverABlockStartsAFreshValueAndOutOfRangeIsRefused() {
    auto w = Make(PageAdvance);
    const ParameterImage before = w->Image();
    Drag(*w, 4, 2, 5, 3);
    QTest::keyClicks(QApplication::focusWidget(), "30");
    Key(*w, Qt::Key_Return);
    for (int r = 4; r <= 5; ++r)
      for (int c = 2; c <= 3; ++c) QCOMPARE(int(w->Image().P(kAdvanceMap + MapCell(r, c))), 30);
    QVERIFY(messages_.isEmpty());

    // Shift+arrows, then a value above the top of 60°.
    Key(*w, Qt::Key_Escape);
    QTest::mouseClick(Cell(*w, 7, 7), Qt::LeftButton);
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
    Key(*w, Qt::Key_Down, Qt::ShiftModifier);
    const ParameterImage typed = w->Image();
    QTest::keyClicks(QApplication::focusWidget(), "75");
    Key(*w, Qt::Key_Return);
    QCOMPARE(w->Image(), typed);
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_[0], QString("75 is outside this map's range of 0 to 60. Nothing was changed."));
    QCOMPARE(Shown(*w, 8, 8), int(before.P(kAdvanceMap + MapCell(8, 8))));

    // One cell: refused the same way.
    Key(*w, Qt::Key_Escape);
    QLineEdit* single = Cell(*w, 2, 2);
    QTest::mouseClick(single, Qt::LeftButton);
    single->selectAll();
    QTest::keyClicks(single, "75");
    QTest::keyClick(single, Qt::Key_Return);
    QCOMPARE(w->Image(), typed);
    QCOMPARE(messages_.size(), 2);
  }

  void F5StepsTheBlockWhenThereIsOne() {
    auto w = Make(PageAdvance);
    // No engine: F5 without a block has no lit cell to step.
    ParameterImage before = w->Image();
    QTest::keyClick(w.get(), Qt::Key_F5);
    QCOMPARE(w->Image(), before);

    Drag(*w, 0, 0, 1, 14);
    QTest::keyClick(w.get(), Qt::Key_F5);
    const std::vector<int> changed = Differences(before, w->Image());
    QCOMPARE(int(changed.size()), 30);
    QVERIFY(Within(changed, BlockBytes(PageAdvance, {0, 0, 1, 14})));
    QTest::keyClick(w.get(), Qt::Key_F4);
    QCOMPARE(w->Image(), before);
  }

  void CopyAndPasteGoThroughTheClipboard() {
    auto w = Make(PageAdvance);
    Drag(*w, 2, 2, 3, 4);
    Key(*w, Qt::Key_C, Qt::ControlModifier);
    QString expected;
    for (int r = 2; r <= 3; ++r) {
      for (int c = 2; c <= 4; ++c) expected += QString::number(Shown(*w, r, c)) + (c == 4 ? "\n" : "\t");
    }
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // Pasted at another cell, the block lands with its corner there.
    QTest::mouseClick(Cell(*w, 6, 10), Qt::LeftButton);
    const ParameterImage before = w->Image();
    Key(*w, Qt::Key_V, Qt::ControlModifier);
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 3; ++c) QCOMPARE(Shown(*w, 6 + r, 10 + c), Shown(*w, 2 + r, 2 + c));
    }
    QVERIFY(Within(Differences(before, w->Image()), BlockBytes(PageAdvance, {6, 10, 7, 12})));
    QCOMPARE(Selection(*w)->Block(), (CellBlock{6, 10, 7, 12}));
    QVERIFY(messages_.isEmpty());

    // Text that is not numbers changes nothing and says so.
    const ParameterImage pasted = w->Image();
    QApplication::clipboard()->setText("12\tabc\n");
    Key(*w, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->Image(), pasted);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].contains("abc"), qPrintable(messages_[0]));

    // A block larger than the room left is cut off, with a message.
    Key(*w, Qt::Key_Escape);
    QTest::mouseClick(Cell(*w, 9, 13), Qt::LeftButton);
    QApplication::clipboard()->setText("1\t2\t3\n4\t5\t6\n");
    Key(*w, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Shown(*w, 9, 13), 1);
    QCOMPARE(Shown(*w, 9, 14), 2);
    QCOMPARE(messages_.size(), 2);
    QVERIFY2(messages_[1].contains("1 x 2"), qPrintable(messages_[1]));
  }

  void TheContextMenuShowsTheKeysAndRunsTheEdits() {
    auto w = Make(PageInj1);
    Drag(*w, 3, 3, 5, 6);
    QLineEdit* cell = Cell(*w, 4, 4);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), cell->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(cell, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList keys;
    QAction* smooth = nullptr;
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) keys << a->text() + "=" + a->shortcut().toString();
      if (a->text() == "Smooth") smooth = a;
    }
    for (const char* k : {"Interpolate horizontally=H", "Interpolate vertically=V", "Interpolate both ways=B",
                          "Smooth=S", "Increase by one step=+", "Decrease by one step=-", "Scale by percent...=*"}) {
      QVERIFY2(keys.contains(k), qPrintable(keys.join(", ")));
    }
    QVERIFY(smooth);
    // The right click inside the block keeps it.
    QCOMPARE(Selection(*w)->Block(), (CellBlock{3, 3, 5, 6}));
    w->ChangeTune([&] {  // a bump for the smoothing to take out
      w->Image().SetWord(kInj1Map + 2 * MapCell(4, 4), 9000);
      return true;
    });
    const ParameterImage bumped = w->Image();
    smooth->trigger();
    menu->close();
    QVERIFY(bumped != w->Image());
    QVERIFY(Within(Differences(bumped, w->Image()), BlockBytes(PageInj1, {3, 3, 5, 6})));

    // Scale asks for the percentage.
    Selection(*w)->AskNumber = [](const QString&, double, double, double, int) { return 110.0; };
    const int shown = Shown(*w, 3, 3);
    Key(*w, Qt::Key_Asterisk);
    QCOMPARE(Shown(*w, 3, 3), (shown * 110 + 50) / 100);
  }

  void HeatColoursLeaveTheOperatingPointLime() {
    auto w = Make(PageAdvance);
    // Lowest and highest cells of the map: blue and red ends of the scale.
    int lo = 0, hi = 0;
    for (int k = 0; k < kMapCells; ++k) {
      if (w->Image().P(kAdvanceMap + k) < w->Image().P(kAdvanceMap + lo)) lo = k;
      if (w->Image().P(kAdvanceMap + k) > w->Image().P(kAdvanceMap + hi)) hi = k;
    }
    const auto base = [&](int k) {
      return w->findChild<QLineEdit*>(N(EditorNames::MapCellEdit(k)))->palette().color(QPalette::Base);
    };
    QVERIFY(base(lo).blue() > base(lo).red());
    QVERIFY(base(hi).red() > base(hi).blue());
    QCOMPARE(w->findChild<QLineEdit*>(N(EditorNames::MapCellEdit(lo)))->palette().color(QPalette::Text),
             QColor(Qt::black));

    // The engine lights a cell inside a selected block: lime, under a frame.
    const int column = 6;
    Drag(*w, 4, 4, 6, 8);
    port_.Queue(MonitorFrame(w->Image().P(kAdvanceAxis + column) * 100, 30));
    w->Timer1Timer();
    const int lit = MapCell(5, column);
    QCOMPARE(base(lit), ToQColor(Colour::Lime));
    Key(*w, Qt::Key_Plus);
    QCOMPARE(base(lit), ToQColor(Colour::Lime));
    const QImage shot = w->grab().toImage();
    QLineEdit* litCell = Cell(*w, 5, column);
    const QPoint inside = litCell->mapTo(w.get(), QPoint(litCell->width() - 6, litCell->height() / 2));
    QCOMPARE(QColor(shot.pixel(inside * shot.devicePixelRatio())), ToQColor(Colour::Lime));

    // When the light moves on, the cell takes its heat colour back.
    port_.Queue(MonitorFrame(0, 30));
    w->Timer1Timer();
    QVERIFY(base(lit) != ToQColor(Colour::Lime));
    QVERIFY(base(lit) != QApplication::palette().color(QPalette::Base));

    // Switched off, the cells are plain again.
    Selection(*w)->SetHeatColours(false);
    QCOMPARE(base(lo), QApplication::palette().color(QPalette::Base));
    QCOMPARE(base(hi), QApplication::palette().color(QPalette::Base));

    // And they stay plain in the next session.
    w->close();
    w = Make(PageAdvance);
    QVERIFY(!Selection(*w)->HeatColours());
    QCOMPARE(base(hi), QApplication::palette().color(QPalette::Base));
  }
};

QTEST_MAIN(WindowMapEditTest)
#include "window_map_edit_test.moc"

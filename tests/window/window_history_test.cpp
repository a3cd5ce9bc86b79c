// The history list and the compare window, driven through their controls.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <ctime>
#include <memory>

#include "ui/history/compare_dialog.h"
#include "files/history.h"
#include "ui/window/form_hlav.h"
#include "ui/history/history_dialog.h"
#include "ui/history/history_keeper.h"
#include "model/normalise.h"
#include "ui/history/program_review_dialog.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using velmor::wtest::ScriptedPort;
using velmor::wtest::UnitWithMemory;

class WindowHistoryTest : public QObject, wtest::WindowFixture {
  Q_OBJECT

 public:
  WindowHistoryTest() : WindowFixture({.answer = QMessageBox::No}) {}

 private:

  // A history entry holding the window's image with `edit` applied.
  template <class F>
  std::string Keep(TFormHlav& w, std::time_t when, F edit) {
    ParameterImage image = w.Image();
    edit(image);
    PersistedSelection selection{};
    Normalise(image, selection);
    const HistoryWrite written = WriteHistoryEntry(HistoryDirectory(), image, {"", "", "Vmr07", "", ""},
                                                   HistoryKind::Read, when);
    if (!written.Status.Ok) qWarning("%s", written.Status.Reason.c_str());
    return written.Path;
  }

  template <class T>
  static T* Wait(QWidget& parent, const char* name) {
    T* found = nullptr;
    return QTest::qWaitFor([&] { return (found = parent.findChild<T*>(name)) != nullptr; }, 3000) ? found : nullptr;
  }

  // A kept entry differing from the window's image in three places (fan 1
  // on Bike, N2O on, advance cell (6, 3) raised by 4), compared through the
  // history's Compare button; null when a dialog did not come.
  CompareDialog* CompareWithThreeDifferences(TFormHlav& w, HistoryDialog*& history) {
    const ParameterImage original = w.Image();
    const int cell = kAdvanceMap + MapCell(6, 3);
    Keep(w, 1796913005, [&](ParameterImage& i) {
      i.P(35) = static_cast<std::uint8_t>(original.P(35) - 5);  // fan 1, Bike
      i.P(98) = 1;                                                // N2O on, another page
      i.P(cell) = static_cast<std::uint8_t>(original.P(cell) + 4);
    });
    w.findChild<QAction*>("MenuHistory")->trigger();
    history = Wait<HistoryDialog>(w, "HistoryDialog");
    if (history == nullptr) return nullptr;
    QTest::mouseClick(history->findChild<QPushButton*>("ButtonHistoryCompare"), Qt::LeftButton);
    return Wait<CompareDialog>(w, "CompareDialog");
  }

  // Block writes among the frames sent since `from`.
  std::vector<int> BlockWrites(std::size_t from = 0) const {
    std::vector<int> writes;
    for (std::size_t i = from; i < port_.sent.size(); ++i)
      if (port_.sent[i][0] < kBlockCount) writes.push_back(port_.sent[i][0]);
    return writes;
  }

  // A unit named Vmr07 holding the window's image with `edit` applied.
  template <class F>
  ParameterImage UnitImage(TFormHlav& w, F edit) {
    ParameterImage unit = w.Image();
    unit.I(0) = 'V', unit.I(1) = 'm', unit.I(2) = 'r', unit.I(3) = 7, unit.I(16) = 0;
    edit(unit);
    return unit;
  }

  static void Ticks(TFormHlav& w, int n) {
    for (int i = 0; i < n; ++i) w.Timer1Timer();
  }

  static void ClickRow(QTreeWidget* tree, QTreeWidgetItem* item) {
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }

 private slots:
  void init() {
    Reset();
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
  }
  void cleanup() { qunsetenv("VELMOR_DATA_DIR"); }

  void TheListShowsNewestFirstAndOpensTheChosenFile() {
    auto w = Make();
    const std::string older = Keep(*w, 1796913005, [](ParameterImage& i) { i.P(35) = 91; });
    const std::string newer = Keep(*w, 1796913065, [](ParameterImage& i) { i.P(35) = 92; });
    const int undoBefore = UndoDepth(w->Undo());

    w->findChild<QAction*>("MenuHistory")->trigger();
    auto* dialog = Wait<HistoryDialog>(*w, "HistoryDialog");
    QVERIFY(dialog);
    auto* tree = dialog->findChild<QTreeWidget*>("TreeHistory");
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(dialog->Entries()[0].Path, newer);
    QCOMPARE(tree->topLevelItem(0)->text(1), QString("read"));
    QCOMPARE(tree->topLevelItem(0)->text(2), QString("Vmr07"));

    ClickRow(tree, tree->topLevelItem(1));
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonHistoryOpen"), Qt::LeftButton);
    QCOMPARE(int(w->Image().P(35)), 91);
    QCOMPARE(w->CurrentFileName(), older);
    QCOMPARE(UndoDepth(w->Undo()), undoBefore + 1);
    QVERIFY(messages_.isEmpty());
  }

  // Compare with a history entry: the fields page by page, the map's cell in
  // its grid; only what stays chosen is applied, as one undo step.
  void CompareAppliesOnlyTheChosenDifferencesAsOneStep() {
    auto w = Make();
    const ParameterImage original = w->Image();
    const int cell = kAdvanceMap + MapCell(6, 3);
    HistoryDialog* history = nullptr;
    auto* compare = CompareWithThreeDifferences(*w, history);
    QVERIFY(history);
    QVERIFY(compare);
    QCOMPARE(int(compare->Differences().size()), 3);

    auto* tree = compare->findChild<QTreeWidget*>("TreeCompare");
    QVERIFY(tree);
    QCOMPARE(tree->topLevelItemCount(), 2);  // Bike and N2O
    QTreeWidgetItem* bike = tree->topLevelItem(0);
    QCOMPARE(bike->text(0), QString("Bike"));
    QTreeWidgetItem* fan = bike->child(0);
    QCOMPARE(fan->text(1), QString::number(original.P(35)));
    QCOMPARE(fan->text(2), QString::number(original.P(35) - 5));
    auto* grid = compare->findChild<QTableWidget*>(QString("GridCompare%1").arg(PageAdvance));
    QVERIFY(grid);
    QTableWidgetItem* changed = grid->item(6, 3);
    QCOMPARE(changed->checkState(), Qt::Checked);
    QCOMPARE(changed->background().color(), QColor(255, 220, 120));
    QVERIFY(!(grid->item(0, 0)->flags() & Qt::ItemIsUserCheckable));

    // Leave the fan out: a click on its box.
    const QRect row = tree->visualItemRect(fan);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = row;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(fan->checkState(0), Qt::Unchecked);

    const int undoBefore = UndoDepth(w->Undo());
    QTest::mouseClick(compare->findChild<QPushButton*>("ButtonCompareApply"), Qt::LeftButton);
    QCOMPARE(int(w->Image().P(35)), int(original.P(35)));
    QCOMPARE(int(w->Image().P(98)), 1);
    QCOMPARE(int(w->Image().P(cell)), original.P(cell) + 4);
    QCOMPARE(UndoDepth(w->Undo()), undoBefore + 1);
    QCOMPARE(int(compare->Differences().size()), 1);  // the fan is left

    compare->close();
    history->close();
    w->findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(int(w->Image().P(98)), int(original.P(98)));
    QCOMPARE(int(w->Image().P(cell)), int(original.P(cell)));
  }

  // Untick all, tick one map cell by Space over its selection, Apply: only
  // that cell is taken, the rest stay listed without ticks (a second Apply
  // takes nothing), and undo and redo show the map the cell lies in.
  void CompareTicksNoneThenOneAndUndoShowsItsPage() {
    auto w = Make();
    const ParameterImage original = w->Image();
    const int cell = kAdvanceMap + MapCell(6, 3);
    HistoryDialog* history = nullptr;
    auto* compare = CompareWithThreeDifferences(*w, history);
    QVERIFY(history);
    QVERIFY(compare);
    auto* legend = compare->findChild<QLabel*>(QString("LabelLegend%1").arg(PageAdvance));
    QVERIFY(legend);
    QVERIFY2(legend->text().startsWith("In each coloured cell: top – Editor, bottom – "), qPrintable(legend->text()));

    QTest::mouseClick(compare->findChild<QPushButton*>("ButtonCompareTickNone"), Qt::LeftButton);
    auto* grid = compare->findChild<QTableWidget*>(QString("GridCompare%1").arg(PageAdvance));
    auto* tabs = compare->findChild<QTabWidget*>("TabCompare");
    tabs->setCurrentIndex(tabs->count() - 1);
    QVERIFY(QTest::qWaitForWindowExposed(compare));
    // A block around the cell (a click and a Shift+click, as a drag
    // selects), then Space.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(5, 2)).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      grid->visualItemRect(grid->item(7, 4)).center());
    QCOMPARE(grid->selectedItems().size(), 9);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(grid->item(6, 3)->checkState(), Qt::Checked);

    wtest::Tabs(*w)->setCurrentIndex(PageBike);
    QTest::mouseClick(compare->findChild<QPushButton*>("ButtonCompareApply"), Qt::LeftButton);
    QCOMPARE(int(w->Image().P(cell)), original.P(cell) + 4);
    QCOMPARE(int(w->Image().P(35)), int(original.P(35)));
    QCOMPARE(int(w->Image().P(98)), int(original.P(98)));
    QCOMPARE(int(compare->Differences().size()), 2);
    const int steps = UndoDepth(w->Undo());
    QTest::mouseClick(compare->findChild<QPushButton*>("ButtonCompareApply"), Qt::LeftButton);
    QCOMPARE(UndoDepth(w->Undo()), steps);  // nothing ticked, nothing taken
    QCOMPARE(int(w->Image().P(98)), int(original.P(98)));

    compare->close();
    history->close();
    QCOMPARE(wtest::Tabs(*w)->currentIndex(), int(PageBike));
    w->findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(int(w->Image().P(cell)), int(original.P(cell)));
    QCOMPARE(wtest::Tabs(*w)->currentIndex(), int(PageAdvance));
    wtest::Tabs(*w)->setCurrentIndex(PageBike);
    w->findChild<QAction*>("MenuZnovu")->trigger();
    QCOMPARE(int(w->Image().P(cell)), original.P(cell) + 4);
    QCOMPARE(wtest::Tabs(*w)->currentIndex(), int(PageAdvance));
  }

  // Off (the default), F9 programs at once, exactly as without the option.
  // The option is kept in the settings file.
  void WithoutTheReviewF9ProgramsAtOnceAndTheOptionIsRemembered() {
    auto w = Make();
    auto* review = w->findChild<QAction*>("MenuReviewBeforeProgram");
    QVERIFY(review);
    QVERIFY(review->isCheckable());
    QVERIFY(!review->isChecked());
    port_.Reply = wtest::EchoBlockWrites;
    QTest::keyClick(w.get(), Qt::Key_F9);
    QVERIFY(!w->findChild<ProgramReviewDialog*>());
    QCOMPARE(w->Link().State().Mode, LinkMode::Program);
    Ticks(*w, 8);
    QVERIFY(!BlockWrites().empty());

    review->trigger();
    w->close();
    w.reset();
    QFile ini(dir_->filePath("config/Velmor_v78.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("ReviewBeforeProgram=1"));
    auto again = Make();
    QVERIFY(again->findChild<QAction*>("MenuReviewBeforeProgram")->isChecked());
  }

  // After a Read two fields are changed; F9 reads the unit and lists
  // exactly those two with the unit's value and the new one. Cancel sends
  // nothing; Program then programs as F9 does.
  void TheReviewShowsWhatChangesSinceTheReadAndCancelSendsNothing() {
    auto w = Make();
    w->findChild<QAction*>("MenuReviewBeforeProgram")->trigger();
    const ParameterImage unit = UnitImage(*w, [](ParameterImage& u) { u.P(35) = 90; });
    port_.Reply = UnitWithMemory(unit);
    QTest::keyClick(w.get(), Qt::Key_F7);
    Ticks(*w, 40);
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QCOMPARE(int(w->Image().P(35)), 90);

    w->Image().P(35) = 85;  // Bike: fan 1
    w->Image().P(98) = 1;   // N2O on
    w->RefreshPage();
    const std::size_t sentBefore = port_.sent.size();
    QTest::keyClick(w.get(), Qt::Key_F9);
    QCOMPARE(w->Link().Transaction(), LinkTransaction::UnitCopy);
    Ticks(*w, 40);
    auto* dialog = Wait<ProgramReviewDialog>(*w, "ProgramReviewDialog");
    QVERIFY(dialog);
    QCOMPARE(int(dialog->Differences().size()), 2);
    auto* tree = dialog->findChild<QTreeWidget*>("TreeCompare");
    QVERIFY(tree);
    // The editor's value first, the unit's second, as in the compare window.
    QCOMPARE(tree->headerItem()->text(1), QString("After programming"));
    QCOMPARE(tree->headerItem()->text(2), QString("In the ignition"));
    QTreeWidgetItem* fan = tree->topLevelItem(0)->child(0);
    QCOMPARE(fan->text(1), QString("85"));
    QCOMPARE(fan->text(2), QString("90"));
    QVERIFY2(!(fan->flags() & Qt::ItemIsUserCheckable), "nothing to choose: all of it is programmed");
    QVERIFY(dialog->findChild<QLabel*>("LabelReviewSummary")->text().contains("Vmr07"));

    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonReviewCancel"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !w->findChild<ProgramReviewDialog*>(); }, 3000));
    Ticks(*w, 20);
    QCOMPARE(BlockWrites(sentBefore), std::vector<int>{});
    QCOMPARE(w->Link().State().Mode, LinkMode::Idle);
    QCOMPARE(int(w->Image().P(35)), 85);

    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 40);
    dialog = Wait<ProgramReviewDialog>(*w, "ProgramReviewDialog");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonReviewProgram"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !w->findChild<ProgramReviewDialog*>(); }, 3000));
    Ticks(*w, 40);
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QCOMPARE(BlockWrites(sentBefore), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // What went in is what the unit holds: nothing left to change.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 40);
    dialog = Wait<ProgramReviewDialog>(*w, "ProgramReviewDialog");
    QVERIFY(dialog);
    QVERIFY(dialog->Differences().empty());
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonReviewCancel"), Qt::LeftButton);
  }

  // Another bike with the same firmware plugged in after the Read: the
  // review lists what the Program changes in that unit (its fans and a map
  // cell), not what it would change in the unit read before, and keeps the
  // unit's tune in the history before anything is written.
  void TheReviewListsTheDifferencesOfTheUnitOnTheCable() {
    auto w = Make();
    w->findChild<QAction*>("MenuReviewBeforeProgram")->trigger();
    port_.Reply = UnitWithMemory(UnitImage(*w, [](ParameterImage&) {}));
    QTest::keyClick(w.get(), Qt::Key_F7);
    Ticks(*w, 40);
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    const int cell = kAdvanceMap + MapCell(4, 2);
    ParameterImage second = UnitImage(*w, [&](ParameterImage& u) {
      u.P(35) = static_cast<std::uint8_t>(u.P(35) + 3);  // fan 1
      u.P(36) = static_cast<std::uint8_t>(u.P(36) + 2);  // fan 2
      u.P(cell) = static_cast<std::uint8_t>(u.P(cell) + 5);
    });
    testsupport::ScriptedUnit onTheCable(second);
    onTheCable.answerPolls = false;
    onTheCable.Attach(port_);
    const std::size_t kept = ListHistory(HistoryDirectory()).size();

    const std::size_t sentBefore = port_.sent.size();
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 40);
    auto* dialog = Wait<ProgramReviewDialog>(*w, "ProgramReviewDialog");
    QVERIFY(dialog);
    QCOMPARE(int(dialog->Differences().size()), 3);
    QCOMPARE(dialog->Differences()[0].Offset, 35);
    QVERIFY(dialog->findChild<QLabel*>("LabelReviewSummary")->text().contains("Vmr07"));
    QCOMPARE(BlockWrites(sentBefore), std::vector<int>{});
    QCOMPARE(ListHistory(HistoryDirectory()).size(), kept + 1);
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonReviewProgram"), Qt::LeftButton);
    Ticks(*w, 40);
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    for (int b = 1; b < kBlockCount; ++b)
      QVERIFY(std::equal(onTheCable.blocks[b].begin(), onTheCable.blocks[b].end(), w->Image().Block(b).begin()));
  }

  // A unit that does not answer the review's read is not programmed: what
  // the Program would change in it cannot be shown.
  void AUnitThatCannotBeReadForTheReviewIsNotProgrammed() {
    auto w = Make();
    w->findChild<QAction*>("MenuReviewBeforeProgram")->trigger();
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 80);
    QVERIFY(!w->findChild<ProgramReviewDialog*>());
    QCOMPARE(w->History().LastNotice(),
             QString("The ignition could not be read for the review; nothing was programmed"));
    QCOMPARE(BlockWrites(), std::vector<int>{});
    QCOMPARE(w->Link().State().Mode, LinkMode::Idle);
  }

  // Asked for while a Program runs, the comparison waits for nothing and
  // cuts nothing short: it says so and the Program goes on.
  void CompareWithTheUnitDuringAProgramLeavesTheProgramAlone() {
    auto w = Make();
    port_.Reply = UnitWithMemory(UnitImage(*w, [](ParameterImage&) {}));
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 9);
    QCOMPARE(w->Link().State().Mode, LinkMode::Program);
    w->findChild<QAction*>("MenuCompareUnit")->trigger();
    QCOMPARE(w->History().LastNotice(), QString("The ignition is busy with a transfer; compare again when it has ended"));
    Ticks(*w, 40);
    QCOMPARE(w->Link().Transaction(), LinkTransaction::Program);
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QVERIFY(!w->findChild<CompareDialog*>());
  }

  // A language switch renders the menu items and a message still in the
  // status bar again; dialogs open in the language chosen.
  void TheLanguageSwitchRendersMenusMessagesAndDialogs() {
    auto w = Make();
    port_.Reply = UnitWithMemory(UnitImage(*w, [](ParameterImage&) {}));
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 40);
    QCOMPARE(w->statusBar()->currentMessage(), QString("No copy of the unit's previous tune in the history"));

    w->findChild<QAction*>("MenuFrench")->trigger();
    QCOMPARE(w->statusBar()->currentMessage(), QString::fromUtf8("Aucune copie du réglage précédent du boîtier dans l'historique"));
    QCOMPARE(w->findChild<QAction*>("MenuHistory")->text(), QString::fromUtf8("Historique..."));
    QCOMPARE(w->findChild<QAction*>("MenuCompareUnit")->text(), QString::fromUtf8("Comparer avec le boîtier..."));
    auto* review = w->findChild<QAction*>("MenuReviewBeforeProgram");
    QCOMPARE(review->text(), QString::fromUtf8("Revoir les modifications avant de programmer"));

    review->trigger();
    QTest::keyClick(w.get(), Qt::Key_F9);
    Ticks(*w, 40);
    auto* dialog = Wait<ProgramReviewDialog>(*w, "ProgramReviewDialog");
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QPushButton*>("ButtonReviewProgram")->text(), QString("Programmer"));
    QCOMPARE(dialog->findChild<QLabel*>("LabelReviewSummary")->text(),
             QString::fromUtf8("Comparé au contenu de Vmr07, lu à l'instant dans le boîtier.\n"
                               "Aucune modification : le boîtier contient déjà ces valeurs."));
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonReviewCancel"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !w->findChild<ProgramReviewDialog*>(); }, 3000));

    w->findChild<QAction*>("MenuCzech")->trigger();
    QCOMPARE(review->text(), QString::fromUtf8("Zobrazit změny před programováním"));
    w->findChild<QAction*>("MenuHistory")->trigger();
    auto* history = Wait<HistoryDialog>(*w, "HistoryDialog");
    QVERIFY(history);
    auto* tree = history->findChild<QTreeWidget*>("TreeHistory");
    QCOMPARE(tree->headerItem()->text(0), QString::fromUtf8("Čas"));
    // The Program and the review's read of the unit, in one second.
    QStringList kinds;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) kinds << tree->topLevelItem(i)->text(1);
    kinds.sort();
    QCOMPARE(kinds, QStringList({QString::fromUtf8("programování"), QString::fromUtf8("čtení")}));
    history->close();
  }
};

QTEST_MAIN(WindowHistoryTest)
#include "window_history_test.moc"

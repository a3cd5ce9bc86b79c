// The history list and the compare window, driven through their controls.
#include <QAction>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <ctime>
#include <memory>

#include "compare_dialog.h"
#include "files/history.h"
#include "form_hlav.h"
#include "history_dialog.h"
#include "model/normalise.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using velmor::wtest::ScriptedPort;

class WindowHistoryTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  ScriptedPort port_;
  QStringList messages_;

  std::unique_ptr<TFormHlav> Make() {
    FormOptions o;
    o.ConfigDir = dir_->filePath("config").toStdString();
    o.ProgramDir = dir_->filePath("program").toStdString();
    o.StartTimer = false;
    auto w = std::make_unique<TFormHlav>(port_, o);
    w->ShowMessageBox = [this](const QString& text) { messages_ << text; };
    w->AskYesNoCancel = [](const QString&) { return QMessageBox::No; };
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window not active");
    return w;
  }

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

  static void ClickRow(QTreeWidget* tree, QTreeWidgetItem* item) {
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
    port_ = ScriptedPort();
    messages_.clear();
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
    Keep(*w, 1796913005, [&](ParameterImage& i) {
      i.P(35) = static_cast<std::uint8_t>(original.P(35) - 5);  // fan 1, Bike
      i.P(98) = 1;                                                // N2O on, another page
      i.P(cell) = static_cast<std::uint8_t>(original.P(cell) + 4);
    });
    w->findChild<QAction*>("MenuHistory")->trigger();
    auto* history = Wait<HistoryDialog>(*w, "HistoryDialog");
    QVERIFY(history);
    QTest::mouseClick(history->findChild<QPushButton*>("ButtonHistoryCompare"), Qt::LeftButton);
    auto* compare = Wait<CompareDialog>(*w, "CompareDialog");
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
};

QTEST_MAIN(WindowHistoryTest)
#include "window_history_test.moc"

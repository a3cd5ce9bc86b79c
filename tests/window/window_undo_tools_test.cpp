// Editing through the window's controls, offscreen: the step tools, undo
// and redo across pages and whatever has the focus, when a typed value is
// committed, the note, the hints in the status bar and the radio groups.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QtTest>

#include "editor/names.h"
#include "ui/window/form_hlav.h"
#include "ui/widgets/widgets.h"
#include "files/ign_file.h"
#include "model/defaults.h"
#include "window_harness.h"
#include "test_images.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

class WindowUndoToolsTest : public QObject, WindowFixture {
  Q_OBJECT

  ParameterImage before_;

 private slots:
  void init() { Reset(); }

  // ------------------------------------------------------------ tools and undo

  void PlusWithAllStepsEveryCellInOneSnapshot_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("advance") << int(PageAdvance);
    QTest::newRow("injection 1") << int(PageInj1);
  }
  void PlusWithAllStepsEveryCellInOneSnapshot() {
    QFETCH(int, page);
    auto w = Make();
    ClickTab(Tabs(*w), page);
    auto* all = Get<QCheckBox>(*w, "CheckBoxAll_Uni");
    ClickButton(all);
    QVERIFY(all->isChecked());
    QCOMPARE(UndoSteps(*w), 0);  // the check box alone changes no parameter
    std::vector<int> shown(kMapCells);
    for (int k = 0; k < kMapCells; ++k) shown[k] = Get<QLineEdit>(*w, N(EditorNames::MapCellEdit(k)))->text().toInt();
    const ParameterImage before = w->Image();

    QTest::keyClick(w.get(), Qt::Key_F5);
    QCOMPARE(UndoSteps(*w), 1);
    for (int k = 0; k < kMapCells; ++k) {
      QCOMPARE(Get<QLineEdit>(*w, N(EditorNames::MapCellEdit(k)))->text().toInt(), shown[k] + 1);
      if (page == PageAdvance) QCOMPARE(int(w->Image().P(kAdvanceMap + k)), before.P(kAdvanceMap + k) + 1);
    }
    // One undo takes the whole step back.
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QCOMPARE(w->Image(), before);
    QCOMPARE(UndoSteps(*w), 0);
    QVERIFY(!Action(*w, "MenuZpet")->isEnabled());
    QVERIFY(Action(*w, "MenuZnovu")->isEnabled());
  }

  void TwoHundredFiftyChangesLeaveOneHundredNinetyNineUndos() {
    auto w = Make();
    ClickTab(Tabs(*w), PageBike);
    QVERIFY(!Action(*w, "MenuZpet")->isEnabled());
    QVERIFY(!Get<QAbstractButton>(*w, "SpeedButtonZpet")->isEnabled());
    const int start = w->Image().P(35);
    for (int i = 1; i <= 250; ++i) {
      Bump(*w, "UpDownFan1", i % 2 == 1);
      if (QTest::currentTestFailed()) return;
    }
    auto* undoButton = Get<QAbstractButton>(*w, "SpeedButtonZpet");
    int undos = 0;
    while (Action(*w, "MenuZpet")->isEnabled() && undos < 1000) {
      QCOMPARE(undoButton->isEnabled(), true);
      ClickButton(undoButton);
      ++undos;
    }
    QCOMPARE(undos, 199);
    QVERIFY(!undoButton->isEnabled());
    // The oldest state left is the one after the 51st change (an up step).
    QCOMPARE(int(w->Image().P(35)), start + 1);
    QVERIFY(Action(*w, "MenuZnovu")->isEnabled());
    QVERIFY(Get<QAbstractButton>(*w, "SpeedButtonZnovu")->isEnabled());
  }

  void UndoOfAChangeOnAnotherPageShowsThatPage() {
    auto w = Make();
    ClickTab(Tabs(*w), PageBike);
    Bump(*w, "UpDownFan1");
    const int first = w->Image().P(35);
    Bump(*w, "UpDownFan1");
    ClickTab(Tabs(*w), PageSensors);
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QCOMPARE(w->PageIndex(), int(PageBike));
    QCOMPARE(Tabs(*w)->currentIndex(), int(PageBike));
    QCOMPARE(int(w->Image().P(35)), first);
    QCOMPARE(Get<QLineEdit>(*w, "EditFan1")->text(), QString::number(first));
    // Redo goes forward again on the same page.
    ClickButton(Get<QAbstractButton>(*w, "SpeedButtonZnovu"));
    QCOMPARE(int(w->Image().P(35)), first + 1);
    QCOMPARE(Get<QLineEdit>(*w, "EditFan1")->text(), QString::number(first + 1));
  }

  // Undo takes back exactly the last change, even when its page switch or
  // refresh takes the focus from an edit box that commits on leaving. A
  // value typed but not committed is the last change: it is committed as
  // leaving its box would, and the first Undo takes it back.
  void OneUndoTakesBackTheLastChangeWhateverHasTheFocus_data() {
    QTest::addColumn<bool>("fromAnotherPage");
    QTest::newRow("on the page of the change") << false;
    QTest::newRow("from another page, typing there") << true;
  }
  void OneUndoTakesBackTheLastChangeWhateverHasTheFocus() {
    QFETCH(bool, fromAnotherPage);
    auto w = Make();
    QCOMPARE(w->PageIndex(), int(PageGear));
    const ParameterImage before = w->Image();
    ClickTab(Tabs(*w), PageAdvance);
    auto* cell = Get<QLineEdit>(*w, "EditMapCell0");
    const QString shown = cell->text();
    QTest::mouseClick(cell, Qt::LeftButton);
    QVERIFY(cell->hasFocus());
    cell->selectAll();
    QTest::keyClicks(cell, "15");
    QTest::keyClick(cell, Qt::Key_Return);
    QCOMPARE(int(w->Image().P(kAdvanceMap)), 15);
    QCOMPARE(UndoSteps(*w), 1);
    if (fromAnotherPage) {
      ClickTab(Tabs(*w), PageBike);
      auto* fan = Get<QLineEdit>(*w, "EditFan1");
      QTest::mouseClick(fan, Qt::LeftButton);
      QVERIFY(fan->hasFocus());
      fan->selectAll();
      const QString fanShown = fan->text();
      QTest::keyClicks(fan, "90");  // typed, not committed
      QTest::mouseClick(Get<QAbstractButton>(*w, "SpeedButtonZpet"), Qt::LeftButton);
      QCOMPARE(w->PageIndex(), int(PageBike));
      QCOMPARE(fan->text(), fanShown);
      QCOMPARE(int(w->Image().P(kAdvanceMap)), 15);
      QCOMPARE(UndoSteps(*w), 1);
    }

    QTest::mouseClick(Get<QAbstractButton>(*w, "SpeedButtonZpet"), Qt::LeftButton);
    QCOMPARE(w->PageIndex(), int(PageAdvance));
    QCOMPARE(Tabs(*w)->currentIndex(), int(PageAdvance));
    QCOMPARE(cell->text(), shown);
    QCOMPARE(w->Image(), before);
    QCOMPARE(UndoSteps(*w), 0);
    QVERIFY(!Get<QAbstractButton>(*w, "SpeedButtonZpet")->isEnabled());
    QVERIFY(Get<QAbstractButton>(*w, "SpeedButtonZnovu")->isEnabled());

    QTest::mouseClick(Get<QAbstractButton>(*w, "SpeedButtonZnovu"), Qt::LeftButton);
    QCOMPARE(cell->text(), QString("15"));
    QCOMPARE(int(w->Image().P(kAdvanceMap)), 15);
    // With the typed value undone too, one redo is still left.
    QCOMPARE(Get<QAbstractButton>(*w, "SpeedButtonZnovu")->isEnabled(), fromAnotherPage);
  }

  void EnterOnAnUnchangedFieldTakesNoSnapshot_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("edit");
    QTest::newRow("committed on leaving") << int(PageBike) << "EditFan1";
    QTest::newRow("committed on click") << int(PageBike) << "EditBuzeni";
    QTest::newRow("map cell") << int(PageInj1) << "EditMapCell17";
    QTest::newRow("speed axis") << int(PageAdvance) << "EditRpmAxisField4";
  }
  void EnterOnAnUnchangedFieldTakesNoSnapshot() {
    QFETCH(int, page);
    QFETCH(QString, edit);
    auto w = Make();
    ClickTab(Tabs(*w), page);
    const ParameterImage before = w->Image();
    auto* e = Get<QLineEdit>(*w, edit);
    QVERIFY(e);
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Return);
    QVERIFY(!e->hasFocus());  // Enter moves on
    QCOMPARE(UndoSteps(*w), 0);
    QVERIFY(!Action(*w, "MenuZpet")->isEnabled());
    QCOMPARE(w->Image(), before);
  }

  void TypedValuesAreCommittedByTheNextCommitEvent_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typedInto");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("then");  // "tab", an edit to click into, or a spinner's up arrow
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("stored");    // -1: not committed yet
    QTest::newRow("leaving a box that commits on leaving") << int(PageBike) << "EditFan1" << "95" << "tab" << 35 << 95;
    QTest::newRow("leaving a box that commits on a click") << int(PageBike) << "EditBuzeni" << "900" << "tab" << 4 << -1;
    QTest::newRow("click into a box that commits on leaving") << int(PageBike) << "EditBuzeni" << "900"
                                                               << "EditStartLimiter" << 4 << -1;
    QTest::newRow("click into a box that commits on a click") << int(PageBike) << "EditBuzeni" << "900"
                                                              << "EditLambdaTachoAf0" << 4 << 9;
    QTest::newRow("another field's spinner") << int(PageBike) << "EditBuzeni" << "900" << "UpDownFan1" << 4 << 9;
    QTest::newRow("click into another map cell") << int(PageAdvance) << "EditMapCell5" << "33" << "EditMapCell6" << kAdvanceMap + 5 << 33;
    QTest::newRow("leaving a map cell") << int(PageAdvance) << "EditMapCell5" << "33" << "tab" << kAdvanceMap + 5 << 33;
    QTest::newRow("leaving a grid box") << int(PageCorrections) << "EditKorVoda0" << "120" << "tab" << 80 << 120;
    QTest::newRow("between boxes that commit on Enter only") << int(PageCorrections) << "EditSyticCas1" << "7"
                                                             << "EditSyticCas2" << 67 << -1;
  }
  void TypedValuesAreCommittedByTheNextCommitEvent() {
    QFETCH(int, page);
    QFETCH(QString, typedInto);
    QFETCH(QString, text);
    QFETCH(QString, then);
    QFETCH(int, offset);
    QFETCH(int, stored);
    auto w = Make();
    ClickTab(Tabs(*w), page);
    const int before = w->Image().P(offset);
    auto* e = Get<QLineEdit>(*w, typedInto);
    QTest::mouseClick(e, Qt::LeftButton);
    e->selectAll();
    QTest::keyClicks(e, text);
    QCOMPARE(int(w->Image().P(offset)), before);  // nothing while typing
    if (then == "tab") {
      QTest::keyClick(e, Qt::Key_Tab);
    } else if (auto* spinner = Get<UpDown>(*w, then)) {
      QVERIFY(ClickArrow(spinner, true));
    } else {
      QTest::mouseClick(Get<QLineEdit>(*w, then), Qt::LeftButton);
    }
    QCOMPARE(int(w->Image().P(offset)), stored < 0 ? before : stored);
  }

  void NoteIsStoredWhenThePointerLeavesIt() {
    auto w = Make();
    ClickTab(Tabs(*w), PageBike);
    auto* memo = Get<QPlainTextEdit>(*w, "Memo1");
    QVERIFY(memo);
    memo->setFocus();
    QTest::keyClicks(memo, "ab");
    QTest::keyClick(memo, Qt::Key_Return);  // reaches the memo: a second line
    QTest::keyClicks(memo, "c");
    QCOMPARE(memo->toPlainText(), QString("ab\nc"));
    QCOMPARE(int(w->Image().P(kMemoStart)), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(memo, &leave);
    QCOMPARE(int(w->Image().P(kMemoStart)), int('a'));
    QCOMPARE(int(w->Image().P(kMemoStart + 1)), int('b'));
    QCOMPARE(int(w->Image().P(kMemoStart + 2)), 0);
    QCOMPARE(int(w->Image().P(kMemoStart + 3)), int('c'));
  }

  void HintOfTheControlUnderThePointerShowsInTheStatusBar() {
    auto w = Make();
    auto* bar = Get<QStatusBar>(*w, "StatusBar1");
    auto* print = Get<QWidget>(*w, "SpeedButtonPrint");
    QTest::mouseMove(print);
    QTRY_COMPARE(bar->currentMessage(), QString("Print parametrs"));
    QTest::mouseMove(Get<QWidget>(*w, "CheckBoxProgHned"));
    QTRY_COMPARE(bar->currentMessage(), QString("Programing at once after change"));
  }

  // ------------------------------------------------------------ radio groups

  void RadioGroupsWriteTheirByte_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("snapshot");
    QTest::newRow("pin engine 23") << "RadioGroupPinEngine23" << int(PageBike) << 38 << true;
    QTest::newRow("pin engine 14") << "RadioGroupPinEngine14" << int(PageBike) << 39 << true;
    QTest::newRow("pin body 11") << "RadioGroupPinBody11" << int(PageBike) << 40 << true;
    QTest::newRow("position reference") << "RadioGroupPolohaA" << int(PagePosition) << 56 << true;
    QTest::newRow("gear system") << "RadioGroupGearSystem" << int(PageGear) << 136 << true;
    QTest::newRow("speed sensor") << "RadioGroupSpeedMode" << int(PageGear) << 138 << true;
    QTest::newRow("clutch mode") << "RadioGroupClutchMode" << int(PageRace) << 120 << true;
    QTest::newRow("tuning mode") << "RadioGroupLadeniMode" << int(PageTuning) << 290 << true;
    QTest::newRow("lambda sensor") << "RadioGroupCidloLambdaMode" << int(PageSensors) << 302 << true;
    QTest::newRow("idle control") << "RadioGroupIdleMode" << int(PageIdle) << 333 << true;
  }
  void RadioGroupsWriteTheirByte() {
    QFETCH(QString, group);
    QFETCH(int, page);
    QFETCH(int, offset);
    QFETCH(bool, snapshot);
    auto w = Make();
    ClickTab(Tabs(*w), page);
    auto* r = Get<RadioGroup>(*w, group);
    QVERIFY(r);
    before_ = w->Image();
    const int before = before_.P(offset);
    QCOMPARE(r->ItemIndex(), before);
    const int target = (before + 1) % r->Items().size();
    ClickButton(Get<QAbstractButton>(*w, QString("%1_Item%2").arg(group).arg(target)));
    QCOMPARE(int(w->Image().P(offset)), target);
    QCOMPARE(UndoSteps(*w), snapshot ? 1 : 0);
    if (group == "RadioGroupCidloLambdaMode") {
      // The chosen sensor's characteristic is loaded and shown.
      bool loaded = false;
      for (int n = 303; n <= 317; ++n) loaded |= w->Image().P(n) != before_.P(n);
      QVERIFY(loaded);
      for (int i = 0; i < 5; ++i) {
        QCOMPARE(Get<QLineEdit>(*w, QString("EditCidloLambdaAf%1").arg(i))->text(),
                 QString::number(w->Image().P(303 + i)));
        QCOMPARE(Get<QLineEdit>(*w, QString("EditCidloLambdaNap%1").arg(i))->text(),
                 QString::number(w->Image().Word(308 + 2 * i)));
      }
    }
  }

  void GearRadioGroupKeepsSettingsOfPagesNotShown() {
    // A file whose clutch mode and idle control differ from the defaults.
    ParameterImage file = testsupport::DefaultsOf();
    file.P(120) = static_cast<std::uint8_t>(1 - file.P(120));
    file.P(333) = static_cast<std::uint8_t>(1 - file.P(333));
    const QString path = dir_->filePath("clutch.ign");
    QVERIFY(SaveParameterFile(path.toStdString(), file, {}).Ok);

    auto w = Make();
    // Both groups have shown the defaults once.
    ClickTab(Tabs(*w), PageRace);
    ClickTab(Tabs(*w), PageIdle);
    ClickTab(Tabs(*w), PageGear);
    chosenFile_ = path;
    QTest::keyClick(w.get(), Qt::Key_F3);
    QCOMPARE(w->Image().P(120), file.P(120));
    QCOMPARE(w->Image().P(333), file.P(333));

    const int speed = w->Image().P(138);
    ClickButton(Get<QAbstractButton>(*w, QString("RadioGroupSpeedMode_Item%1").arg(1 - speed)));
    QCOMPARE(int(w->Image().P(138)), 1 - speed);
    QCOMPARE(w->Image().P(120), file.P(120));
    QCOMPARE(w->Image().P(333), file.P(333));
  }
};

QTEST_MAIN(WindowUndoToolsTest)
#include "window_undo_tools_test.moc"

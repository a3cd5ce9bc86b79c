// The window's traffic with a scripted unit, offscreen: the operating point
// a monitor reply lights, programming after a change, tuning, a commit
// during a Read, and the status label of a transfer.
#include <QCheckBox>
#include <QLabel>
#include <QStatusBar>
#include <QtTest>

#include "editor/names.h"
#include "files/ign_file.h"
#include "ui/window/form_hlav.h"
#include "model/defaults.h"
#include "ui/widgets/widgets.h"
#include "window_harness.h"
#include "test_images.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

bool IsLime(QWidget* w) {
  const QPalette::ColorRole role = qobject_cast<QLineEdit*>(w) ? QPalette::Base : QPalette::Window;
  return w->palette().color(role) == ToQColor(Colour::Lime);
}

}  // namespace

class WindowProgrammingTest : public QObject, WindowFixture {
  Q_OBJECT

 private slots:
  void init() { Reset(); }

  // ------------------------------------------------------------ live highlight

  void MonitorFrameLightsTheOperatingPoint() {
    auto w = Make();
    ClickTab(Tabs(*w), PageInj1);
    const ParameterImage& img = w->Image();
    const int row = 5;  // 30 % is the sixth throttle row
    auto cellOf = [&](int column) { return MapCell(row, column); };
    auto expectLit = [&](int litCell, int litColumn) {
      for (int k = 0; k < kMapCells; ++k) {
        auto* e = Get<QLineEdit>(*w, N(EditorNames::MapCellEdit(k)));
        QVERIFY(e);
        if (IsLime(e) != (k == litCell)) QFAIL(qPrintable(QString("cell %1 lit %2").arg(k).arg(IsLime(e))));
      }
      for (int c = 0; c < kMapColumns; ++c) {
        QCOMPARE(IsLime(Get<QLineEdit>(*w, N(EditorNames::RpmAxisEdit(c)))), c == litColumn);
      }
      for (int r = 0; r < kMapRows; ++r) {
        QCOMPARE(IsLime(Get<QLabel>(*w, N(EditorNames::TpsRowLabel(r)))), r == row);
      }
    };
    // An engine speed exactly on an axis point selects that column.
    for (int column : {3, 10, 14}) {
      port_.Queue(MonitorFrame(img.P(kInj1Axis + column) * 100, 30));
      w->Timer1Timer();
      expectLit(cellOf(column), column);
    }
    // A stopped engine lights no cell and no speed point, only the row.
    port_.Queue(MonitorFrame(0, 30));
    w->Timer1Timer();
    expectLit(-1, -1);
    QCOMPARE(w->Link().MonitorFrames(), 4u);

    // With "Ms" the time labels over the cells follow the same cell.
    ClickButton(Get<QCheckBox>(*w, "CheckBoxZobrMs_Uni"));
    port_.Queue(MonitorFrame(img.P(kInj1Axis + 6) * 100, 30));
    w->Timer1Timer();
    for (int k = 0; k < kMapCells; ++k) {
      auto* l = Get<QLabel>(*w, N(EditorNames::CellTimeLabel(k)));
      QVERIFY(l);
      QCOMPARE(IsLime(l), k == cellOf(6));
    }
  }

  // ------------------------------------------------------------ programming after change

  void ProgrammingAfterChangeSendsOnlyTheChangedBlock_data() {
    QTest::addColumn<bool>("tuning");
    QTest::newRow("tuning off") << false;
    QTest::newRow("tuning on") << true;
  }
  void ProgrammingAfterChangeSendsOnlyTheChangedBlock() {
    QFETCH(bool, tuning);
    auto w = Make();
    port_.Reply = EchoBlockWrites;
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    QVERIFY(Get<QCheckBox>(*w, "CheckBoxProgHned")->isChecked());
    if (tuning) QTest::keyClick(w.get(), Qt::Key_F6);
    QCOMPARE(Get<QCheckBox>(*w, "CheckBoxLadeniPovoleno")->isChecked(), tuning);
    ClickTab(Tabs(*w), PageBike);
    for (int i = 0; i < 12; ++i) w->Timer1Timer();  // an idle link
    port_.sent.clear();

    auto writes = [&] {
      std::vector<int> blocks;
      for (const LinkFrame& f : port_.sent) {
        if (f[0] < kBlockCount) blocks.push_back(f[0]);
      }
      return blocks;
    };
    auto runTicks = [&] {
      for (int i = 0; i < 20; ++i) w->Timer1Timer();
    };

    // P+35 lies in block 1.
    Bump(*w, "UpDownFan1");
    runTicks();
    if (tuning) {
      // Recorded, not programmed.
      QCOMPARE(UndoSteps(*w), 1);
      QVERIFY(writes().empty());
    } else {
      QCOMPARE(writes(), std::vector<int>{1});
      const LinkFrame& sent = *std::find_if(port_.sent.begin(), port_.sent.end(),
                                            [](const LinkFrame& f) { return f[0] == 1; });
      QVERIFY(std::equal(sent.begin() + 1, sent.begin() + 1 + kBlockSize, w->Image().Block(1).begin()));
      QCOMPARE(Get<QLabel>(*w, "LabelHlaseni")->text(), QString("Program device: OK"));
    }
    // Nothing is read back: no verify follows a change.
    for (int c : port_.Commands()) {
      if (tuning) continue;  // tuning polls are block reads
      QVERIFY2(c == kPollCommand || c < kBlockCount, qPrintable(QString::number(c, 16)));
    }

    // An undo programs the restored block, also while tuning is on.
    port_.sent.clear();
    ClickButton(Get<QAbstractButton>(*w, "SpeedButtonZpet"));
    runTicks();
    QCOMPARE(writes(), std::vector<int>{1});
  }

  // With tuning on the unit changes map 1 (channel 1: blocks 5 and 6) and
  // the refresh copies it onto map 2. Undoing an unrelated edit takes back
  // that edit only and programs only its block.
  void UndoDuringTuningKeepsWhatTheUnitTuned() {
    auto w = Make();
    ParameterImage unit = w->Image();
    for (int k = 0; k < kMapCells; ++k) unit.SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(unit.Word(kInj1Map + 2 * k) + 7));
    port_.Reply = UnitWithMemory(unit);
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    QTest::keyClick(w.get(), Qt::Key_F6);
    QVERIFY(Get<QCheckBox>(*w, "CheckBoxLadeniPovoleno")->isChecked());
    ClickTab(Tabs(*w), PageBike);
    auto ticks = [&](int n) {
      for (int i = 0; i < n; ++i) w->Timer1Timer();
    };
    ticks(12);
    QCOMPARE(w->Image().Word(kInj1Map), unit.Word(kInj1Map));
    QCOMPARE(w->Image().Word(kInj2Map), unit.Word(kInj1Map));
    const int fan2 = w->Image().P(41);
    Bump(*w, "UpDownFan2");
    ticks(12);
    QCOMPARE(UndoSteps(*w), 1);

    port_.sent.clear();
    ClickButton(Get<QAbstractButton>(*w, "SpeedButtonZpet"));
    ticks(20);
    QCOMPARE(int(w->Image().P(41)), fan2);
    std::vector<int> writes;
    for (const LinkFrame& f : port_.sent) {
      if (f[0] < kBlockCount) writes.push_back(f[0]);
    }
    QCOMPARE(writes, std::vector<int>{1});
    for (int k = 0; k < kMapCells; ++k) {
      QCOMPARE(w->Image().Word(kInj1Map + 2 * k), unit.Word(kInj1Map + 2 * k));
      QCOMPARE(w->Image().Word(kInj2Map + 2 * k), unit.Word(kInj1Map + 2 * k));
    }
  }

  // A click into a field during a Read commits nothing: the page still
  // shows the image from before the read. The read completes and verifies,
  // and nothing is programmed.
  void ACommitDuringAReadWaitsForItsRefresh() {
    auto w = Make();
    ParameterImage unit = w->Image();
    unit.P(35) = 95;  // block 1
    unit.P(kMemoStart) = 77;  // block 9
    port_.Reply = UnitWithMemory(unit);
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    ClickTab(Tabs(*w), PageBike);
    const QString fan = Get<QLineEdit>(*w, "EditFan1")->text();
    ClickButton(Get<QAbstractButton>(*w, "ButtonRead"));
    for (int i = 0; i < 9; ++i) w->Timer1Timer();  // blocks 0 and 1 are in
    QCOMPARE(int(w->Image().P(35)), 95);
    QCOMPARE(Get<QLineEdit>(*w, "EditFan1")->text(), fan);
    QTest::mouseClick(Get<QLineEdit>(*w, "EditBuzeni"), Qt::LeftButton);
    QCOMPARE(int(w->Image().P(35)), 95);
    QCOMPARE(UndoSteps(*w), 0);

    for (int i = 0; i < 40; ++i) w->Timer1Timer();
    QCOMPARE(Get<QLabel>(*w, "LabelHlaseni")->text(), QString("Verify: OK"));
    QCOMPARE(Get<QLineEdit>(*w, "EditFan1")->text(), QString("95"));
    QVERIFY(testsupport::SameParameters(unit, w->Image()));
    for (const LinkFrame& f : port_.sent) QVERIFY(f[0] >= kBlockCount);
  }

  // Every input during a Read meets the same gate: a typed value, a step
  // key, a radio click and an undo are refused with one message, the undo
  // step stays for later, and nothing is programmed over the unit's data.
  void EveryInputWaitsForTheRead() {
    auto w = Make();
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    ClickTab(Tabs(*w), PageBike);
    TypeAndEnter(Get<QLineEdit>(*w, "EditFan2"), "97");  // a step to undo later
    Ticks(*w, 30);
    QCOMPARE(UndoSteps(*w), 1);
    ParameterImage unit = w->Image();
    unit.P(35) = 95;                  // block 1
    unit.P(kMemoStart) = 77;          // block 9
    port_.Reply = UnitWithMemory(unit);
    port_.sent.clear();
    ClickButton(Get<QAbstractButton>(*w, "ButtonRead"));
    Ticks(*w, 9);  // blocks 0 and 1 are in
    const QString refused = "Not while the unit is being read: nothing was changed.";
    TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), "88");
    QCOMPARE(int(w->Image().P(35)), 95);
    QCOMPARE(w->statusBar()->currentMessage(), refused);
    w->statusBar()->clearMessage();
    QTest::keyClick(Get<QLineEdit>(*w, "EditFan1"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->statusBar()->currentMessage(), refused);
    QCOMPARE(UndoSteps(*w), 1);
    ClickTab(Tabs(*w), PagePosition);
    w->statusBar()->clearMessage();
    QTest::keyClick(w.get(), Qt::Key_F5);
    QCOMPARE(w->statusBar()->currentMessage(), refused);
    QCOMPARE(UndoSteps(*w), 1);

    Ticks(*w, 40);
    QCOMPARE(Get<QLabel>(*w, "LabelHlaseni")->text(), QString("Verify: OK"));
    QVERIFY(testsupport::SameParameters(unit, w->Image()));
    for (const LinkFrame& f : port_.sent) QVERIFY(f[0] >= kBlockCount);
    // The step is still there, and taken back now.
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(UndoSteps(*w), 0);
  }

  // Enter in every cell of a map without changing a value writes nothing
  // and programs nothing, also where the unit's tuning left times between
  // whole percentages; one changed cell programs its own word.
  void EnterThroughAMapWithoutAChangeWritesNothing() {
    auto w = Make();
    port_.Reply = EchoBlockWrites;
    Action(*w, "Menu_Jet123Normal")->trigger();
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    Ticks(*w, 30);
    ClickTab(Tabs(*w), PageInj1);
    QVERIFY(w->ChangeTune([&] {
      for (int k = 0; k < kMapCells; ++k)
        w->Image().SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(w->Image().Word(kInj1Map + 2 * k) + k % 3));
      return true;
    }).Applied());
    Ticks(*w, 30);
    const ParameterImage tuned = w->Image();
    const int steps = UndoSteps(*w);
    port_.sent.clear();
    for (int k = 0; k < kMapCells; ++k) {
      auto* cell = Get<QLineEdit>(*w, N(EditorNames::MapCellEdit(k)));
      QTest::mouseClick(cell, Qt::LeftButton);
      QTest::keyClick(cell, Qt::Key_Return);
    }
    Ticks(*w, 30);
    QVERIFY(Differences(tuned, w->Image()).empty());
    QCOMPARE(UndoSteps(*w), steps);
    for (const LinkFrame& f : port_.sent) QVERIFY(f[0] >= kBlockCount);

    auto* cell = Get<QLineEdit>(*w, N(EditorNames::MapCellEdit(MapCell(4, 4))));
    TypeAndEnter(cell, QString::number(cell->text().toInt() + 3));
    Ticks(*w, 30);
    const int offset = kInj1Map + 2 * MapCell(4, 4);
    const std::vector<int> changed = Differences(tuned, w->Image());
    QVERIFY(!changed.empty());
    for (int n : changed) QVERIFY2(n == offset || n == offset + 1, qPrintable(QString::number(n)));
    std::vector<int> blocks;
    for (const LinkFrame& f : port_.sent) {
      if (f[0] < kBlockCount) blocks.push_back(f[0]);
    }
    QCOMPARE(blocks, (std::vector<int>{BlockOfParam(offset)}));
  }

  // The map panel's TPS box is a parameter too: clicked during a Read it
  // commits nothing, and the read's refresh shows the unit's choice.
  void TheMapPanelBoxesCommitNothingDuringARead() {
    auto w = Make();
    ClickTab(Tabs(*w), PageAdvance);
    ParameterImage unit = w->Image();
    unit.P(42) = 0;  // advance from the intake pressure
    unit.P(35) = 95;
    port_.Reply = UnitWithMemory(unit);
    auto* tps = Get<QCheckBox>(*w, "CheckBoxTps_Uni");
    QVERIFY(tps->isChecked());
    ClickButton(Get<QAbstractButton>(*w, "ButtonRead"));
    for (int i = 0; i < 9; ++i) w->Timer1Timer();  // block 1 is in
    ClickButton(tps);  // off, as the unit has it, then on again: the unit's 0 must stay
    ClickButton(tps);
    ClickButton(Get<QCheckBox>(*w, "CheckBoxZobrMs_Uni"));
    QCOMPARE(int(w->Image().P(42)), 0);
    QCOMPARE(UndoSteps(*w), 0);
    for (int i = 0; i < 40; ++i) w->Timer1Timer();
    QCOMPARE(Get<QLabel>(*w, "LabelHlaseni")->text(), QString("Verify: OK"));
    QVERIFY(!tps->isChecked());
    QCOMPARE(int(w->Image().P(42)), 0);
  }

  void ProgrammingAfterChangeSendsEveryChangedBlockInOrder() {
    auto w = Make();
    port_.Reply = EchoBlockWrites;
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    ClickTab(Tabs(*w), PageInj1);
    ClickButton(Get<QCheckBox>(*w, "CheckBoxAll_Uni"));
    port_.sent.clear();
    // Map 1 (P+600..P+899) lies in blocks 5 and 6; in " 1 = 2" map 2
    // (P+900..P+1199, blocks 7 and 8) follows it.
    QTest::keyClick(w.get(), Qt::Key_F5);
    for (int i = 0; i < 30; ++i) w->Timer1Timer();
    std::vector<int> blocks;
    for (const LinkFrame& f : port_.sent) {
      if (f[0] < kBlockCount) blocks.push_back(f[0]);
    }
    QCOMPARE(blocks, (std::vector<int>{5, 6, 7, 8}));
    QCOMPARE(Get<QLabel>(*w, "LabelHlaseni")->text(), QString("Program device: OK"));
  }

  void TuningToggleChangesNoParameter() {
    auto w = Make();
    const ParameterImage before = w->Image();
    auto* box = Get<QCheckBox>(*w, "CheckBoxLadeniPovoleno");
    auto lastRequest = [&] {
      port_.sent.clear();
      for (int i = 0; i < 6; ++i) w->Timer1Timer();
      return port_.sent.empty() ? -1 : int(port_.sent.back()[0]);
    };
    QCOMPARE(lastRequest(), int(kPollCommand));
    QTest::keyClick(w.get(), Qt::Key_F6);
    QVERIFY(box->isChecked());
    QCOMPARE(w->Image(), before);
    QCOMPARE(UndoSteps(*w), 0);
    // The idle link asks for the tuned map instead of polling.
    QVERIFY(lastRequest() & kReadFlag);
    QTest::keyClick(w.get(), Qt::Key_F6);
    QVERIFY(!box->isChecked());
    QCOMPARE(lastRequest(), int(kPollCommand));
  }

  // ------------------------------------------------------------ status label

  // F8 against a unit that differs, then F9 and F8 that end well: the old
  // "Verify error!" is gone from the label and from the status bar.
  void ANewTransfersResultReplacesAnOldError() {
    auto w = Make();
    testsupport::ScriptedUnit unit(w->Image());
    unit.answerPolls = false;
    unit.Attach(port_);
    auto* status = Get<QLabel>(*w, "LabelHlaseni");
    // Read first: the unit is known, so no history notice covers the bar.
    QTest::keyClick(w.get(), Qt::Key_F7);
    for (int i = 0; i < 60 && w->Link().Outcome() == LinkOutcome::Running; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    ParameterImage other = w->Image();
    other.P(35) = static_cast<std::uint8_t>(other.P(35) + 1);
    for (int b = 1; b < kBlockCount; ++b) std::copy_n(other.Block(b).begin(), kBlockSize, unit.blocks[b].begin());
    QTest::keyClick(w.get(), Qt::Key_F8);
    for (int i = 0; i < 60 && w->Link().Outcome() == LinkOutcome::Running; ++i) w->Timer1Timer();
    QVERIFY2(status->text().startsWith("Verify error!"), qPrintable(status->text()));
    QVERIFY(w->statusBar()->currentMessage().startsWith("Verify error!"));

    for (Qt::Key key : {Qt::Key_F9, Qt::Key_F8}) {
      QTest::keyClick(w.get(), key);
      for (int i = 0; i < 60 && w->Link().Outcome() == LinkOutcome::Running; ++i) w->Timer1Timer();
      QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
      QVERIFY2(status->text().endsWith(": OK"), qPrintable(status->text()));
      QVERIFY2(!w->statusBar()->currentMessage().contains("error"), qPrintable(w->statusBar()->currentMessage()));
    }
  }

  void StatusLabelHiddenByAFileCommandStaysHidden() {
    auto w = Make();
    port_.Reply = UnitWithMemory(w->Image());
    auto* status = Get<QLabel>(*w, "LabelHlaseni");
    QTest::keyClick(w.get(), Qt::Key_F7);  // Read
    for (int i = 0; i < 40 && status->text() != "Verify: OK"; ++i) w->Timer1Timer();
    QCOMPARE(status->text(), QString("Verify: OK"));
    QVERIFY(status->isVisible());

    const ParameterImage file = testsupport::DefaultsOf();
    chosenFile_ = dir_->filePath("file.ign");
    QVERIFY(SaveParameterFile(chosenFile_.toStdString(), file, {}).Ok);
    QTest::keyClick(w.get(), Qt::Key_F3);
    QVERIFY(!status->isVisible());
    // The unit stops answering: the connection label comes, the old status
    // text does not.
    port_.Reply = nullptr;
    for (int i = 0; i < 40; ++i) w->Timer1Timer();
    QVERIFY(Get<QLabel>(*w, "LabelSpojeni")->isVisible());
    QVERIFY(!status->isVisible());
    // A new transaction shows its text again.
    QTest::keyClick(w.get(), Qt::Key_F8);  // Verify
    QVERIFY(status->isVisible());
    QCOMPARE(status->text(), QString("Verify:"));
  }
};

QTEST_MAIN(WindowProgrammingTest)
#include "window_programming_test.moc"

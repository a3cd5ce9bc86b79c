// The window's command and event wiring, driven through its controls by
// name, offscreen: settings kept between runs, the live operating point,
// the editing tools with undo, programming after a change, page-scoped file
// commands, the injection-map modes, the bike model change, printing and
// help. Modal questions and file dialogs are answered through the window's
// hooks.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "editor/names.h"
#include "editor/operating_point.h"
#include "editor/view.h"
#include "lang/control_texts.h"
#include "editor/undo.h"
#include "files/ign_file.h"
#include "form_hlav.h"
#include "model/defaults.h"
#include "widgets.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

// Records which watched widgets receive a paint event.
class PaintSpy : public QObject {
 public:
  QStringList Painted;
  std::function<void(QObject*)> OnPaint;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      Painted << watched->objectName();
      if (OnPaint) OnPaint(watched);
    }
    return false;
  }
};

bool IsLime(QWidget* w) {
  const QPalette::ColorRole role = qobject_cast<QLineEdit*>(w) ? QPalette::Base : QPalette::Window;
  return w->palette().color(role) == ToQColor(Colour::Lime);
}

}  // namespace

class WindowCommandsTest : public QObject, WindowFixture {
  Q_OBJECT

  ParameterImage before_;
  QByteArray home_;
  QByteArray configHome_;

 private slots:
  void initTestCase() {
    home_ = qgetenv("HOME");
    configHome_ = qgetenv("XDG_CONFIG_HOME");
  }

  // The printing tests point the documents directory elsewhere.
  void cleanup() {
    if (home_.isEmpty()) {
      qunsetenv("HOME");
    } else {
      qputenv("HOME", home_);
    }
    if (configHome_.isEmpty()) {
      qunsetenv("XDG_CONFIG_HOME");
    } else {
      qputenv("XDG_CONFIG_HOME", configHome_);
    }
  }

  void init() { Reset(); }

  // ------------------------------------------------------------ settings

  void SettingsSurviveCloseAndRestart() {
    {
      auto w = Make();
      Action(*w, "MenuGerman")->trigger();
      Action(*w, "MenuCom3")->trigger();
      QCOMPARE(port_.LastOpened(), 3);

      ClickTab(Tabs(*w), PageInj1);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxZobrMs_Uni"));
      ClickTab(Tabs(*w), PagePosition);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxAll_PolohaA"));
      ClickTab(Tabs(*w), PageMonitor);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxExtMonitor"));
      ClickTab(Tabs(*w), PageBike);
      TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), "97");
      QCOMPARE(int(w->Image().P(35)), 97);
      chosenFile_ = dir_->filePath("saved");
      QTest::keyClick(w.get(), Qt::Key_F2);
      QVERIFY(QFileInfo::exists(chosenFile_ + ".ign"));
      ClickTab(Tabs(*w), PageSensors);
      w->resize(1100, 760);
      QVERIFY(w->close());
    }
    port_ = ScriptedPort();
    auto w = Make();
    QCOMPARE(w->Language(), LanguageCode::German);
    QVERIFY(Action(*w, "MenuGerman")->isChecked());
    QCOMPARE(w->PageIndex(), int(PageSensors));
    QCOMPARE(Tabs(*w)->currentIndex(), int(PageSensors));
    QCOMPARE(port_.LastOpened(), 3);
    QVERIFY(Action(*w, "MenuCom3")->isChecked());
    for (const char* box : {"CheckBoxZobrMs_Uni", "CheckBoxAll_PolohaA", "CheckBoxExtMonitor"}) {
      QVERIFY2(Get<QCheckBox>(*w, box)->isChecked(), box);
    }
    QCOMPARE(int(w->Image().P(35)), 97);
    QCOMPARE(w->size(), QSize(1100, 760));
    // The file last saved names the window and starts the next dialog.
    const QString saved = dir_->filePath("saved.ign");
    QCOMPARE(QString::fromStdString(w->CurrentFileName()), saved);
    QVERIFY(w->windowTitle().endsWith("       " + saved));
    chosenFile_.clear();
    dialogs_.clear();
    QTest::keyClick(w.get(), Qt::Key_F3);
    QCOMPARE(dialogs_, QStringList{"open:" + saved});
  }

  void FileDialogsStartWhereTheCommandSays_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("programDir");
    QTest::newRow("open button") << "SpeedButtonOpen" << false << "open" << false;
    QTest::newRow("open button with Ctrl") << "SpeedButtonOpen" << true << "open" << true;
    QTest::newRow("save button") << "SpeedButtonSave" << false << "save" << false;
    QTest::newRow("save button with Ctrl") << "SpeedButtonSave" << true << "save" << true;
    QTest::newRow("Open") << "MenuOpen" << false << "open" << false;
    QTest::newRow("Open from exe dir") << "MenuOpenExeDir" << false << "open" << true;
    QTest::newRow("Save") << "MenuSave" << false << "save" << false;
    QTest::newRow("Save to exe dir") << "MenuSaveExeDir" << false << "save" << true;
  }
  void FileDialogsStartWhereTheCommandSays() {
    QFETCH(QString, control);
    QFETCH(bool, ctrl);
    QFETCH(QString, dialog);
    QFETCH(bool, programDir);
    auto w = Make();
    const ParameterImage before = w->Image();
    if (auto* b = Get<QAbstractButton>(*w, control)) {
      QTest::mouseClick(b, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::KeyboardModifiers());
    } else {
      QVERIFY(Action(*w, qPrintable(control)));
      Action(*w, qPrintable(control))->trigger();
    }
    const QString start = programDir ? dir_->filePath("program/data.ign") : QString();
    QCOMPARE(dialogs_, QStringList{dialog + ":" + start});
    // A cancelled dialog changes nothing.
    QCOMPARE(w->Image(), before);
    QVERIFY(w->CurrentFileName().empty());
  }

  void HandEditedSettingsFile_data() {
    QTest::addColumn<QString>("basic");
    QTest::addColumn<int>("openedPort");
    QTest::addColumn<QString>("checkedCom");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("page");
    QTest::newRow("automatic search from COM5") << "ComPort=21\nComPortAuto=5\n" << 5 << "MenuComAuto"
                                                << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("fixed port") << "ComPort=4\n" << 4 << "MenuCom4" << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("language and page out of range") << "Language=9\nPageControl1->ActivePageIndex=40\n" << 1
                                                    << "MenuCom1" << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("language and page in range") << "Language=3\nPageControl1->ActivePageIndex=12\n" << 1
                                                 << "MenuCom1" << int(LanguageCode::Czech) << int(PageMonitor);
  }
  void HandEditedSettingsFile() {
    QFETCH(QString, basic);
    QFETCH(int, openedPort);
    QFETCH(QString, checkedCom);
    QFETCH(int, language);
    QFETCH(int, page);
    QDir(dir_->path()).mkpath("config");
    QFile ini(dir_->filePath("config/Velmor_v78.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[BASIC]\n" + basic).toLatin1());
    ini.close();
    auto w = Make();
    QCOMPARE(port_.LastOpened(), openedPort);
    QVERIFY(Get<QAction>(*w, checkedCom)->isChecked());
    QCOMPARE(int(w->Language()), language);
    QCOMPARE(w->PageIndex(), page);
    QCOMPARE(Tabs(*w)->currentIndex(), page);
  }

  // ------------------------------------------------------------ names

  // The core addresses controls by name and the window skips a name it does
  // not find, so a misspelt name would fail silently.
  void EveryNameTheCoreAddressesExists() {
    auto w = Make();
    auto exists = [&](std::string_view name) {
      const QString n = N(name);
      return w->findChild<QWidget*>(n) || w->findChild<QAction*>(n);
    };
    QStringList missing;
    for (int id = 0; id < HighlightCount; ++id) {
      if (!exists(HighlightName(id))) missing << N(HighlightName(id));
    }
    ParameterImage image = w->Image();
    ViewModel view;
    for (std::uint8_t mode : {MapModeNormal, MapModeCoupled, MapModeEqual}) {
      image.P(47) = mode;
      for (int page = 0; page < PageCount; ++page) {
        for (bool flag : {false, true}) {
          ViewInputs in;
          in.Page = page;
          in.MsMode = flag;
          in.TuningOn = flag;
          velmor::RefreshView(image, in, view);
          for (const ControlState& state : view.States()) {
            if (!exists(state.Name)) missing << N(state.Name);
          }
        }
      }
    }
    for (int i = 0; i < kMonLabelCount; ++i) {
      if (!exists(MonLabelName(static_cast<MonLabel>(i)))) missing << MonLabelName(static_cast<MonLabel>(i));
    }
    for (int i = 0; i < kMonGaugeCount; ++i) {
      if (!exists(MonGaugeName(static_cast<MonGauge>(i)))) missing << MonGaugeName(static_cast<MonGauge>(i));
    }
    for (const ControlText& t : ControlTexts(LanguageCode::English)) {
      if (!exists(t.component)) missing << N(t.component);
    }
    missing.removeDuplicates();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
  }

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
    QVERIFY(std::equal(unit.ParamArea().begin(), unit.ParamArea().end(), w->Image().ParamArea().begin()));
    for (const LinkFrame& f : port_.sent) QVERIFY(f[0] >= kBlockCount);
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

  // ------------------------------------------------------------ page-scoped file commands

  void OpenForActualPageLoadsOnlyTheAdvancePage() {
    // A file of another bike with its own advance settings and other values.
    ParameterImage other;
    DerivedTables tables;
    other.P(0) = 5;
    ApplyDefaults(other, tables, DefaultsScope::Whole);
    for (int k = 0; k < kMapCells; ++k) other.P(kAdvanceMap + k) = static_cast<std::uint8_t>(10 + k % 30);
    for (int c = 0; c < kMapColumns; ++c) other.P(kAdvanceAxis + c) = static_cast<std::uint8_t>(8 + 6 * c);
    other.P(35) = 111;
    const QString path = dir_->filePath("other.ign");
    QVERIFY(SaveParameterFile(path.toStdString(), other, {}).Ok);

    auto w = Make();
    ClickTab(Tabs(*w), PageAdvance);
    const ParameterImage before = w->Image();
    chosenFile_ = path;
    QTest::keySequence(w.get(), QKeySequence("Shift+F3"));
    QVERIFY(messages_.isEmpty());
    const std::vector<int> changed = Differences(before, w->Image());
    QVERIFY(!changed.empty());
    for (int n : changed) {
      const bool advance = (n >= 42 && n <= 45) || (n >= kAdvanceAxis && n < kAdvanceAxis + kMapColumns) ||
                           (n >= kAdvanceMap && n < kAdvanceMap + kMapCells);
      QVERIFY2(advance, qPrintable(QString("P+%1 changed").arg(n)));
    }
    for (int k = 0; k < kMapCells; ++k) QCOMPARE(w->Image().P(kAdvanceMap + k), other.P(kAdvanceMap + k));
    QCOMPARE(Get<QLineEdit>(*w, "EditMapCell0")->text(), QString::number(other.P(kAdvanceMap)));
    QCOMPARE(QString::fromStdString(w->CurrentFileName()), path);
    QCOMPARE(UndoSteps(*w), 1);
  }

  // What the desktop starts for a double-clicked file: `velmor [LANGUAGE]
  // FILE`. The file opens once the window runs, as File → Open opens it.
  void FileOnTheCommandLineOpensAfterStartUp_data() {
    QTest::addColumn<QStringList>("args");  // "%1" stands for the file
    QTest::addColumn<int>("language");
    QTest::newRow("the file alone") << QStringList{"%1"} << int(LanguageCode::English);
    QTest::newRow("a language word first") << QStringList{"DEUTSCH", "%1"} << int(LanguageCode::German);
    QTest::newRow("a language word after it") << QStringList{"%1", "CESKY"} << int(LanguageCode::English);
  }
  void FileOnTheCommandLineOpensAfterStartUp() {
    QFETCH(QStringList, args);
    QFETCH(int, language);
    ParameterImage file;
    DerivedTables tables;
    file.P(0) = 5;
    ApplyDefaults(file, tables, DefaultsScope::Whole);
    file.P(35) = 111;
    file.P(kAdvanceMap + 7) = 33;
    QVERIFY(QDir().mkpath(dir_->filePath("my tunes")));
    const QString path = dir_->filePath("my tunes/r1 race.ign");
    QVERIFY(SaveParameterFile(path.toStdString(), file, {}).Ok);
    std::vector<std::string> argv;
    for (const QString& a : args) argv.push_back((a == "%1" ? path : a).toStdString());

    auto w = Make(argv);
    QTRY_COMPARE(QString::fromStdString(w->CurrentFileName()), path);
    QCOMPARE(int(w->Language()), language);
    QCOMPARE(int(w->Image().P(35)), 111);
    QCOMPARE(int(w->Image().P(kAdvanceMap + 7)), 33);
    QVERIFY2(w->windowTitle().endsWith(path), qPrintable(w->windowTitle()));
    QVERIFY(messages_.isEmpty());
    // One undo step, back to the image the window started with.
    QCOMPARE(UndoSteps(*w), 1);
    Action(*w, "MenuZpet")->trigger();
    QVERIFY(w->Image().P(35) != 111);
  }

  // A file that brings a message shows it as File → Open would; a path that
  // names nothing is told in the status bar and the window starts as usual.
  void FileOnTheCommandLineThatDoesNotOpenCleanly() {
    const QString older = dir_->filePath("older.ign");
    std::string text = WriteParameterText(ParameterImage{}, {});
    const std::size_t version = text.find(" 78");
    QVERIFY(version != std::string::npos && version < 40);
    text.replace(version, 3, " 63");
    QVERIFY(AtomicWriteFile(older.toStdString(), text).Ok);
    {
      auto w = Make({"FRENCH", older.toStdString()});
      QTRY_COMPARE(QString::fromStdString(w->CurrentFileName()), older);
      QCOMPARE(messages_, QStringList{QString::fromStdString(
                              std::string(CatalogText(MsgKey::MsgFileOlderVersion, LanguageCode::French)))});
    }
    messages_.clear();
    const QString missing = dir_->filePath("gone.ign");
    // A control under the pointer would put its hint over the message.
    QCursor::setPos(0, 0);
    auto w = Make({"DEUTSCH", missing.toStdString()});
    const QString expected =
        QString::fromStdString(std::string(CatalogText(MsgKey::MsgFileOpenError, LanguageCode::German))) + " " +
        missing;
    QTRY_COMPARE(w->statusBar()->currentMessage(), expected);
    QVERIFY(messages_.isEmpty());
    QVERIFY(w->CurrentFileName().empty());
    QCOMPARE(UndoSteps(*w), 0);
  }

  void NewAsksFirst_data() {
    QTest::addColumn<QString>("command");  // a shortcut, or a tool button's name
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("pageReset");
    QTest::addColumn<bool>("otherPageReset");
    const QString page = "Do you want default setting for this page?";
    const QString whole = "Do you want default setting?";
    QTest::newRow("page: yes") << "Ctrl+Alt+N" << int(QMessageBox::Yes) << page << true << false;
    QTest::newRow("page: no") << "Ctrl+Alt+N" << int(QMessageBox::No) << page << false << false;
    QTest::newRow("page: cancel") << "Ctrl+Alt+N" << int(QMessageBox::Cancel) << page << false << false;
    QTest::newRow("whole: yes") << "Ctrl+N" << int(QMessageBox::Yes) << whole << true << true;
    QTest::newRow("whole: no") << "Ctrl+N" << int(QMessageBox::No) << whole << false << false;
    QTest::newRow("whole from the tool button") << "SpeedButton6" << int(QMessageBox::Yes) << whole << true << true;
  }
  void NewAsksFirst() {
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(bool, pageReset);
    QFETCH(bool, otherPageReset);
    auto w = Make();
    ClickTab(Tabs(*w), PageBike);
    const int fan = w->Image().P(35);
    const int advance = w->Image().P(kAdvanceMap);
    TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), QString::number(fan + 7));
    w->Image().P(kAdvanceMap) = static_cast<std::uint8_t>(advance + 3);  // another page's byte
    const int steps = UndoSteps(*w);
    answer_ = static_cast<QMessageBox::StandardButton>(answer);
    if (auto* b = Get<QAbstractButton>(*w, command)) {
      ClickButton(b);
    } else {
      QTest::keySequence(w.get(), QKeySequence(command));
    }
    QCOMPARE(questions_, QStringList{question});
    QCOMPARE(int(w->Image().P(35)), pageReset ? fan : fan + 7);
    QCOMPARE(Get<QLineEdit>(*w, "EditFan1")->text(), QString::number(pageReset ? fan : fan + 7));
    QCOMPARE(int(w->Image().P(kAdvanceMap)), otherPageReset ? advance : advance + 3);
    QCOMPARE(UndoSteps(*w), steps + (pageReset ? 1 : 0));
  }

  void PageCommandsDoNothingOnCoupledInjectionPages() {
    auto w = Make();
    Action(*w, "Menu_Jet123Coupled")->trigger();
    ClickTab(Tabs(*w), PageInj1);
    QVERIFY(!Action(*w, "MenuOpenActPage")->isEnabled());
    QVERIFY(!Action(*w, "MenuNewActPage")->isEnabled());
    chosenFile_ = dir_->filePath("missing.ign");
    w->MenuOpenActPageClick();  // even when reached directly
    QVERIFY(messages_.isEmpty());
    ClickTab(Tabs(*w), PageAdvance);
    QVERIFY(Action(*w, "MenuOpenActPage")->isEnabled());
  }

  // ------------------------------------------------------------ injection-map modes

  void InjectionMapModes() {
    auto w = Make();
    auto* tabs = Tabs(*w);
    QVERIFY(Action(*w, "Menu_Jet123Stejny")->isChecked());
    QVERIFY(!tabs->isTabVisible(PageInj2));

    Action(*w, "Menu_Jet123Normal")->trigger();
    QCOMPARE(int(w->Image().P(47)), int(MapModeNormal));
    QVERIFY(tabs->isTabVisible(PageInj2));
    QCOMPARE(UndoSteps(*w), 1);  // the mode byte is a change

    // A separate axis for map 2, typed on its page.
    ClickTab(tabs, PageInj2);
    const int axis0 = w->Image().P(kInj2Axis);
    TypeAndEnter(Get<QLineEdit>(*w, "EditRpmAxisField0"), QString::number((axis0 + 2) * 100));
    QCOMPARE(int(w->Image().P(kInj2Axis)), axis0 + 2);
    QVERIFY(w->Image().P(kInj2Axis) != w->Image().P(kInj1Axis));

    // Normal again leaves both axes.
    Action(*w, "Menu_Jet123Normal")->trigger();
    QCOMPARE(int(w->Image().P(kInj2Axis)), axis0 + 2);

    Action(*w, "Menu_Jet123Coupled")->trigger();
    QCOMPARE(int(w->Image().P(47)), int(MapModeCoupled));
    for (int c = 0; c < kMapColumns; ++c) QCOMPARE(w->Image().P(kInj2Axis + c), w->Image().P(kInj1Axis + c));
    QCOMPARE(Get<QLineEdit>(*w, "EditRpmAxisField0")->text(), QString::number(w->Image().P(kInj1Axis) * 100));
    QVERIFY(tabs->isTabVisible(PageInj2));
    QVERIFY(Action(*w, "Menu_Jet123Coupled")->isChecked());
    QVERIFY(!Action(*w, "Menu_Jet123Normal")->isChecked());
    const int steps = UndoSteps(*w);

    // "1 = 2" on page 3 moves to page 2 and hides page 3.
    QCOMPARE(tabs->currentIndex(), int(PageInj2));
    Action(*w, "Menu_Jet123Stejny")->trigger();
    QCOMPARE(w->PageIndex(), int(PageInj1));
    QCOMPARE(tabs->currentIndex(), int(PageInj1));
    QVERIFY(!tabs->isTabVisible(PageInj2));
    QCOMPARE(UndoSteps(*w), steps + 1);
    QCOMPARE(Get<QLabel>(*w, "MapHeaderLabel5")->text(), QString("  1 = 2  "));
  }

  // Each undo shows the page its change was made on: " 1 = 2" was chosen
  // on page 3 but moved to page 2 as part of the change, the cell was typed
  // on page 3.
  void UndoOfAModeChangeBringsTheSecondMapPageBack() {
    auto w = Make();
    Action(*w, "Menu_Jet123Normal")->trigger();
    ClickTab(Tabs(*w), PageInj2);
    const QString old = Get<QLineEdit>(*w, "EditMapCell3")->text();
    TypeAndEnter(Get<QLineEdit>(*w, "EditMapCell3"), "120");
    Action(*w, "Menu_Jet123Stejny")->trigger();
    QCOMPARE(w->PageIndex(), int(PageInj1));
    ClickTab(Tabs(*w), PageBike);
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QCOMPARE(int(w->Image().P(47)), int(MapModeNormal));
    QVERIFY(Tabs(*w)->isTabVisible(PageInj2));
    QCOMPARE(w->PageIndex(), int(PageInj1));
    QCOMPARE(Tabs(*w)->currentIndex(), int(PageInj1));
    ClickTab(Tabs(*w), PageInj2);
    QCOMPARE(Get<QLineEdit>(*w, "EditMapCell3")->text(), QString("120"));
    ClickTab(Tabs(*w), PageBike);
    QTest::keySequence(w.get(), QKeySequence("Ctrl+Z"));
    QCOMPARE(w->PageIndex(), int(PageInj2));
    QCOMPARE(Get<QLineEdit>(*w, "EditMapCell3")->text(), old);
    QCOMPARE(UndoSteps(*w), 1);  // the choice of separate maps
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
    QTest::newRow("idle control: no snapshot") << "RadioGroupIdleMode" << int(PageIdle) << 333 << false;
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
    ParameterImage file;
    DerivedTables tables;
    ApplyDefaults(file, tables, DefaultsScope::Whole);
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

  // ------------------------------------------------------------ bike model

  void BikeModelChange_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("no keeps the settings") << int(QMessageBox::No);
    QTest::newRow("yes loads the model's defaults") << int(QMessageBox::Yes);
  }
  void BikeModelChange() {
    QFETCH(int, answer);
    auto w = Make();
    QCOMPARE(int(w->Image().P(0)), 0);
    ClickTab(Tabs(*w), PageInj1);
    TypeAndEnter(Get<QLineEdit>(*w, "EditMapCell20"), "110");
    const std::uint16_t oldTime = w->Image().Word(kInj1Map + 2 * 20);
    ClickTab(Tabs(*w), PageBike);
    const int fan = w->Image().P(35);
    TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), QString::number(fan + 5));

    answer_ = static_cast<QMessageBox::StandardButton>(answer);
    auto* combo = Get<QComboBox>(*w, "ComboBoxBike");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(questions_, QStringList{"Do you want default setting?"});
    QCOMPARE(int(w->Image().P(0)), 1);

    ClickTab(Tabs(*w), PageInj1);
    const std::uint16_t newTime = w->Image().Word(kInj1Map + 2 * 20);
    const std::uint16_t base = w->Tables().BaseTime1[20];
    if (answer == QMessageBox::No) {
      QCOMPARE(int(w->Image().P(35)), fan + 5);
      QCOMPARE(Get<QLineEdit>(*w, "EditMapCell20")->text(), QString("110"));
      QVERIFY(newTime != oldTime);  // the larger engine's base time
      QCOMPARE(int(newTime), (110 * base + 50) / 100);
    } else {
      QCOMPARE(int(w->Image().P(35)), fan);
      QCOMPARE(Get<QLineEdit>(*w, "EditMapCell20")->text(), QString("100"));
      QCOMPARE(int(newTime), int(base));
    }
    // Map 2 follows map 1 in " 1 = 2".
    QCOMPARE(w->Image().Word(kInj2Map + 2 * 20), newTime);
  }

  // Cancel on a model, and the separator item (which asks nothing), leave
  // the image, the history and the list as they were.
  void BikeModelChangeCancelledOrSeparatorChangesNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("asked");
    QTest::newRow("another model, cancel") << int(Qt::Key_Down) << true;
    QTest::newRow("separator") << int(Qt::Key_End) << false;
  }
  void BikeModelChangeCancelledOrSeparatorChangesNothing() {
    QFETCH(int, key);
    QFETCH(bool, asked);
    auto w = Make();
    port_.Reply = EchoBlockWrites;
    ClickButton(Get<QCheckBox>(*w, "CheckBoxProgHned"));
    ClickTab(Tabs(*w), PageBike);
    TypeAndEnter(Get<QLineEdit>(*w, "EditBuzeni"), "2500");
    QCOMPARE(int(w->Image().P(4)), 25);
    for (int i = 0; i < 20; ++i) w->Timer1Timer();
    port_.sent.clear();
    const ParameterImage before = w->Image();
    const int steps = UndoSteps(*w);
    answer_ = QMessageBox::Cancel;
    auto* combo = Get<QComboBox>(*w, "ComboBoxBike");
    combo->setFocus();
    QTest::keyClick(combo, static_cast<Qt::Key>(key));
    QCOMPARE(questions_.size(), asked ? 1 : 0);
    QCOMPARE(w->Image(), before);
    QCOMPARE(UndoSteps(*w), steps);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(Get<QLineEdit>(*w, "EditBuzeni")->text(), QString("2500"));
    for (int i = 0; i < 20; ++i) w->Timer1Timer();
    for (const LinkFrame& f : port_.sent) QVERIFY(f[0] >= kBlockCount);  // nothing programmed
  }

  // ------------------------------------------------------------ printing

  void PrintingWritesAPdfOfThePageShown_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("bike") << int(PageBike);
    QTest::newRow("injection 1") << int(PageInj1);
  }
  void PrintingWritesAPdfOfThePageShown() {
    QFETCH(int, page);
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed: the page would be printed");
    const QString home = dir_->filePath("home");
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());

    auto w = Make();
    ClickTab(Tabs(*w), page);
    for (int i = 0; i < 30; ++i) w->Timer1Timer();  // a silent unit: the no-connection label shows
    QVERIFY(Get<QLabel>(*w, "LabelSpojeni")->isVisible());
    std::vector<bool> tabsBefore;
    for (int p = 0; p < PageCount; ++p) tabsBefore.push_back(Tabs(*w)->isTabVisible(p));
    QVERIFY(!tabsBefore[PageInj2]);  // hidden by " 1 = 2"

    // What reaches the paper: the widgets painted while the page is printed.
    const QString field = page == PageBike ? "EditFan1" : "EditMapCell0";
    const QString gadget = page == PageBike ? "UpDownFan1" : "UpDownMapCell0";
    auto* header = Get<QLabel>(*w, "LabelHlaseni");
    PaintSpy spy;
    QString headerText;
    bool headerFits = false;
    int tabsShown = 0;
    spy.OnPaint = [&](QObject* o) {
      if (o != header) return;
      headerText = header->text();
      headerFits = header->contentsRect().width() >= header->fontMetrics().horizontalAdvance(headerText);
      tabsShown = 0;
      for (int p = 0; p < PageCount; ++p) tabsShown += Tabs(*w)->isTabVisible(p) ? 1 : 0;
    };
    for (const QString& name : {QString("LabelHlaseni"), QString("LabelSpojeni"), QString("SpeedButtonOpen"),
                                QString("ButtonRead"), field, gadget}) {
      QWidget* target = Get<QWidget>(*w, name);
      QVERIFY2(target, qPrintable(name));
      target->installEventFilter(&spy);
    }
    QTest::keySequence(w.get(), QKeySequence("Ctrl+P"));
    QVERIFY(spy.Painted.contains(field));
    QVERIFY(spy.Painted.contains("LabelHlaseni"));
    QVERIFY(!spy.Painted.contains("LabelSpojeni"));
    QVERIFY(!spy.Painted.contains(gadget));
    QVERIFY(!spy.Painted.contains("SpeedButtonOpen"));
    QVERIFY(!spy.Painted.contains("ButtonRead"));
    QVERIFY2(headerText.startsWith("Date and time of printing:  "), qPrintable(headerText));
    QVERIFY2(headerFits, qPrintable(headerText));
    QCOMPARE(tabsShown, 1);

    const QString pdf = QString::fromStdString(w->LastPrintFile());
    QVERIFY2(pdf.startsWith(home), qPrintable(pdf));
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(header->text(), "Saved as PDF: " + pdf);
    QCOMPARE(Get<QStatusBar>(*w, "StatusBar1")->currentMessage(), "Saved as PDF: " + pdf);

    // The window is back as the configuration shows it.
    for (int p = 0; p < PageCount; ++p) QCOMPARE(Tabs(*w)->isTabVisible(p), bool(tabsBefore[p]));
    QVERIFY(Get<QWidget>(*w, "StatusBar1")->isVisible());
    QVERIFY(Get<QWidget>(*w, "GroupBoxToolBar")->isVisible());
    QVERIFY(Get<QWidget>(*w, gadget)->isVisible());
    if (page == PageInj1) {
      QVERIFY(Get<QWidget>(*w, "CheckBoxAll_Uni")->isVisible());
      // The throttle row labels stay white.
      QCOMPARE(Get<QLabel>(*w, "TpsRowLabel9")->palette().color(QPalette::Window), QColor(Qt::white));
    }

    QProcess render;
    const QString png = dir_->filePath("page");
    render.start("pdftoppm", {"-png", "-r", "40", "-singlefile", pdf, png});
    if (!render.waitForFinished(20000) || render.exitStatus() != QProcess::NormalExit || render.exitCode() != 0) {
      QSKIP("pdftoppm not available: the rendered page is not checked");
    }
    const QImage image(png + ".png");
    QVERIFY(!image.isNull());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 200) ++dark;
      }
    }
    QVERIFY2(dark > image.width() * image.height() / 200, qPrintable(QString("%1 dark pixels").arg(dark)));
    // VELMOR_KEEP_PRINT=/some/prefix keeps the rendered page for a look.
    if (qEnvironmentVariableIsSet("VELMOR_KEEP_PRINT")) {
      const QString kept = qEnvironmentVariable("VELMOR_KEEP_PRINT") + QString::number(page) + ".png";
      QFile::remove(kept);
      QFile::copy(png + ".png", kept);
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

    ParameterImage file;
    DerivedTables tables;
    ApplyDefaults(file, tables, DefaultsScope::Whole);
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

  void PrintHeaderDisappearsAfterItsCountdown() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed: the page would be printed");
    const QString home = dir_->filePath("home");
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    auto w = Make();
    auto* header = Get<QLabel>(*w, "LabelHlaseni");
    QVERIFY(!header->isVisible());
    w->SpeedButtonPrintClick();
    QVERIFY(header->isVisible());
    for (int i = 0; i < 199; ++i) w->Timer1Timer();
    QVERIFY(header->isVisible());
    w->Timer1Timer();
    QVERIFY(!header->isVisible());
  }

  void FailedPrintLeavesNoPrintState() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed: the page would be printed");
    // Home is a file: no documents directory can be made there.
    const QString home = dir_->filePath("home-file");
    QFile f(home);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());

    auto w = Make();
    ClickTab(Tabs(*w), PageBike);
    w->SpeedButtonPrintClick();
    QVERIFY(w->LastPrintFile().empty());
    QVERIFY(Get<QLabel>(*w, "LabelHlaseni")->text().startsWith("Open file error!"));
    QVERIFY(Get<QWidget>(*w, "UpDownFan1")->isVisible());
    QVERIFY(Tabs(*w)->isTabVisible(PageAdvance));
    QVERIFY(!Tabs(*w)->isTabVisible(PageInj2));
    // The tick shows the no-connection label again: printing is over.
    for (int i = 0; i < 30; ++i) w->Timer1Timer();
    QVERIFY(Get<QLabel>(*w, "LabelSpojeni")->isVisible());
  }

  // ------------------------------------------------------------ help

  void HelpWithoutTheDocumentSaysSo_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("message");
    QTest::newRow("english") << "ENGLISH" << "Error by opening file Velmor_en.pdf !";
    QTest::newRow("czech") << "CESKY" << QString::fromUtf8("Chyba při otevírání souboru Velmor_cz.pdf !");
  }
  void HelpWithoutTheDocumentSaysSo() {
    QFETCH(QString, language);
    QFETCH(QString, message);
    auto w = Make({language.toStdString()});
    QTest::keyClick(w.get(), Qt::Key_F1);
    QCOMPARE(messages_, QStringList{message});
  }
};

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"

// What the pages show and which commands act on them, offscreen: every
// control name the core addresses, the page-scoped file commands and New,
// the injection-map modes and the bike model change. Modal questions and
// file dialogs are answered through the window's hooks.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include "editor/names.h"
#include "editor/view.h"
#include "files/ign_file.h"
#include "ui/window/form_hlav.h"
#include "lang/control_texts.h"
#include "model/defaults.h"
#include "window_harness.h"
#include "test_images.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

class WindowMapModesTest : public QObject, WindowFixture {
  Q_OBJECT

 private slots:
  void init() { Reset(); }

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

  // ------------------------------------------------------------ page-scoped file commands

  void OpenForActualPageLoadsOnlyTheAdvancePage() {
    // A file of another bike with its own advance settings and other values.
    ParameterImage other = testsupport::DefaultsOf(5);
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
};

QTEST_MAIN(WindowMapModesTest)
#include "window_map_modes_test.moc"

// The window end to end: its own 55 ms timer, the QSerialPort adapter and the
// simulated unit on a pseudo-terminal standing in for COM1.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <atomic>
#include <thread>
#include <QtTest>

#include "ui/history/compare_dialog.h"
#include "editor/names.h"
#include "files/history.h"
#include "ui/history/history_keeper.h"
#include "ui/window/form_hlav.h"
#include "pty_server.h"
#include "qt_serial_port.h"
#include "test_images.h"
#include "ui/widgets/widgets.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;

namespace {

// The simulated unit on a pseudo-terminal of the test's own, which COM1
// names, and the window over the real serial port adapter, its settings and
// program folders in the test's directory. The unit starts with Start();
// the window is made by Make() so that the test hooks its message boxes
// before Show().
struct SimWindow {
  QTemporaryDir dir;
  std::string link = dir.filePath("unit").toStdString();
  std::unique_ptr<sim::PtyServer> server = std::make_unique<sim::PtyServer>();
  std::string error;
  platform::PortDevices devices;
  platform::QtSerialPort port{devices};
  std::unique_ptr<TFormHlav> window;

  SimWindow() { devices.SetOverride(1, link); }
  bool Start() { return server->Start(link, &error); }
  ParameterImage UnitMemory() { return server->WithUnit([](sim::SimUnit& u) { return u.Memory(); }); }
  // The window with `dialogs` from the start; the empty ones are Qt's.
  TFormHlav& Make(WindowDialogs dialogs = {}) {
    FormOptions o;
    o.ConfigDir = dir.filePath("config").toStdString();
    o.ProgramDir = dir.filePath("program").toStdString();
    o.Dialogs = std::move(dialogs);
    window = std::make_unique<TFormHlav>(port, o);
    return *window;
  }
  bool Show() {
    window->show();
    return QTest::qWaitForWindowExposed(window.get());
  }
};

}  // namespace

class WindowLinkE2eTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadFromTheMenuShowsTheUnitsValuesAndTheEngine() {
    SimWindow s;
    auto& server = *s.server;
    QVERIFY2(s.Start(), s.error.c_str());
    // Values the window's own defaults do not have.
    server.WithUnit([](sim::SimUnit& u) {
      u.Memory().P(35) = 97;
      u.Memory().P(41) = 99;
    });

    QStringList messages;
    TFormHlav& w = s.Make({.AskYesNoCancel = [](const QString&) { return QMessageBox::No; },
                           .ShowMessageBox = [&](const QString& text) { messages << text; }});
    QVERIFY(s.Show());
    QVERIFY2(s.port.IsOpen(), s.port.OpenErrorReason().c_str());
    for (int i = 0; i < 3; ++i) QCOMPARE(w.findChild<QLabel*>(QString("LabelVerze%1").arg(i + 1))->text(), QString());

    w.findChild<QAction*>("MenuRead")->trigger();
    auto* status = w.findChild<QLabel*>("LabelHlaseni");
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Verify: OK"), 30000);
    QVERIFY(messages.isEmpty());

    const ParameterImage unit = s.UnitMemory();
    QCOMPARE(w.Image(), unit);
    QCOMPARE(w.findChild<QLabel*>("LabelVerze1")->text(), QString("Velmor simulated unit"));
    QCOMPARE(w.findChild<QLabel*>("LabelVerze2")->text(), QString("14. 4.2024"));
    QCOMPARE(w.findChild<QLabel*>("LabelVerze3")->text(), QString("09:30"));
    QVERIFY(w.CurrentFileName().empty());

    wtest::ClickTab(w.findChild<QTabWidget*>("PageControl1"), PageBike);
    QCOMPARE(w.findChild<QLineEdit*>("EditFan1")->text(), QString("97"));
    QCOMPARE(w.findChild<QLineEdit*>("EditFan2")->text(), QString("99"));

    // Idle again, the monitor runs: the live speed is shown and the engine's
    // operating point is lit in the map shown.
    wtest::ClickTab(w.findChild<QTabWidget*>("PageControl1"), PageInj1);
    QTRY_VERIFY_WITH_TIMEOUT(w.findChild<QLabel*>("LabelRpm")->text().startsWith("RPM = "), 10000);
    auto litCells = [&] {
      int lit = 0;
      for (int k = 0; k < kMapCells; ++k) {
        const std::string_view name = EditorNames::MapCellEdit(k);
        auto* e = w.findChild<QLineEdit*>(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
        if (e->palette().color(QPalette::Base) == ToQColor(Colour::Lime)) ++lit;
      }
      return lit;
    };
    QTRY_COMPARE_WITH_TIMEOUT(litCells(), 1, 10000);
    QVERIFY(!w.findChild<QLabel*>("LabelSpojeni")->isVisible());

    // Programming after change: a Bike value reaches the unit in one block
    // write.
    auto* program = w.findChild<QCheckBox*>("CheckBoxProgHned");
    wtest::ClickButton(program);
    QVERIFY(program->isChecked());
    wtest::ClickTab(w.findChild<QTabWidget*>("PageControl1"), PageBike);
    const std::uint32_t writes = server.WithUnit([](sim::SimUnit& u) { return u.Counters().Writes; });
    QVERIFY(wtest::ClickArrow(w.findChild<UpDown*>("UpDownFan1"), true));
    QCOMPARE(int(w.Image().P(35)), 98);
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Program device: OK"), 10000);
    QCOMPARE(server.WithUnit([](sim::SimUnit& u) { return u.Counters().Writes; }), writes + 1);
    QCOMPARE(int(server.WithUnit([](sim::SimUnit& u) { return u.Memory().P(35); })), 98);
    QVERIFY(messages.isEmpty());
    w.close();
  }

  // Every good Read and Program keeps one history file holding what it
  // moved; the first Program of a unit this session never read says that
  // its previous tune was not kept.
  void ReadAndProgramKeepWhatTheyMovedInTheHistory() {
    SimWindow s;
    qputenv("VELMOR_DATA_DIR", s.dir.filePath("data").toUtf8());
    auto& server = *s.server;
    QVERIFY2(s.Start(), s.error.c_str());
    server.WithUnit([](sim::SimUnit& u) { u.Memory().P(35) = 97; });
    auto unit = [&] { return s.UnitMemory(); };
    auto fileImage = [](const std::string& path) {
      ParameterImage image;
      testsupport::ReadImage(path, image);
      return image;
    };
    using testsupport::SameParameters;
    const std::string history = s.dir.filePath("data/history").toStdString();
    auto* status = static_cast<QLabel*>(nullptr);
    {
      TFormHlav& w = s.Make({.ShowMessageBox = [](const QString& text) { QFAIL(qPrintable(text)); }});
      QVERIFY(s.Show());
      QCOMPARE(w.History().Directory(), history);
      status = w.findChild<QLabel*>("LabelHlaseni");

      // Program first: the unit's tune before it is lost, and the window says so.
      QTest::keyClick(&w, Qt::Key_F9);
      QTRY_COMPARE_WITH_TIMEOUT(int(w.Link().Outcome()), int(LinkOutcome::VerifyOk), 30000);
      QCOMPARE(w.statusBar()->currentMessage(), QString("No copy of the unit's previous tune in the history"));
      std::vector<HistoryEntry> list = ListHistory(history);
      QCOMPARE(int(list.size()), 1);
      QCOMPARE(list[0].Kind, HistoryKind::Program);
      QVERIFY(SameParameters(fileImage(list[0].Path), unit()));
      w.statusBar()->clearMessage();

      // Read: one more file, equal to the unit.
      server.WithUnit([](sim::SimUnit& u) { u.Memory().P(35) = 95; });
      QTest::keyClick(&w, Qt::Key_F7);
      QTRY_COMPARE_WITH_TIMEOUT(int(w.Link().Outcome()), int(LinkOutcome::VerifyOk), 30000);
      list = ListHistory(history);
      QCOMPARE(int(list.size()), 2);
      QCOMPARE(list[0].Kind, HistoryKind::Read);
      QCOMPARE(QString::fromStdString(list[0].UnitName), QString("Velmor_simulated_unit"));
      QCOMPARE(int(fileImage(list[0].Path).P(35)), 95);
      QVERIFY(SameParameters(fileImage(list[0].Path), unit()));

      // A Program of the unit just read warns of nothing.
      w.Image().P(35) = 93;
      QTest::keyClick(&w, Qt::Key_F9);
      QTRY_COMPARE_WITH_TIMEOUT(int(w.Link().Outcome()), int(LinkOutcome::VerifyOk), 30000);
      QCOMPARE(w.statusBar()->currentMessage(), QString());
      list = ListHistory(history);
      QCOMPARE(int(list.size()), 3);
      QCOMPARE(int(unit().P(35)), 93);
      QVERIFY(SameParameters(fileImage(list[0].Path), unit()));

      // Programming after change: the first change is kept at once, the
      // next within the minute waits, and closing keeps it.
      auto* program = w.findChild<QCheckBox*>("CheckBoxProgHned");
      wtest::ClickButton(program);
      QVERIFY(program->isChecked());
      wtest::ClickTab(w.findChild<QTabWidget*>("PageControl1"), PageBike);
      QVERIFY(wtest::ClickArrow(w.findChild<UpDown*>("UpDownFan1"), true));
      QTRY_COMPARE_WITH_TIMEOUT(int(unit().P(35)), 94, 10000);
      QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Program device: OK"), 10000);
      QCOMPARE(int(ListHistory(history).size()), 4);
      QVERIFY(wtest::ClickArrow(w.findChild<UpDown*>("UpDownFan1"), true));
      QTRY_COMPARE_WITH_TIMEOUT(int(unit().P(35)), 95, 10000);
      QTest::qWait(300);
      QCOMPARE(int(ListHistory(history).size()), 4);
      w.close();
    }
    s.window.reset();
    const std::vector<HistoryEntry> list = ListHistory(history);
    QCOMPARE(int(list.size()), 5);
    QCOMPARE(int(fileImage(list[0].Path).P(35)), 95);
    qunsetenv("VELMOR_DATA_DIR");
  }

  // Two fields changed after a Read: comparing with the unit reads it again
  // into a separate image without touching the editor and lists exactly
  // those two; applying one of them takes back only that one, in one undo
  // step.
  void CompareWithTheUnitShowsTheEditsSinceTheReadAndAppliesTheChosenOne() {
    SimWindow s;
    qputenv("VELMOR_DATA_DIR", s.dir.filePath("data").toUtf8());
    QVERIFY2(s.Start(), s.error.c_str());
    s.server->WithUnit([](sim::SimUnit& u) {
      u.Memory().P(35) = 90;
      u.Memory().P(41) = 92;
    });
    TFormHlav& w = s.Make({.ShowMessageBox = [](const QString& text) { QFAIL(qPrintable(text)); }});
    QVERIFY(s.Show());
    const std::string history = s.dir.filePath("data/history").toStdString();

    QTest::keyClick(&w, Qt::Key_F7);
    QTRY_COMPARE_WITH_TIMEOUT(int(w.Link().Outcome()), int(LinkOutcome::VerifyOk), 30000);
    wtest::ClickTab(w.findChild<QTabWidget*>("PageControl1"), PageBike);
    QVERIFY(wtest::ClickArrow(w.findChild<UpDown*>("UpDownFan1"), true));
    QVERIFY(wtest::ClickArrow(w.findChild<UpDown*>("UpDownFan2"), true));
    QCOMPARE(int(w.Image().P(35)), 91);
    QCOMPARE(int(w.Image().P(41)), 93);
    const ParameterImage edited = w.Image();
    const int undoBefore = UndoDepth(w.Undo());
    const std::size_t kept = ListHistory(history).size();

    w.findChild<QAction*>("MenuCompareUnit")->trigger();
    CompareDialog* compare = nullptr;
    QVERIFY(QTest::qWaitFor([&] { return (compare = w.findChild<CompareDialog*>("CompareDialog")) != nullptr; }, 30000));
    QCOMPARE(w.Image(), edited);
    QCOMPARE(UndoDepth(w.Undo()), undoBefore);
    QCOMPARE(ListHistory(history).size(), kept + 1);  // the unit's tune, kept like any Read's
    QCOMPARE(int(compare->Differences().size()), 2);
    QCOMPARE(compare->Differences()[0].Offset, 35);
    QCOMPARE(compare->Differences()[1].Offset, 41);
    QCOMPARE(QString::fromStdString(compare->Differences()[0].ValueB), QString("90"));

    // Leave fan 2 out.
    auto* tree = compare->findChild<QTreeWidget*>("TreeCompare");
    QTreeWidgetItem* fan2 = tree->topLevelItem(0)->child(1);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(fan2);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(fan2->checkState(0), Qt::Unchecked);
    QTest::mouseClick(compare->findChild<QPushButton*>("ButtonCompareApply"), Qt::LeftButton);
    QCOMPARE(int(w.Image().P(35)), 90);
    QCOMPARE(int(w.Image().P(41)), 93);
    ParameterImage expected = edited;
    expected.P(35) = 90;
    QVERIFY(std::ranges::equal(w.Image().ParamArea(), expected.ParamArea()));
    QCOMPARE(UndoDepth(w.Undo()), undoBefore + 1);
    compare->close();
    w.findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(int(w.Image().P(35)), 91);
    w.close();
    qunsetenv("VELMOR_DATA_DIR");
  }
  // F7 with the cable pulled once the verify half has begun: the label says
  // the connection was lost, not that the data differ. F9 cut off after
  // block 4: its error stays at the top while the unit saves what it got.
  void AStoppedTransferSaysWhyAndAFailedProgramsErrorStays() {
    SimWindow s;
    auto& server = s.server;
    QVERIFY2(s.Start(), s.error.c_str());
    QStringList messages;
    TFormHlav& w = s.Make({.AskYesNoCancel = [](const QString&) { return QMessageBox::No; },
                           .ShowMessageBox = [&](const QString& text) { messages << text; }});
    QVERIFY(s.Show());
    auto* status = w.findChild<QLabel*>("LabelHlaseni");

    // A thread of its own watches the unit: the verify's requests come
    // milliseconds apart.
    auto watch = [&](auto when, auto act) {
      return std::thread([&, when, act] {
        for (int i = 0; i < 20000; ++i) {
          if (server->WithUnit([&](sim::SimUnit& u) { return when(u.Counters()); })) {
            act();
            return;
          }
          std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
      });
    };
    std::thread puller = watch([](const sim::SimCounters& c) { return c.Reads >= 12; }, [&] { server->Stop(); });
    QTest::keyClick(&w, Qt::Key_F7);
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Verify stopped!"), 15000);
    puller.join();
    QCOMPARE(status->text(), QString("Verify stopped! The connection to the unit was lost."));
    QVERIFY(w.findChild<QLabel*>("LabelSpojeni")->isVisible());

    server = std::make_unique<sim::PtyServer>();
    QVERIFY2(s.Start(), s.error.c_str());
    QTRY_VERIFY_WITH_TIMEOUT(!w.findChild<QLabel*>("LabelSpojeni")->isVisible(), 10000);
    std::thread silencer = watch([](const sim::SimCounters& c) { return c.Writes >= 5; },
                                 [&] { server->WithUnit([](sim::SimUnit& u) { u.Options().Silent = true; }); });
    QTest::keyClick(&w, Qt::Key_F9);
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Program error!"), 15000);
    silencer.join();
    const QString failed = status->text();
    const int gauge = w.Link().Status().GaugePosition;
    QVERIFY2(failed.startsWith("Program error! The unit did not answer. Blocks 1-"), qPrintable(failed));
    server->WithUnit([](sim::SimUnit& u) { u.Options().Silent = false; });
    QTRY_VERIFY_WITH_TIMEOUT(w.Link().State().UnitSaving > 0, 5000);
    QTest::qWait(300);
    QCOMPARE(status->text(), failed);
    QVERIFY(status->isVisible());
    QCOMPARE(w.Link().Status().GaugePosition, gauge);  // no half bar of the save
    QTest::keyClick(&w, Qt::Key_F8);  // the next transfer replaces it
    QVERIFY(!status->text().startsWith("Program error!"));
    w.close();
  }
};

QTEST_MAIN(WindowLinkE2eTest)
#include "window_link_e2e_test.moc"

// The window end to end: its own 55 ms timer, the QSerialPort adapter and the
// simulated unit on a pseudo-terminal standing in for COM1.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "editor/names.h"
#include "form_hlav.h"
#include "pty_server.h"
#include "qt_serial_port.h"
#include "widgets.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;

class WindowLinkE2eTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadFromTheMenuShowsTheUnitsValuesAndTheEngine() {
    QTemporaryDir dir;
    const std::string link = dir.filePath("unit").toStdString();
    sim::PtyServer server;
    std::string error;
    QVERIFY2(server.Start(link, &error), error.c_str());
    // Values the window's own defaults do not have.
    server.WithUnit([](sim::SimUnit& u) {
      u.Memory().P(35) = 97;
      u.Memory().P(41) = 99;
    });
    platform::PortDevices devices;
    devices.SetOverride(1, link);
    platform::QtSerialPort port(devices);

    FormOptions o;
    o.ConfigDir = dir.filePath("config").toStdString();
    o.ProgramDir = dir.filePath("program").toStdString();
    TFormHlav w(port, o);
    QStringList messages;
    w.ShowMessageBox = [&](const QString& text) { messages << text; };
    w.AskYesNoCancel = [](const QString&) { return QMessageBox::No; };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY2(port.IsOpen(), port.OpenErrorReason().c_str());
    for (int i = 0; i < 3; ++i) QCOMPARE(w.findChild<QLabel*>(QString("LabelVerze%1").arg(i + 1))->text(), QString());

    w.findChild<QAction*>("MenuRead")->trigger();
    auto* status = w.findChild<QLabel*>("LabelHlaseni");
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Verify: OK"), 30000);
    QVERIFY(messages.isEmpty());

    const ParameterImage unit = server.WithUnit([](sim::SimUnit& u) { return u.Memory(); });
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
};

QTEST_MAIN(WindowLinkE2eTest)
#include "window_link_e2e_test.moc"

// The port diagnostics from the window: offered in the "Com opening error!"
// message and beside the port while it does not open, and from the Com menu;
// every look asks the doctor afresh and shows what it says.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "ui/window/form_hlav.h"
#include "ui/port/port_doctor_dialog.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using velmor::wtest::ScriptedPort;

class WindowPortDoctorTest : public QObject, wtest::WindowFixture {
  Q_OBJECT

 public:
  WindowPortDoctorTest() : WindowFixture({.showing = wtest::WindowSetup::Shown}) {}

 private:
  std::vector<int> asked_;  // the port numbers the doctor was asked about

  std::unique_ptr<TFormHlav> Make(bool withDoctor) {
    FormOptions o = Options();
    if (withDoctor) {
      o.DiagnosePorts = [this](int number) {
        asked_.push_back(number);
        return "report of " + std::to_string(number) + ", look " + std::to_string(asked_.size());
      };
    }
    return Open(std::move(o));
  }

  // Clicks `button` of the next message box once it shows (the start-up's
  // comes when the event loop runs, in front of the shown window).
  static void AnswerNextMessageBox(const char* button, QString* text) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, button, text] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll->stop();
      poll->deleteLater();
      *text = box->text();
      QAbstractButton* b = box->findChild<QAbstractButton*>(button);
      if (!b) b = box->button(QMessageBox::Ok);
      QTest::mouseClick(b, Qt::LeftButton);
    });
    poll->start(10);
  }

  static PortDoctorDialog* Dialog(TFormHlav& w) { return w.findChild<PortDoctorDialog*>("FormPortDoctor"); }
  static QPushButton* DiagnoseButton(TFormHlav& w) { return w.findChild<QPushButton*>("ButtonDiagnose"); }

 private slots:
  void init() {
    Reset();
    asked_.clear();
  }
  void cleanup() { dir_.reset(); }

  // The port does not open at start-up: the message says so with the reason,
  // and its "Diagnose..." opens the doctor on that port.
  void TheOpenErrorMessageOpensTheDoctorOnThatPort() {
    port_.refuseOpen = true;
    QString shown;
    AnswerNextMessageBox("ButtonDiagnoseMessage", &shown);
    auto w = Make(true);
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY(shown.startsWith("Com opening error!\nno such device"));
    QVERIFY(messages_.isEmpty());
    PortDoctorDialog* dialog = Dialog(*w);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(asked_, std::vector<int>{1});
    QCOMPARE(dialog->ReportText(), QString("report of 1, look 1"));
    QCOMPARE(dialog->findChild<QComboBox*>("ComboBoxPortDoctor")->currentText(), QString("Com 1"));
  }

  // OK in that message leaves it at that; the button beside the port stays
  // while the port does not open, opens the doctor afresh, and goes once a
  // port opens.
  void TheButtonBesideThePortShowsWhileItDoesNotOpen() {
    port_.refuseOpen = true;
    QString shown;
    AnswerNextMessageBox("", &shown);
    auto w = Make(true);
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY(!Dialog(*w));
    QPushButton* diagnose = DiagnoseButton(*w);
    QVERIFY(diagnose && diagnose->isVisible());
    QCOMPARE(diagnose->text(), QString("Diagnose..."));

    // Com 3 does not open either: the button now diagnoses Com 3.
    AnswerNextMessageBox("", &shown);
    w->findChild<QAction*>("MenuCom3")->trigger();
    QTest::mouseClick(diagnose, Qt::LeftButton);
    QVERIFY(Dialog(*w) && Dialog(*w)->isVisible());
    QCOMPARE(asked_.back(), 3);
    QTest::mouseClick(Dialog(*w)->findChild<QPushButton*>("ButtonCheckAgain"), Qt::LeftButton);
    QCOMPARE(asked_, (std::vector<int>{3, 3}));
    QCOMPARE(Dialog(*w)->ReportText(), QString("report of 3, look 2"));

    port_.refuseOpen = false;
    w->findChild<QAction*>("MenuCom2")->trigger();
    QVERIFY(!diagnose->isVisible());
  }

  // Com -> Port diagnostics... looks at every port; choosing one looks at
  // that one; the texts follow the window's language.
  void TheComMenuItemLooksAtEveryPortOrTheOneChosen() {
    auto w = Make(true);
    QVERIFY(!DiagnoseButton(*w)->isVisible());  // the port opened
    QAction* item = w->findChild<QAction*>("MenuPortDiagnostics");
    QVERIFY(item && item->isVisible());
    QCOMPARE(item->text(), QString("Port diagnostics..."));
    item->trigger();
    PortDoctorDialog* dialog = Dialog(*w);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(asked_, std::vector<int>{0});
    auto* combo = dialog->findChild<QComboBox*>("ComboBoxPortDoctor");
    QCOMPARE(combo->currentText(), QString("All ports"));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(asked_.back(), 2);
    QCOMPARE(dialog->ReportText(), QString("report of 2, look 3"));

    w->findChild<QAction*>("MenuGerman")->trigger();
    QCOMPARE(item->text(), QString::fromUtf8("Anschlussdiagnose..."));
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Anschlussdiagnose"));
    QCOMPARE(combo->itemText(0), QString::fromUtf8("Alle Anschlüsse"));
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonClosePortDoctor"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
  }

  // A window without a doctor offers none and shows the message as before.
  void WithoutADoctorTheMessageIsThePlainOne() {
    port_.refuseOpen = true;
    auto w = Make(false);
    // The window's plain message box, once the start-up is over.
    QTRY_COMPARE(messages_.size(), 1);
    QVERIFY(messages_.front().startsWith("Com opening error!\nno such device"));
    QVERIFY(!DiagnoseButton(*w));
    QVERIFY(!w->findChild<QAction*>("MenuPortDiagnostics")->isVisible());
  }
};

QTEST_MAIN(WindowPortDoctorTest)
#include "window_port_doctor_test.moc"

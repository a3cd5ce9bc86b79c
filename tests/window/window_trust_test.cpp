// What a tuner meets in the first minutes, driven through real keys and
// clicks on a screen of the size the test is run with (see CMakeLists.txt):
// the window stays on the screen whatever the texts, a warning is readable,
// Undo works from any box, the live display never shows frozen values, a
// value the tuner set survives a restart, controls stay where they were.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QtTest>

#include "ui/window/form_hlav.h"
#include "lang/language.h"
#include "ui/widgets/widgets.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

// A 30-character firmware name, the longest block 0 carries.
const char kLongName[] = "FIRMWARE-NAME-OF-THIRTY-CHARS!";

QRect AvailableArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// How far apart two colours are in brightness (0..1).
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) { return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF(); };
  return std::abs(luminance(a) - luminance(b));
}

}  // namespace

class WindowTrustTest : public QObject, WindowFixture {
  Q_OBJECT

  template <typename T>
  static T* Get(TFormHlav& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    if (!found) qWarning("no control %s", qPrintable(name));
    return found;
  }

  // Every visible control of the top area lies inside the window, and the
  // window inside the screen's available area.
  static void CheckOnScreen(TFormHlav& w, const char* when) {
    const QRect area = AvailableArea();
    QVERIFY2(w.width() <= area.width() && w.height() <= area.height(),
             qPrintable(QString("%1: window %2x%3 on %4x%5").arg(when).arg(w.width()).arg(w.height())
                            .arg(area.width()).arg(area.height())));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QWidget* c : Get<QWidget>(w, "PanelTop")->findChildren<QWidget*>()) {
      if (!c->isVisible() || c->objectName().isEmpty()) continue;
      const QRect r(c->mapTo(&w, QPoint(0, 0)), c->size());
      QVERIFY2(w.rect().contains(r), qPrintable(QString("%1: %2 at %3,%4 %5x%6 outside %7x%8")
                                                     .arg(when, c->objectName()).arg(r.x()).arg(r.y())
                                                     .arg(r.width()).arg(r.height()).arg(w.width()).arg(w.height())));
    }
  }

 private slots:
  void init() { Reset(); }

  // A Read of a unit with the longest name, then its monitor reply with
  // another protocol version: the window keeps its size, every top-area
  // control stays inside it, and the version warning can be read.
  void WindowStaysOnTheScreenWithLongTexts_data() {
    QTest::addColumn<QString>("language");
    for (const char* word : {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"}) QTest::newRow(word) << word;
  }
  void WindowStaysOnTheScreenWithLongTexts() {
    QFETCH(QString, language);
    // A unit holding what this program programs: the defaults as a window
    // starts with them.
    ParameterImage unit = Make()->Image();
    std::copy_n(kLongName, 30, unit.Block(0).begin() + 16);
    port_.Reply = UnitWithMemory(unit);
    auto w = Make({language.toStdString()});
    CheckOnScreen(*w, "at start-up");

    QTest::mouseClick(Get<QAbstractButton>(*w, "ButtonRead"), Qt::LeftButton);
    for (int i = 0; i < 400 && w->Link().Outcome() != LinkOutcome::VerifyOk; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    auto* name = Get<QLabel>(*w, "LabelVerze1");
    QVERIFY(name->isVisible());
    QCOMPARE(name->text(), QString(kLongName));
    CheckOnScreen(*w, "after the read");

    LinkFrame frame = MonitorFrame(2000, 10);
    frame[150] = 77;
    SealFrame(frame);
    port_.Queue(frame);
    Ticks(*w, 2);
    auto* version = Get<QLabel>(*w, "LabelVersion");
    QVERIFY(version->isVisible());
    QVERIFY2(version->text().endsWith("  PC-78, IGN-77"), qPrintable(version->text()));
    const QPalette p = version->palette();
    QVERIFY2(Contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)) > 0.5,
             qPrintable(p.color(QPalette::WindowText).name() + " on " + p.color(QPalette::Window).name()));
    CheckOnScreen(*w, "with the version warning");

    // A settings file written on a bigger screen brings it back on this one.
    w->close();
    w.reset();
    auto again = Make({language.toStdString()});
    CheckOnScreen(*again, "after a restart");
  }

  // The excitation time the tuner set is what the next start shows, and
  // what a Program would write.
  void StartUpKeepsTheExcitationTime() {
    {
      auto w = Make();
      QTest::mouseClick(Get<QTabWidget>(*w, "PageControl1")->tabBar(), Qt::LeftButton, {},
                        Get<QTabWidget>(*w, "PageControl1")->tabBar()->tabRect(PageBike).center());
      auto* edit = Get<QLineEdit>(*w, "EditBuzeni");
      QTest::mouseClick(edit, Qt::LeftButton);
      edit->selectAll();
      QTest::keyClicks(edit, "2500");
      QTest::keyClick(edit, Qt::Key_Return);
      QCOMPARE(int(w->Image().P(4)), 25);
      w->close();
    }
    auto w = Make();
    QCOMPARE(int(w->Image().P(4)), 25);
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageBike);
    QCOMPARE(Get<QLineEdit>(*w, "EditBuzeni")->text(), QString("2500"));
  }

  // Ctrl+Z pressed in the box that has the focus undoes the last change and
  // Ctrl+Alt+Z redoes it; a typed value not yet committed is the change.
  void UndoAndRedoKeysWorkFromTheFocusedBox_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("enter");
    QTest::newRow("field, committed") << int(PageBike) << "EditFan1" << true;
    QTest::newRow("field, still typing") << int(PageBike) << "EditFan1" << false;
    QTest::newRow("map cell, committed") << int(PageAdvance) << "EditMapCell0" << true;
    QTest::newRow("grid cell, still typing") << int(PageCorrections) << "EditKorVoda0" << false;
  }
  void UndoAndRedoKeysWorkFromTheFocusedBox() {
    QFETCH(int, page);
    QFETCH(QString, edit);
    QFETCH(bool, enter);
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), page);
    const ParameterImage before = w->Image();
    auto* box = Get<QLineEdit>(*w, edit);
    QVERIFY(box);
    const QString shown = box->text();
    const QString typed = QString::number(shown.toInt() + 1);
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, typed);
    if (enter) {
      QTest::keyClick(box, Qt::Key_Return);
      box->setFocus();  // Enter moved on; the tuner clicks back into the box
    }
    QVERIFY(box->hasFocus());

    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->Image(), before);
    QCOMPARE(box->text(), shown);
    QVERIFY(Get<QAbstractButton>(*w, "SpeedButtonZnovu")->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(w->Image() != before);
    QCOMPARE(box->text(), typed);
  }

  // When the unit stops answering, no live value stays frozen: the labels
  // show placeholders, the gauges are empty, nothing is lit in the map; a
  // language switch shows the placeholders of the new language at once.
  void LiveDisplayShowsNoReadingWithoutAUnit() {
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageAdvance);
    port_.Queue(MonitorFrame(8787, 50));
    Ticks(*w, 2);
    auto* rpm = Get<QLabel>(*w, "LabelRpm");
    QVERIFY2(rpm->text().contains("8787"), qPrintable(rpm->text()));
    QVERIFY(Get<Gauge>(*w, "CGaugeRpm")->Progress() > 0);
    const auto lit = [&] {
      int n = 0;
      for (QLineEdit* e : Get<QWidget>(*w, "TabSheet_Advance")->findChildren<QLineEdit*>())
        n += e->palette().color(QPalette::Base) == ToQColor(Colour::Lime);
      return n;
    };
    QVERIFY(lit() > 0);

    Ticks(*w, 40);  // no reply: the connection is lost
    QVERIFY(Get<QLabel>(*w, "LabelSpojeni")->isVisible());
    QCOMPARE(rpm->text(), QString("RPM = --- "));
    for (const char* gauge : {"CGaugeRpm", "CGaugeTps", "CGaugeLambda", "CGaugeVoda"})
      QVERIFY2(Get<Gauge>(*w, gauge)->Progress() <= 0, gauge);
    QCOMPARE(lit(), 0);

    Get<QAction>(*w, "MenuGerman")->trigger();
    QCOMPARE(Get<QLabel>(*w, "LabelMonSpeed")->text().left(5), QString::fromUtf8("Gesch"));
    QVERIFY2(Get<QLabel>(*w, "LabelVoda")->text().contains("---"), qPrintable(Get<QLabel>(*w, "LabelVoda")->text()));
  }

  // Tuning on paints the check box red behind box and caption: most of
  // its pixels are red, not an outline.
  void TuningOnIsRedAtAGlance() {
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageTuning);
    QTest::keyClick(w.get(), Qt::Key_F6);
    auto* box = Get<QCheckBox>(*w, "CheckBoxLadeniPovoleno");
    QVERIFY(box->isChecked());
    const QImage image = box->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
      }
    QVERIFY2(red * 2 > image.width() * image.height(), qPrintable(QString("%1 red of %2").arg(red).arg(image.width() * image.height())));
  }

  // A control does not move when the idle groups beside it are shown or
  // hidden, so a click lands where the tuner aimed.
  void IdleControlsKeepTheirPlace() {
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageIdle);
    auto* advance = Get<QWidget>(*w, "CheckBoxIdleAdvOn");
    auto* modes = Get<QGroupBox>(*w, "RadioGroupIdleMode");
    const QPoint place = advance->mapTo(w.get(), QPoint(0, 0));
    for (QAbstractButton* item : modes->findChildren<QAbstractButton*>()) {
      ClickButton(item);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      QCOMPARE(advance->mapTo(w.get(), QPoint(0, 0)), place);
    }
  }

  // ---------------------------------------------------------- tuning

  // While tuning is on, the unit owns the map of its tuning channel: the
  // cells are greyed, typing and F5 change nothing, the status bar says why.
  void TunedMapTakesNoEdits() {
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageInj1);
    auto* cell = Get<QLineEdit>(*w, "EditMapCell0");
    QVERIFY(cell->isEnabled());
    QTest::keyClick(w.get(), Qt::Key_F6);
    QVERIFY(Get<QCheckBox>(*w, "CheckBoxLadeniPovoleno")->isChecked());
    QVERIFY(!cell->isEnabled());
    QVERIFY2(Get<QStatusBar>(*w, "StatusBar1")->currentMessage().startsWith("The unit is tuning this map"),
             qPrintable(Get<QStatusBar>(*w, "StatusBar1")->currentMessage()));
    const ParameterImage before = w->Image();
    QTest::mouseClick(cell, Qt::LeftButton);
    QTest::keyClicks(cell, "5");
    QTest::keyClick(cell, Qt::Key_Return);
    QTest::keyClick(w.get(), Qt::Key_F5);
    QCOMPARE(w->Image(), before);
    // The advance map is not tuned: it still takes edits.
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageAdvance);
    QVERIFY(Get<QLineEdit>(*w, "EditMapCell0")->isEnabled());
  }

  // A click on the lambda-sensor type keeps what was typed, not yet
  // committed, in the throttle voltage box of the same page.
  void RadioClickKeepsTypedText() {
    auto w = Make();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageSensors);
    auto* tps = Get<QLineEdit>(*w, "EditTps0");
    QTest::mouseClick(tps, Qt::LeftButton);
    tps->selectAll();
    QTest::keyClicks(tps, "650");
    auto* lambda = Get<QGroupBox>(*w, "RadioGroupCidloLambdaMode");
    const auto items = lambda->findChildren<QAbstractButton*>();
    QAbstractButton* other = items[0]->isChecked() ? items[1] : items[0];
    ClickButton(other);
    QVERIFY(other->isChecked());
    QCOMPARE(tps->text(), QString("650"));
    QCOMPARE(int(w->Image().P(33)), 65);
  }

  // A Read that switches the maps to " 1 = 2" while the second map's page is
  // shown shows the first map's page, not whatever tab follows.
  void HiddenSecondMapGivesWayToTheFirst() {
    ParameterImage unit = Make()->Image();  // " 1 = 2", as the defaults are
    auto w = Make();
    w->findChild<QAction*>("Menu_Jet123Normal")->trigger();
    ClickTab(Get<QTabWidget>(*w, "PageControl1"), PageInj2);
    QCOMPARE(w->PageIndex(), int(PageInj2));
    port_.Reply = UnitWithMemory(unit);
    QTest::keyClick(w.get(), Qt::Key_F7);
    for (int i = 0; i < 400 && w->Link().Outcome() != LinkOutcome::VerifyOk; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QVERIFY(!Get<QTabWidget>(*w, "PageControl1")->isTabVisible(PageInj2));
    QCOMPARE(Get<QTabWidget>(*w, "PageControl1")->currentIndex(), int(PageInj1));
    QCOMPARE(w->PageIndex(), int(PageInj1));
    QVERIFY(Get<QWidget>(*w, "TabSheet_Inj1A")->isAncestorOf(Get<QLineEdit>(*w, "EditMapCell0")));
  }
};

QTEST_MAIN(WindowTrustTest)
#include "window_trust_test.moc"

// Printing and help from the window, offscreen: what a printout shows and
// what it leaves, the PDF written where no printer is installed, the print
// header's countdown, a print that fails, and F1 without the help document.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QStatusBar>
#include <QtTest>

#include "ui/window/form_hlav.h"
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

}  // namespace

class WindowPrintHelpTest : public QObject, WindowFixture {
  Q_OBJECT

  QByteArray home_;
  QByteArray configHome_;

  // Where the printout's documents directory is looked for; cleanup() puts
  // the test run's own back.
  static void SetHome(const QString& home) {
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
  }

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
    SetHome(home);

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

  void PrintHeaderDisappearsAfterItsCountdown() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed: the page would be printed");
    const QString home = dir_->filePath("home");
    QDir().mkpath(home);
    SetHome(home);
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
    SetHome(home);

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

QTEST_MAIN(WindowPrintHelpTest)
#include "window_print_help_test.moc"

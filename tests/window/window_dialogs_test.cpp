// Every top-level window and dialog of the program, opened as a tuner opens
// them, in each of the four languages on a 1024x768 screen: each lies on the
// screen, and in German, French and Czech no standard button or file-dialog
// text of Qt's shows English. Modal ones are looked at while they are up,
// with the window's own hooks left in place, and closed as Escape would.
#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <array>
#include <functional>
#include <memory>

#include "ui/window/guide_window.h"
#include "ui/history/history_keeper.h"
#include "lang/control_texts.h"
#include "ui/log/log_recorder.h"
#include "ui/map/map_surface.h"
#include "model/fields.h"
#include "ui/port/port_doctor_dialog.h"
#include "ui/history/program_review_dialog.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

// Texts Qt gives its standard buttons, message boxes and file dialogs in
// English. "OK" is left out: it reads the same in all four languages.
const QSet<QString>& EnglishQtTexts() {
  static const QSet<QString> texts = {
      "Yes",     "No",      "Cancel",           "Open",       "Save",       "Close",       "Apply",
      "Abort",   "Retry",   "Ignore",           "Discard",    "Help",       "Reset",       "Restore Defaults",
      "Yes to All", "No to All", "Save All",   "Look in:",   "File name:", "Files of type:", "Choose",
      "Don't Save", "Close without Saving"};
  return texts;
}

QString Plain(QString text) { return text.remove('&'); }

// A small log of a ride, for the viewer and the analysis.
QByteArray Ride() {
  QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
  for (int i = 0; i < 200; ++i)
    text += QString("%1,%2,%3,13.6,80\n").arg(i * 0.33, 0, 'f', 3).arg(3000 + 20 * i).arg(10 + i % 50).toUtf8();
  return text;
}

}  // namespace

class WindowDialogsTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowDialogsTest() : WindowFixture({.showing = WindowSetup::Active}) {}

 private:
  QStringList faults_;  // what the looks at the windows found wrong
  QString language_;    // the row's language word
  int standardButtons_ = 0;  // Qt's standard buttons looked at

  // The window with its own questions and dialogs: nothing is replaced but
  // the help opener, which finds no PDF viewer.
  std::unique_ptr<TFormHlav> MakeOwn() {
    FormOptions o = Options({language_.toStdString()});
    o.DiagnosePorts = [](int number) { return "report of " + std::to_string(number); };
    o.Dialogs.OpenDocument = [](const QString&, std::function<void()> failed) { failed(); };
    auto w = std::make_unique<TFormHlav>(port_, std::move(o));
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window not active: shortcuts will not reach it");
    return w;
  }

  // `window` lies on its screen, and away from English no Qt text in it is
  // English.
  void Look(QWidget* window, const QString& what) {
    const QString where = language_ + " " + what;
    if (!window || !window->isVisible()) {
      faults_ << where + ": not shown";
      return;
    }
    QCoreApplication::processEvents();
    // VELMOR_LOOK_DIR keeps a picture of each window for a person to look at.
    if (const QString dir = qEnvironmentVariable("VELMOR_LOOK_DIR"); !dir.isEmpty())
      window->grab().save(QString("%1/%2.png").arg(dir, QString(where).replace(' ', '-')));
    const QRect screen = window->screen()->availableGeometry();
    if (screen.size() != QSize(1024, 768)) faults_ << where + ": the screen is not 1024x768";
    if (!screen.contains(window->frameGeometry()))
      faults_ << where + QString(": %1,%2 %3x%4 is off the screen")
                             .arg(window->frameGeometry().x())
                             .arg(window->frameGeometry().y())
                             .arg(window->frameGeometry().width())
                             .arg(window->frameGeometry().height());
    if (language_ == "ENGLISH") return;
    // Qt's buttons sit in button boxes (a message box's too); the window's
    // own controls carry the texts of its tables, "No" among them.
    int standard = 0;
    for (QDialogButtonBox* box : window->findChildren<QDialogButtonBox*>()) {
      for (QAbstractButton* b : box->buttons()) {
        standard += box->standardButton(b) != QDialogButtonBox::NoButton;
        if (b->isVisibleTo(window) && EnglishQtTexts().contains(Plain(b->text())))
          faults_ << where + ": button \"" + b->text() + "\"";
      }
    }
    if (qobject_cast<QFileDialog*>(window)) {
      for (QLabel* l : window->findChildren<QLabel*>())
        if (l->isVisibleTo(window) && EnglishQtTexts().contains(Plain(l->text())))
          faults_ << where + ": label \"" + l->text() + "\"";
    }
    standardButtons_ += standard;
  }

  // Runs `open`, which shows a modal dialog, looks at the dialog once it is
  // up and closes it as Escape would (a question answers Cancel, a file
  // dialog chooses nothing).
  void LookAtModal(const QString& what, const std::function<void()>& open) {
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible()) return;
      poll.stop();
      seen = true;
      Look(dialog, what);
      dialog->reject();
    });
    poll.start(20);
    open();
    if (!seen) faults_ << language_ + " " + what + ": did not open";
  }

  template <typename T>
  T* Shown(TFormHlav& w, const char* name) {
    T* found = nullptr;
    for (T* candidate : w.findChildren<T*>(name))
      if (candidate->isVisible()) found = candidate;
    return found;
  }

 private slots:
  void init() {
    Reset();
    faults_.clear();
    standardButtons_ = 0;
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
  }
  void cleanup() {
    qunsetenv("VELMOR_DATA_DIR");
    dir_.reset();
  }

  void EveryWindowFitsAndSpeaksTheLanguage_data() {
    QTest::addColumn<QString>("language");
    for (const char* word : {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"}) QTest::newRow(word) << word;
  }
  void EveryWindowFitsAndSpeaksTheLanguage() {
    QFETCH(QString, language);
    language_ = language;
    // The guide beside the program, and a help document no viewer opens.
    QVERIFY(QDir().mkpath(Under("program/guide")));
    for (const char* guide : {"guide.md", "guide.de.md", "guide.fr.md", "guide.cs.md"})
      QVERIFY(QFile::copy(QString(VELMOR_DOCS_DIR "/") + guide, Under("program/guide/") + guide));
    for (const char* pdf : {"Velmor_en.pdf", "Velmor_de.pdf", "Velmor_fr.pdf", "Velmor_cz.pdf"}) {
      QFile f(Under("program/") + pdf);
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    auto w = MakeOwn();
    Look(w.get(), "main window");
    const LanguageCode code = w->Language();

    // The model question, from the bike list by keys.
    auto* bike = Get<QComboBox>(*w, "ComboBoxBike");
    ClickTab(Tabs(*w), PageBike);
    LookAtModal("model question", [&] {
      bike->setFocus();
      QTest::keyClick(bike, Qt::Key_Down);
    });
    // A shortcut reaches the window once it is active again after a box.
    const auto press = [&w](Qt::Key key) {
      w->activateWindow();
      if (!QTest::qWaitForWindowActive(w.get())) qWarning("window not active");
      QTest::keyClick(w.get(), key);
    };
    LookAtModal("open dialog", [&] { press(Qt::Key_F3); });
    LookAtModal("save dialog", [&] { press(Qt::Key_F2); });
    LookAtModal("about", [&] { Action(*w, "MenuAbout")->trigger(); });

    // The history and the compare window on an image whose Inj. 1 map
    // differs: its tab is named as the window's tab of that page.
    Action(*w, "MenuHistory")->trigger();
    Look(Shown<QDialog>(*w, "HistoryDialog"), "history");
    Shown<QDialog>(*w, "HistoryDialog")->reject();
    // The editor's Inj. 1 gets one cell typed into it; the other image is
    // the tune before.
    const ParameterImage other = w->Image();
    ClickTab(Tabs(*w), PageInj1);
    for (const FieldDef& f : EditorFields()) {
      if (f.Grid == FieldGrid::MapCells && f.Cell == 20 && f.Page == PageInj1) {
        auto* cell = Get<QLineEdit>(*w, QString::fromStdString(f.EditName));
        QVERIFY(cell);
        TypeAndEnter(cell, QString::number(cell->text().toInt() + 10));
      }
    }
    QVERIFY(other != w->Image());
    // One cell of Inj. 1: "Einsp. 1 (1 Zelle)", "Vstřik 1 (1 buňka)".
    const auto tabNames = [](QTabWidget* tabs) {
      QStringList names;
      for (int i = 0; tabs && i < tabs->count(); ++i)
        if (tabs->tabText(i).contains(" (")) names << tabs->tabText(i);  // the maps, not the fields
      return names;
    };
    const QString oneCell = QString::fromUtf8(
        std::array{"(1 cell)", "(1 Zelle)", "(1 cellule)", "(1 buňka)"}[static_cast<int>(code)]);
    const QStringList expectedTabs = {Tabs(*w)->tabText(PageInj1) + " " + oneCell};
    w->History().CompareWithImage(other, "other.ign");
    auto* compare = Shown<QDialog>(*w, "CompareDialog");
    Look(compare, "compare");
    QCOMPARE(tabNames(compare->findChild<QTabWidget*>("TabCompare")), expectedTabs);
    compare->reject();
    ProgramReviewDialog review(other, w->Image(), "Vmr07", code, w.get());
    review.show();
    Look(&review, "review");
    // Map 2 moves with map 1 in the unit too: its tab may follow.
    QVERIFY(tabNames(review.findChild<QTabWidget*>("TabReview")).contains(expectedTabs.front()));
    review.reject();

    Action(*w, "MenuPortDiagnostics")->trigger();
    Look(Shown<QDialog>(*w, "FormPortDoctor"), "port doctor");
    Shown<QDialog>(*w, "FormPortDoctor")->reject();

    ClickTab(Tabs(*w), PageAdvance);
    Action(*w, "Menu3DView")->trigger();
    auto* surface = Shown<MapSurfaceView>(*w, "FormMapSurface");
    Look(surface, "3D view");
    surface->close();

    // The viewer of a log, and its analysis from the viewer's button.
    QVERIFY(QDir().mkpath(Under("data/logs")));
    QFile log(Under("data/logs/ride.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write(Ride());
    log.close();
    w->findChild<LogRecorder*>("LogRecorder")->ChooseLog = [this] { return Under("data/logs/ride.csv"); };
    Action(*w, "MenuLogOpen")->trigger();
    auto* viewer = Shown<QWidget>(*w, "FormLogViewer");
    QVERIFY(viewer);
    Look(viewer, "log viewer");
    QTest::mouseClick(viewer->findChild<QAbstractButton*>("ButtonLogViewerAnalyse"), Qt::LeftButton);
    Look(Shown<QWidget>(*w, "DialogLogAnalysis"), "analysis");
    Shown<QWidget>(*w, "DialogLogAnalysis")->close();
    viewer->close();

    // F1 where no PDF viewer opens the help document: the guide.
    press(Qt::Key_F1);
    auto* guide = Shown<GuideWindow>(*w, "FormGuide");
    QVERIFY(guide);
    Look(guide, "guide");
    guide->close();

    QVERIFY2(faults_.isEmpty(), qPrintable(faults_.join("\n")));
    // The question's three, the file dialogs' two each, the guide's Close.
    if (language_ != "ENGLISH") QVERIFY2(standardButtons_ >= 8, qPrintable(QString::number(standardButtons_)));
  }

  // The port's error at start-up stands in front of the window, not on an
  // empty screen: the window is up when the message comes.
  void TheStartUpPortErrorComesAfterTheWindow() {
    language_ = "DEUTSCH";
    port_.refuseOpen = true;
    bool windowUp = false;
    QString text;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll->stop();
      poll->deleteLater();
      text = box->text();
      const auto windows = QApplication::topLevelWidgets();
      windowUp = std::any_of(windows.begin(), windows.end(), [](QWidget* t) {
        return qobject_cast<TFormHlav*>(t) && t->isVisible();
      });
      box->reject();
    });
    poll->start(10);
    auto w = std::make_unique<TFormHlav>(port_, Options({"DEUTSCH"}));
    QVERIFY(text.isEmpty());  // nothing yet while the window is built
    w->show();
    QTRY_VERIFY(!text.isEmpty());
    QVERIFY(windowUp);
    QVERIFY2(text.startsWith(QString::fromUtf8("Falscher COM-Anschlußes!")), qPrintable(text));
  }
};

QTEST_MAIN(WindowDialogsTest)
#include "window_dialogs_test.moc"

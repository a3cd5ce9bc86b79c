// Recording a log from the window: the Log menu and its tool button, the
// file in the logs directory growing while the unit answers, nothing
// recorded while it does not, the status bar, the four languages.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

#include "editor/undo.h"
#include "form_hlav.h"
#include "log/map_analysis.h"
#include "log_analysis_dialog.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

class WindowLogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  ScriptedPort port_;
  bool answering_ = true;
  int rpm_ = 3000;

  std::unique_ptr<TFormHlav> Make() {
    FormOptions o;
    o.ConfigDir = dir_->filePath("config").toStdString();
    o.ProgramDir = dir_->filePath("program").toStdString();
    o.StartTimer = false;
    auto w = std::make_unique<TFormHlav>(port_, o);
    w->ShowMessageBox = [](const QString&) {};
    w->show();
    return w;
  }
  // Ticks until `frames` more monitor frames were accepted.
  static void Frames(TFormHlav& w, int frames) {
    const std::uint32_t until = w.Link().MonitorFrames() + static_cast<std::uint32_t>(frames);
    for (int i = 0; i < 100 * frames && w.Link().MonitorFrames() < until; ++i) w.Timer1Timer();
    QCOMPARE(w.Link().MonitorFrames(), until);
  }
  QStringList Logs() const {
    return QDir(dir_->filePath("data/logs")).entryList({"*.csv"}, QDir::Files, QDir::Name);
  }
  QStringList Lines(const QString& name) const {
    QFile f(dir_->filePath("data/logs/" + name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }
  static QString StatusText(TFormHlav& w) { return w.findChild<QLabel*>("LabelLogStatus")->text(); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QDir(dir_->path()).mkpath("program");
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
    port_ = ScriptedPort();
    answering_ = true;
    rpm_ = 3000;
    port_.Reply = [this](const LinkFrame& request, ScriptedPort& port) {
      if (request[0] == kPollCommand && answering_) port.Queue(MonitorFrame(rpm_++, 20));
    };
  }
  void cleanup() { qunsetenv("VELMOR_DATA_DIR"); }

  void RecordWritesOneRowPerFrameAndGrowsWhileRecording() {
    auto w = Make();
    Frames(*w, 2);  // frames before the start are not recorded
    QVERIFY(Logs().isEmpty());
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    QCOMPARE(Logs().size(), 1);
    QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.csv$)").match(Logs()[0]).hasMatch());
    QVERIFY(!w->findChild<QAction*>("MenuLogRecord")->isEnabled());
    QVERIFY(w->findChild<QAction*>("MenuLogStop")->isEnabled());
    const QString name = Logs()[0];
    QCOMPARE(Lines(name).size(), 1);  // the header at once
    QVERIFY(Lines(name)[0].startsWith("time_s,rpm,tps_pct,afr,coolant_c,"));

    Frames(*w, 3);
    // Out on disk within a second, without stopping.
    QTRY_COMPARE_WITH_TIMEOUT(Lines(name).size(), 4, 2500);
    QVERIFY2(StatusText(*w).startsWith("REC 0:00:0"), qPrintable(StatusText(*w)));
    QVERIFY2(StatusText(*w).endsWith("  3 rows"), qPrintable(StatusText(*w)));
    QVERIFY(Lines(name)[1].contains(",3002,20.0,"));  // the first frame after the start

    // The unit stops answering: the live display is cleared, nothing is
    // recorded; it answers again: the same log goes on.
    answering_ = false;
    for (int i = 0; i < 300 && !w->Link().Live().ConnectionLost; ++i) w->Timer1Timer();
    QVERIFY(w->Link().Live().ConnectionLost);
    answering_ = true;
    Frames(*w, 2);
    w->findChild<QToolButton*>("SpeedButtonLogRecord")->click();  // the button stops too
    const QStringList lines = Lines(name);
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[3].contains(",3004,"));
    QVERIFY(lines[4].contains(",3005,"));
    QVERIFY(w->statusBar()->currentMessage().startsWith("Log saved: "));
    QVERIFY(w->statusBar()->currentMessage().endsWith(name));
    QVERIFY(!w->findChild<QLabel*>("LabelLogStatus")->isVisible());
    Frames(*w, 2);
    QCOMPARE(Lines(name).size(), 6);

    // A second recording within the same second gets a name of its own.
    w->findChild<QToolButton*>("SpeedButtonLogRecord")->click();
    w->findChild<QAction*>("MenuLogStop")->trigger();
    QCOMPARE(Logs().size(), 2);
  }

  void MenuFollowsTheLanguageAndSitsBeforeHelp() {
    auto w = Make();
    QMenu* menu = w->findChild<QMenu*>("MenuLog");
    QVERIFY(menu);
    const QList<QAction*> top = w->menuBar()->actions();
    const int log = top.indexOf(menu->menuAction());
    QCOMPARE(top.value(log + 1), w->findChild<QMenu*>("MenuHelp")->menuAction());
    w->findChild<QAction*>("MenuGerman")->trigger();
    emit menu->aboutToShow();
    QCOMPARE(menu->title(), QString("&Protokoll"));
    QCOMPARE(w->findChild<QAction*>("MenuLogRecord")->text(), QString("&Aufzeichnen"));
    w->findChild<QAction*>("MenuCzech")->trigger();
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    QVERIFY2(StatusText(*w).endsWith("0 řádků"), qPrintable(StatusText(*w)));
  }

  void AnalysisDialogColoursTheCellsAndAppliesAsOneUndoStep() {
    // Twelve lean rows in one cell, three in another.
    QFile log(dir_->filePath("ride.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("time_s,rpm,tps_pct,afr,coolant_c\n");
    for (int i = 0; i < 12; ++i) log.write(QString("%1,3000,20.0,14.8,80\n").arg(i).toUtf8());
    for (int i = 0; i < 3; ++i) log.write(QString("%1,5000,20.0,12.0,80\n").arg(20 + i).toUtf8());
    log.close();

    auto w = Make();
    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!dialog->OpenLog(dir_->filePath("missing.csv")));
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    auto* grid = dialog->findChild<QTableWidget*>("GridLogAnalysis");
    const int lean = MapCell(4, 2), few = MapCell(4, 4);
    QTableWidgetItem* leanItem = grid->item(4, 2);
    QCOMPARE(leanItem->data(Qt::UserRole).toInt(), int(CellVerdict::Lean));
    QCOMPARE(grid->item(4, 4)->data(Qt::UserRole).toInt(), int(CellVerdict::FewRows));
    QCOMPARE(grid->item(4, 4)->background().color(), QColor(Qt::lightGray));
    QVERIFY2(leanItem->toolTip().startsWith("rows 12, mean A/F 14.80, target 13.2, now 100 %, suggested 112 %"),
             qPrintable(leanItem->toolTip()));
    QCOMPARE(leanItem->text(), QString("112 (+12)"));
    QCOMPARE(dialog->findChild<QLabel*>("LabelLogSummary")->text(), QString("15 rows, 15 used, 1 cells to change"));

    // Map 2 follows map 1 in the defaults' " 1 = 2" mode.
    const ParameterImage before = w->Image();
    const int steps = UndoDepth(w->Undo());
    dialog->findChild<QComboBox*>("ComboBoxLogMap")->setCurrentIndex(1);
    dialog->Apply();
    QCOMPARE(w->Image(), before);
    QVERIFY(dialog->findChild<QLabel*>("LabelLogSummary")->text().startsWith("Map 2 follows map 1"));
    dialog->findChild<QComboBox*>("ComboBoxLogMap")->setCurrentIndex(0);

    dialog->findChild<QPushButton*>("ButtonLogApply")->click();
    QCOMPARE(w->PageIndex(), int(PageInj1));
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 112);
    QCOMPARE(int(w->Tables().PercentMap1[few]), 100);
    QCOMPARE(w->Image().Word(kInj2Map + 2 * lean), w->Image().Word(kInj1Map + 2 * lean));
    QCOMPARE(UndoDepth(w->Undo()), steps + 1);
    // The log is used up: it describes the map before the change, and is
    // not applied a second time.
    QCOMPARE(dialog->findChild<QLabel*>("LabelLogSummary")->text(),
             QString("1 cells written into the map. Record a new log to check them."));
    QVERIFY(!dialog->findChild<QPushButton*>("ButtonLogApply")->isEnabled());
    QVERIFY(!dialog->findChild<QComboBox*>("ComboBoxLogMap")->isEnabled());
    dialog->Apply();
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 112);
    QCOMPARE(UndoDepth(w->Undo()), steps + 1);

    w->findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(w->Image(), before);
  }

  void AnalysisAppliesOnlyTheSelectedCells() {
    QFile log(dir_->filePath("ride.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("time_s,rpm,tps_pct,afr,coolant_c\n");
    for (int i = 0; i < 10; ++i) log.write(QString("%1,3000,20.0,14.8,80\n").arg(i).toUtf8());
    for (int i = 0; i < 10; ++i) log.write(QString("%1,5000,20.0,12.0,80\n").arg(20 + i).toUtf8());
    log.close();
    auto w = Make();
    // The log just recorded opens with the dialog; here the recorder has
    // none, so the dialog starts empty.
    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(!dialog->Result());
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    auto* grid = dialog->findChild<QTableWidget*>("GridLogAnalysis");
    grid->clearSelection();
    grid->setCurrentCell(4, 4, QItemSelectionModel::Select);
    dialog->Apply();
    QCOMPARE(int(w->Tables().PercentMap1[MapCell(4, 2)]), 100);
    QCOMPARE(int(w->Tables().PercentMap1[MapCell(4, 4)]), 91);  // 100 × 12.0 / 13.2
  }

  void ADirectoryThatCannotBeMadeIsTold() {
    QFile blocker(dir_->filePath("data"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the directory should be
    blocker.close();
    auto w = Make();
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    QVERIFY(w->findChild<QAction*>("MenuLogRecord")->isEnabled());
    QVERIFY2(w->statusBar()->currentMessage().startsWith("Cannot record the log: "),
             qPrintable(w->statusBar()->currentMessage()));
  }
};

}  // namespace

QTEST_MAIN(WindowLogTest)
#include "window_log_test.moc"

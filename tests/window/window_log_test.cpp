// Recording a log from the window: the Log menu and its tool button, the
// file in the logs directory growing while the unit answers, nothing
// recorded while it does not, the status bar, the four languages.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QTextDocument>
#include <QTabBar>
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

#include "editor/undo.h"
#include "file_size_limit.h"
#include "ui/window/form_hlav.h"
#include "log/map_analysis.h"
#include "log/log_paths.h"
#include "log/ridden_tunes.h"
#include "editor/document.h"
#include "files/ign_file.h"
#include "editor/program_review.h"
#include "ui/log/log_analysis_dialog.h"
#include "ui/log/log_recorder.h"
#include "ui/log/log_viewer.h"

#include <QListWidget>
#include <QWheelEvent>
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

class WindowLogTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowLogTest() : WindowFixture({.showing = WindowSetup::Shown}) {}

 private:
  bool answering_ = true;
  int rpm_ = 3000;

  // Ticks until `frames` more monitor frames were accepted.
  static void Frames(TFormHlav& w, int frames) {
    const std::uint32_t until = w.Link().MonitorFrames() + static_cast<std::uint32_t>(frames);
    for (int i = 0; i < 100 * frames && w.Link().MonitorFrames() < until; ++i) w.Timer1Timer();
    QCOMPARE(w.Link().MonitorFrames(), until);
  }
  QStringList Logs() const {
    return QDir(dir_->filePath("data/logs")).entryList({"*.csv"}, QDir::Files, QDir::Name);
  }
  // ride.csv: twelve warm rows at 3000 rpm and 20 % throttle reading 14.8,
  // one lean cell (4, 2) that the analysis takes to 112 %.
  bool WriteLeanRide() const {
    QFile log(dir_->filePath("ride.csv"));
    if (!log.open(QIODevice::WriteOnly)) return false;
    log.write("time_s,rpm,tps_pct,afr,coolant_c\n");
    for (int i = 0; i < 12; ++i) log.write(QString("%1,3000,20.0,14.8,80\n").arg(i).toUtf8());
    return true;
  }
  QStringList Lines(const QString& name) const {
    QFile f(dir_->filePath("data/logs/" + name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }
  static QString StatusText(TFormHlav& w) { return w.findChild<QLabel*>("LabelLogStatus")->text(); }

 private slots:
  void init() {
    Reset();
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
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

  // A disk that is full when Record is pressed, or fills while it records:
  // the recorder is off at once, the menu offers Record again, the status
  // bar says why, and the next Record starts a new, whole log.
  void AFullDiskStopsTheRecordingAndTheNextRecordStartsAWholeLog() {
    auto w = Make();
    auto* recorder = w->findChild<LogRecorder*>("LogRecorder");
    QAction* record = w->findChild<QAction*>("MenuLogRecord");
    QAction* stop = w->findChild<QAction*>("MenuLogStop");
    const auto off = [&] { return !recorder->Recording() && record->isEnabled() && !stop->isEnabled(); };
    const auto said = [&](const QString& reason) {
      const QString m = w->statusBar()->currentMessage();
      return m.startsWith("Cannot record the log: ") && m.endsWith(reason);
    };

    {
      FileSizeLimit full(0);
      record->trigger();
    }
    QVERIFY(off());
    QVERIFY2(said(": File too large"), qPrintable(w->statusBar()->currentMessage()));
    Frames(*w, 2);
    QVERIFY(Logs().isEmpty());  // not even an empty file

    record->trigger();
    QVERIFY(recorder->Recording());
    const QString first = Logs().value(0);
    const QString path = dir_->filePath("data/logs/" + first);
    const qint64 header = QFileInfo(path).size();
    {
      FileSizeLimit full(header + 10);
      Frames(*w, 3);
      QTRY_VERIFY_WITH_TIMEOUT(off(), 2500);
    }
    QVERIFY2(said(path + ": File too large"), qPrintable(w->statusBar()->currentMessage()));
    QVERIFY(!w->findChild<QLabel*>("LabelLogStatus")->isVisible());
    Frames(*w, 2);
    QCOMPARE(QFileInfo(path).size(), header + 10);  // where the disk gave up

    record->trigger();
    Frames(*w, 1);
    stop->trigger();
    QVERIFY(off());
    QCOMPARE(Logs().size(), 2);
    const LogReadResult log = ReadLogFile(dir_->filePath("data/logs/" + Logs().value(1)).toStdString());
    QVERIFY2(log.Ok, log.Error.c_str());
    QCOMPARE(log.Data.Size(), std::size_t{1});
    QVERIFY(log.Data.TimeMs(0) < 1000);  // a new clock: the failed one ran past a second
  }

  // Ctrl+R records, and stops while recording: the key is shown beside
  // the item it triggers.
  void CtrlRStartsAndStops() {
    auto w = Make();
    auto* recorder = w->findChild<LogRecorder*>("LogRecorder");
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(recorder->Recording());
    QCOMPARE(w->findChild<QAction*>("MenuLogStop")->shortcut(), QKeySequence("Ctrl+R"));
    Frames(*w, 2);
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!recorder->Recording());
    QVERIFY(w->statusBar()->currentMessage().startsWith("Log saved: "));
    QCOMPARE(w->findChild<QAction*>("MenuLogRecord")->shortcut(), QKeySequence("Ctrl+R"));
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(recorder->Recording());
    QCOMPARE(Logs().size(), 2);
  }

  void AFolderThatCannotBeMadeIsTheReasonGiven() {
    QFile blocker(dir_->filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("VELMOR_DATA_DIR", dir_->filePath("file/data").toUtf8());
    auto w = Make();
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    QVERIFY(w->findChild<QAction*>("MenuLogRecord")->isEnabled());
    QVERIFY(!w->findChild<QAction*>("MenuLogStop")->isEnabled());
    QCOMPARE(w->statusBar()->currentMessage(),
             "Cannot record the log: " + dir_->filePath("file/data/logs") + ": Not a directory");
  }

  void MenuFollowsTheLanguageAndSitsBeforeHelp() {
    auto w = Make();
    QMenu* menu = w->findChild<QMenu*>("MenuLog");
    QVERIFY(menu);
    const QList<QAction*> top = w->menuBar()->actions();
    const int log = top.indexOf(menu->menuAction());
    QCOMPARE(top.value(log + 1), w->findChild<QMenu*>("MenuHelp")->menuAction());
    w->findChild<QAction*>("MenuGerman")->trigger();
    QCOMPARE(menu->title(), QString("&Protokoll"));  // in the menu bar, before it is opened
    emit menu->aboutToShow();
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
    QCOMPARE(dialog->findChild<QLabel*>("LabelLogSummary")->text(), QString("15 rows, 15 used, 1 cell to change"));

    // Where the ride went: a click on the third tab shows each cell's rows.
    auto* tabs = dialog->findChild<QTabWidget*>("TabsLogAnalysis");
    QCOMPARE(tabs->tabText(2), QString("Rows per cell"));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
    auto* coverage = dialog->findChild<QTableWidget*>("GridLogCoverage");
    QVERIFY(coverage->isVisible());
    QCOMPARE(coverage->item(4, 2)->text(), QString("12"));
    QCOMPARE(coverage->item(4, 4)->text(), QString("3"));
    QCOMPARE(coverage->item(0, 0)->text(), QString());
    QCOMPARE(coverage->item(4, 4)->toolTip(), QString("3 rows of the log in this cell; the analysis asks for 10"));
    QVERIFY(coverage->item(4, 2)->background().color() != coverage->item(4, 4)->background().color());
    tabs->setCurrentIndex(0);

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
             QString("1 cell written into the map. Record a new log to check it."));
    QVERIFY(!dialog->findChild<QPushButton*>("ButtonLogApply")->isEnabled());
    QVERIFY(!dialog->findChild<QComboBox*>("ComboBoxLogMap")->isEnabled());
    dialog->Apply();
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 112);
    QCOMPARE(UndoDepth(w->Undo()), steps + 1);

    w->findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(w->Image(), before);
  }

  void TargetTableIsEditedUsedAndKeptBesideTheTune() {
    QVERIFY(WriteLeanRide());
    auto w = Make();
    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    auto* summary = dialog->findChild<QLabel*>("LabelLogSummary");
    QVERIFY(summary->text().endsWith("1 cell to change"));
    // Without a tune file there is nowhere to keep the table.
    QVERIFY(!dialog->SaveTargetTable());
    QCOMPARE(summary->text(), QString("Save the tune first: the target table is kept beside it."));

    auto* targets = dialog->findChild<QTableWidget*>("GridLogTarget");
    QCOMPARE(targets->item(4, 2)->text(), QString("13.2"));
    targets->item(4, 2)->setText("14.8");
    targets->item(4, 3)->setText("25");  // not an A/F: the old value stays
    QCOMPARE(targets->item(4, 3)->text(), QString("13.2"));
    auto* use = dialog->findChild<QCheckBox*>("CheckBoxLogTargetTable");
    QVERIFY(!use->isChecked());
    use->setChecked(true);
    QVERIFY2(summary->text().endsWith("0 cells to change"), qPrintable(summary->text()));

    const QString tune = dir_->filePath("r1.ign");
    w->ChooseFile = [&](bool, const QString&) { return tune; };
    w->MenuSaveClick(false);
    QVERIFY(dialog->SaveTargetTable());
    QCOMPARE(summary->text(), "Target table saved: " + dir_->filePath("r1.target.csv"));

    // A fresh dialog for that tune finds the table and uses it.
    delete dialog;
    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog->findChild<QCheckBox*>("CheckBoxLogTargetTable")->isChecked());
    QCOMPARE(int(dialog->TargetTable()[MapCell(4, 2)]), 148);
    QCOMPARE(int(dialog->TargetTable()[MapCell(4, 3)]), 132);
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

  // The dialog does not block the window: after the analysis a Read brings
  // the cell at 130 %. Apply of "112 (+12)" would take fuel away where the
  // log said the cell was lean, so it is refused and says why.
  void AnAnalysisWorkedOutBeforeAReadIsNotApplied() {
    QVERIFY(WriteLeanRide());
    auto w = Make();
    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    const int lean = MapCell(4, 2);
    QCOMPARE(dialog->findChild<QTableWidget*>("GridLogAnalysis")->item(4, 2)->text(), QString("112 (+12)"));

    ParameterImage unit = w->Image();
    DerivedTables tables;
    RefreshPercentMaps(unit, tables);
    for (int map : {kInj1Map, kInj2Map}) StorePercentCell(unit, map + 2 * lean, 130, tables.BaseTime1[lean]);
    port_.Reply = UnitWithMemory(unit);
    w->findChild<QAction*>("MenuRead")->trigger();  // the dialog has the focus
    for (int i = 0; i < 40; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 130);
    const int steps = UndoDepth(w->Undo());

    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonLogApply"), Qt::LeftButton);
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 130);
    QCOMPARE(UndoDepth(w->Undo()), steps);
    QVERIFY2(dialog->findChild<QLabel*>("LabelLogSummary")->text().contains("changed since this was worked out"),
             qPrintable(dialog->findChild<QLabel*>("LabelLogSummary")->text()));
  }

  // A log knows the tune it was ridden on: Record keeps the unit's tune
  // beside it once a transfer has told what the unit holds (none before).
  // Log -> Analyse log... opens the newest whole log, also in a new
  // session, and after one log was applied opens the next one recorded.
  void RecordKeepsTheRiddenTuneAndAnalyseOpensTheNewestLog() {
    auto w = Make();
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    w->findChild<QAction*>("MenuLogStop")->trigger();
    QCOMPARE(Logs().size(), 1);
    QVERIFY2(!QFile::exists(dir_->filePath("data/logs/" + QString(Logs()[0]).replace(".csv", ".ign"))),
             "nothing is known of the unit before a transfer");

    ParameterImage unit = w->Image();
    unit.P(35) = 93;
    testsupport::ScriptedUnit onTheCable(unit);
    onTheCable.Attach(port_);
    w->findChild<QAction*>("MenuRead")->trigger();
    for (int i = 0; i < 40 && w->Link().Outcome() != LinkOutcome::VerifyOk; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    QTest::qWait(1100);  // a log of its own second
    w->findChild<QAction*>("MenuLogRecord")->trigger();
    Frames(*w, 2);
    // A read during the ride brings other injection maps: a second tune
    // beside the log, and the rows after it name it.
    ParameterImage richer = unit;
    DerivedTables tables;
    RefreshPercentMaps(richer, tables);
    StorePercentCell(richer, kInj1Map + 2 * MapCell(4, 2), 110, tables.BaseTime1[MapCell(4, 2)]);
    onTheCable = testsupport::ScriptedUnit(richer);
    w->findChild<QAction*>("MenuRead")->trigger();
    for (int i = 0; i < 40 && w->Link().Outcome() != LinkOutcome::VerifyOk; ++i) w->Timer1Timer();
    QCOMPARE(w->Link().Outcome(), LinkOutcome::VerifyOk);
    Frames(*w, 2);
    w->findChild<QAction*>("MenuLogStop")->trigger();
    QCOMPARE(Logs().size(), 2);
    const QString newest = dir_->filePath("data/logs/" + Logs()[1]);
    ParameterImage ridden;
    QVERIFY(LoadComparableImage(RiddenTunePath(newest.toStdString()), ParameterImage{}, ridden).Loaded());
    QCOMPARE(int(ridden.P(35)), 93);
    ParameterImage second;
    QVERIFY(LoadComparableImage(TunePathOfLog(newest.toStdString(), 2), ParameterImage{}, second).Loaded());
    DerivedTables secondTables;
    RefreshPercentMaps(second, secondTables);
    QCOMPARE(int(secondTables.PercentMap1[MapCell(4, 2)]), 110);
    const LogReadResult log = ReadLogFile(newest.toStdString());
    QVERIFY(log.Ok);
    QCOMPARE(log.Data.Size(), std::size_t{4});
    QCOMPARE(log.Data.Row(0)[LogCol::Tune], 1);
    QCOMPARE(log.Data.Row(3)[LogCol::Tune], 2);

    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QCOMPARE(dialog->LogPath(), newest);
    QVERIFY2(dialog->findChild<QLabel*>("LabelLogBasis")->text().contains(QFileInfo(newest).completeBaseName()),
             qPrintable(dialog->findChild<QLabel*>("LabelLogBasis")->text()));

    // A new session: the newest log of the folder.
    w.reset();
    auto again = Make();
    again->findChild<QAction*>("MenuLogAnalyse")->trigger();
    QCOMPARE(again->findChild<LogAnalysisDialog*>("DialogLogAnalysis")->LogPath(), newest);
  }

  // The first log, ridden on the 100 % map, opened again after its
  // corrections went in: the cell it would change holds 112 now, so it is
  // shown as changed since the ride and nothing can be applied twice.
  void ALogIsNotAppliedTwice() {
    auto w = Make();
    QVERIFY(WriteLeanRide());
    QVERIFY(SaveParameterFile(dir_->filePath("ride.ign").toStdString(), w->Image(), FileVersions()).Ok);
    const int lean = MapCell(4, 2);

    w->findChild<QAction*>("MenuLogAnalyse")->trigger();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonLogApply"), Qt::LeftButton);
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 112);
    const ParameterImage corrected = w->Image();

    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    auto* grid = dialog->findChild<QTableWidget*>("GridLogAnalysis");
    QCOMPARE(grid->item(4, 2)->text(), QString("112 (+12)"));  // what the ride said of the map it was on
    QVERIFY2(grid->item(4, 2)->toolTip().endsWith("(changed since this log was recorded: now 112 %)"),
             qPrintable(grid->item(4, 2)->toolTip()));
    QVERIFY(!dialog->findChild<QPushButton*>("ButtonLogApply")->isEnabled());
    QVERIFY(dialog->findChild<QLabel*>("LabelLogBasis")->text().endsWith(
        "1 cell has changed since this log was recorded and is not selected."));
    dialog->Apply();
    QCOMPARE(w->Image(), corrected);

    // Set to 105 % by hand, the cell may still be chosen: the ride's 112 is
    // written as it stands, not stacked on the 105 (that would give 118).
    ParameterImage byHand = w->Image();
    DerivedTables tables;
    RefreshPercentMaps(byHand, tables);
    for (int map : {kInj1Map, kInj2Map}) StorePercentCell(byHand, map + 2 * lean, 105, tables.BaseTime1[lean]);
    QVERIFY(w->ApplyEdit(EditBetween(w->Image(), byHand, PageInj1)).Applied());
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 105);
    QVERIFY(dialog->OpenLog(dir_->filePath("ride.csv")));
    QVERIFY(!dialog->findChild<QPushButton*>("ButtonLogApply")->isEnabled());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(4, 2)).center());
    QVERIFY(dialog->findChild<QPushButton*>("ButtonLogApply")->isEnabled());
    QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonLogApply"), Qt::LeftButton);
    QCOMPARE(int(w->Tables().PercentMap1[lean]), 112);
  }

  void ViewerChartsTheLogWithOneTimeAxisACursorAndARange() {
    // 100 s of log, a row a second; the coolant sensor fails at 50 s.
    QDir(dir_->path()).mkpath("data/logs");
    QFile log(dir_->filePath("data/logs/ride.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("time_s,rpm,tps_pct,afr,coolant_c,gear,lap\n");
    for (int i = 0; i <= 100; ++i)
      log.write(QString("%1.000,%2,20.0,14.8,%3,3,1\n").arg(i).arg(3000 + 10 * i).arg(i == 50 ? QString() : "80").toUtf8());
    log.close();

    auto w = Make();
    // From the recent logs of the Log menu.
    QMenu* menu = w->findChild<QMenu*>("MenuLog");
    emit menu->aboutToShow();
    QAction* recent = w->findChild<QAction*>("MenuLogRecent1");
    QVERIFY(recent);
    QCOMPARE(recent->text(), QString("ride.csv"));
    recent->trigger();
    auto* viewer = w->findChild<LogViewer*>("FormLogViewer");
    QVERIFY(viewer && viewer->isVisible());
    // The default channels the log has, and every column of ours in the list.
    QCOMPARE(viewer->Channels(), (std::vector<LogCol>{LogCol::Rpm, LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC}));
    auto* list = viewer->findChild<QListWidget*>("ListLogChannels");
    QCOMPARE(list->count(), 5);  // rpm, tps_pct, afr, coolant_c, gear; not lap
    list->item(4)->setCheckState(Qt::Checked);
    QCOMPARE(viewer->Channels().back(), LogCol::Gear);
    QVERIFY(viewer->findChild<LogChart*>("ChartLog_gear"));
    list->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!viewer->findChild<LogChart*>("ChartLog_rpm"));
    // The coolant's fault at 50 s is a gap: a line up to it, one after it.
    const std::vector<QPolygonF>& coolant = viewer->findChild<LogChart*>("ChartLog_coolant_c")->Lines();
    QCOMPARE(coolant.size(), std::size_t{2});
    QCOMPARE(coolant[0].last().x(), 49.0);
    QCOMPARE(coolant[1].first().x(), 51.0);

    // Wheel zoom around the mouse and drag pan move every chart's time axis,
    // and every chart puts a time at the same place, whatever its value
    // labels.
    viewer->resize(1000, 900);
    QTest::qWait(50);
    auto sameAxis = [&] {
      QSet<QString> plots;
      for (LogChart* c : viewer->Charts()) {
        const QRect p = c->PlotRect();
        plots << QString("%1..%2").arg(p.left()).arg(p.right());
        if (qRound(c->XAtTime(42)) != qRound(viewer->Charts()[0]->XAtTime(42))) return false;
      }
      return plots.size() == 1;
    };
    QVERIFY(sameAxis());
    QCOMPARE(viewer->ShownTime(), (std::pair<double, double>{0.0, 100.0}));
    auto* afr = viewer->findChild<LogChart*>("ChartLog_afr");
    const QPointF middle = afr->PlotRect().center();
    QWheelEvent wheel(middle, afr->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(afr, &wheel);
    QCOMPARE(viewer->ShownTime().second - viewer->ShownTime().first, 80.0);
    QVERIFY(sameAxis());
    // Every chart's lines were worked out again for the new time: none
    // starts more than a row before it.
    for (LogChart* c : viewer->Charts())
      QVERIFY2(c->Lines().front().first().x() >= viewer->ShownTime().first - 1, qPrintable(c->objectName()));
    const double before = viewer->ShownTime().first;
    const QPoint from = middle.toPoint();
    QTest::mousePress(afr, Qt::LeftButton, {}, from);
    QTest::mouseMove(afr, from + QPoint(-100, 0));
    QTest::mouseRelease(afr, Qt::LeftButton, {}, from + QPoint(-100, 0));
    QVERIFY2(viewer->ShownTime().first > before, qPrintable(QString::number(viewer->ShownTime().first)));
    QVERIFY(sameAxis());
    // Panning stops at the end of the log.
    viewer->Pan(1000);
    QCOMPARE(viewer->ShownTime().second, 100.0);

    // The cursor names every channel's value; a fault is no value.
    viewer->SetCursor(50.4);
    QCOMPARE(viewer->CursorText(),
             QString("0:50.000   Throttle 20.0 %   Air/fuel ratio 14.8 A/F   Coolant -   Gear 3"));
    QTextDocument shown;
    shown.setHtml(viewer->findChild<QLabel*>("LabelLogCursor")->text());
    QCOMPARE(shown.toPlainText().simplified(), viewer->CursorText().simplified());
    viewer->SetCursor(10);
    QVERIFY(viewer->CursorText().contains("Coolant 80 °C"));

    // A range chosen in the viewer is what the analysis takes.
    viewer->SelectRange(30, 10);
    QCOMPARE(viewer->SelectedRange(), (std::pair<std::int32_t, std::int32_t>{10000, 30000}));
    QCOMPARE(viewer->findChild<QLabel*>("LabelLogRange")->text(), QString("10.0 s to 30.0 s: 20 rows"));
    viewer->findChild<QPushButton*>("ButtonLogViewerAnalyse")->click();
    auto* dialog = w->findChild<LogAnalysisDialog*>("DialogLogAnalysis");
    QVERIFY(dialog && dialog->isVisible() && dialog->Result());
    QCOMPARE(dialog->Result()->Counts.Rows, 20);

    // The viewer speaks the window's language.
    w->findChild<QAction*>("MenuFrench")->trigger();
    viewer->hide();
    viewer->show();
    QCOMPARE(viewer->findChild<QPushButton*>("ButtonLogViewerAnalyse")->text(), QString("Analyser..."));
    QCOMPARE(viewer->findChild<QLabel*>("LabelLogRange")->text(), QString("10.0 s à 30.0 s : 20 lignes"));
  }

  void PlaybackDrivesTheLiveDisplayInsteadOfTheUnit() {
    // Ten seconds at 3000 rpm and 20 %, then ten at 6000 rpm and 60 %.
    QDir(dir_->path()).mkpath("data/logs");
    QFile log(dir_->filePath("data/logs/ride.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("time_s,rpm,tps_pct,afr,coolant_c\n");
    for (int i = 0; i < 20; ++i)
      log.write(QString("%1,%2,%3,13.2,80\n").arg(i).arg(i < 10 ? 3000 : 6000).arg(i < 10 ? "20.0" : "60.0").toUtf8());
    log.close();
    rpm_ = 1200;  // the unit itself idles
    auto w = Make();
    w->ActivatePage(PageInj1);
    Frames(*w, 1);
    QCOMPARE(w->Link().Live().Rpm, 1200);
    const int portNumber = port_.LastOpened();
    emit w->findChild<QMenu*>("MenuLog")->aboutToShow();
    w->findChild<QAction*>("MenuLogRecent1")->trigger();
    auto* viewer = w->findChild<LogViewer*>("FormLogViewer");

    viewer->findChild<QPushButton*>("ButtonLogPlay")->click();
    QVERIFY(w->Playback().Playing());
    QVERIFY(!port_.open);  // the unit's port is closed while the log plays
    // Nothing would reach the unit: its commands wait for the playback's end.
    for (const char* name : {"ButtonRead", "ButtonVerify", "ButtonProgram", "CheckBoxProgHned"})
      QVERIFY2(!w->findChild<QWidget*>(name)->isEnabled(), name);
    for (const char* name : {"MenuRead", "MenuVerify", "MenuProgram", "MenuCompareUnit"})
      QVERIFY2(!w->findChild<QAction*>(name)->isEnabled(), name);
    QTest::keyClick(w.get(), Qt::Key_F7);
    QCOMPARE(w->Link().Transaction(), LinkTransaction::None);
    const std::size_t written = port_.sent.size();
    Frames(*w, 1);
    QCOMPARE(w->Link().Live().Rpm, 3000);
    QCOMPARE(w->Point().Column, 2);  // 3000 rpm on the default axis
    QCOMPARE(w->Point().Row, 4);     // 20 %
    QCOMPARE(port_.sent.size(), written);

    // Scrubbing with the viewer's cursor moves the playback.
    viewer->SetCursor(15);
    viewer->OnCursorSet(15);
    Frames(*w, 1);
    QCOMPARE(w->Link().Live().Rpm, 6000);
    QCOMPARE(w->Point().Column, 6);
    QCOMPARE(w->Point().Row, 7);

    // At 16x the position runs sixteen times as fast as the clock.
    viewer->SetCursor(0);
    viewer->OnCursorSet(0);
    viewer->findChild<QComboBox*>("ComboBoxLogSpeed")->setCurrentIndex(2);
    QTRY_VERIFY_WITH_TIMEOUT(w->Playback().PositionMs() >= 10000, 3000);
    QVERIFY(viewer->Cursor().value_or(0) > 5);
    viewer->findChild<QPushButton*>("ButtonLogPlay")->click();  // pause
    const std::int64_t paused = w->Playback().PositionMs();
    QTest::qWait(150);
    QCOMPARE(w->Playback().PositionMs(), paused);

    // Stop gives the unit its port back, and its frames come again.
    viewer->findChild<QPushButton*>("ButtonLogPlayStop")->click();
    QVERIFY(!w->Playback().Playing());
    QVERIFY(port_.open);
    QCOMPARE(port_.LastOpened(), portNumber);
    QVERIFY(w->findChild<QWidget*>("ButtonRead")->isEnabled());
    QVERIFY(w->findChild<QAction*>("MenuProgram")->isEnabled());
    Frames(*w, 1);
    QVERIFY(w->Link().Live().Rpm > 1000 && w->Link().Live().Rpm < 2000);

    // Closing the viewer while playing does the same.
    viewer->findChild<QPushButton*>("ButtonLogPlay")->click();
    QVERIFY(w->Playback().Playing());
    viewer->close();
    QVERIFY(!w->Playback().Playing());
    QVERIFY(port_.open);
  }

  void OpenLogAsksForAFileAndSaysWhyOneCannotBeShown() {
    auto w = Make();
    QFile bad(dir_->filePath("bad.csv"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("time_s,rpm\n0,1\n");
    bad.close();
    w->findChild<LogRecorder*>("LogRecorder")->ChooseLog = [&] { return dir_->filePath("bad.csv"); };
    w->findChild<QAction*>("MenuLogOpen")->trigger();
    auto* viewer = w->findChild<LogViewer*>("FormLogViewer");
    QVERIFY(!viewer || !viewer->isVisible());
    QCOMPARE(messages_, QStringList{"Cannot open the log " + dir_->filePath("bad.csv") +
                                    ": not a log of ours: no column tps_pct"});
    // A folder named like a log: the path once, and what it is.
    QDir(dir_->path()).mkpath("dir.csv");
    w->findChild<LogRecorder*>("LogRecorder")->ChooseLog = [&] { return dir_->filePath("dir.csv"); };
    w->findChild<QAction*>("MenuLogOpen")->trigger();
    QCOMPARE(messages_.value(1), "Cannot open the log " + dir_->filePath("dir.csv") + ": a folder, not a file");
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

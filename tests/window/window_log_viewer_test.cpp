// The log viewer as a tuner meets it on a screen of a stated size: every
// chart draws its curve across the whole log, a click puts the cursor at the
// time under the mouse, a break in the recording stays a gap, and the viewer
// with its status line and Analyse... fits the screen in every language.
#include <QFile>
#include <QListWidget>
#include <QScreen>
#include <QStyleOptionViewItem>
#include <QTextDocument>
#include <QtTest>
#include <cmath>
#include <map>
#include <set>

#include "ui/log/log_recorder.h"
#include "ui/log/log_viewer.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

namespace {

// A chart's line as the screen shows it: the pixels of the plot area in the
// channel's colour, in the chart's coordinates.
struct Drawn {
  QRect Plot;
  std::vector<QPoint> Pixels;

  std::set<int> Rows() const {
    std::set<int> rows;
    for (const QPoint& p : Pixels) rows.insert(p.y());
    return rows;
  }
  bool AnyBetween(int left, int right) const {
    return std::any_of(Pixels.begin(), Pixels.end(), [&](const QPoint& p) { return p.x() > left && p.x() < right; });
  }
};

Drawn Draw(LogChart* chart) {
  Drawn d;
  d.Plot = chart->PlotRect();
  const QImage image = chart->grab().toImage();
  const QRgb line = chart->Colour().rgb();
  for (int y = d.Plot.top(); y <= d.Plot.bottom(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == line) d.Pixels.emplace_back(x, y);
  return d;
}

int XAt(LogChart* chart, double time) { return qRound(chart->XAtTime(time)); }

std::size_t Points(LogChart* chart) {
  std::size_t n = 0;
  for (const QPolygonF& line : chart->Lines()) n += static_cast<std::size_t>(line.size());
  return n;
}

}  // namespace

class WindowLogViewerTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowLogViewerTest() : WindowFixture({.showing = WindowSetup::Shown}) {}

 private:
  // Opens a log of this text through Log -> Open log... of a new window.
  LogViewer* OpenLog(TFormHlav& w, const QByteArray& text) {
    QFile log(dir_->filePath("ride.csv"));
    if (!log.open(QIODevice::WriteOnly)) return nullptr;
    log.write(text);
    log.close();
    w.findChild<LogRecorder*>("LogRecorder")->ChooseLog = [this] { return dir_->filePath("ride.csv"); };
    w.findChild<QAction*>("MenuLogOpen")->trigger();
    auto* viewer = w.findChild<LogViewer*>("FormLogViewer");
    if (viewer) QTest::qWait(500);  // laid out and aligned
    return viewer;
  }

  // Two minutes of a ride, a row every 330 ms as the unit gives them: rpm
  // and throttle swing, the mixture wanders, the engine warms up.
  static QByteArray Ride() {
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    for (int ms = 1000; ms <= 121000; ms += 330) {
      const double t = ms / 1000.0;
      text += QString("%1,%2,%3,%4,%5\n")
                  .arg(t, 0, 'f', 3)
                  .arg(5000 + static_cast<int>(4000 * std::sin(t / 9)))
                  .arg(50 + 40 * std::sin(t / 5), 0, 'f', 1)
                  .arg(13.2 + std::sin(t / 3), 0, 'f', 1)
                  .arg(60 + ms / 4000)
                  .toUtf8();
    }
    return text;
  }

  // Every chart spans the log's time, holds every reading, and draws it
  // across the whole plot at the heights the readings have, with its title
  // and labels inside the view.
  static void CheckDrawn(LogViewer& viewer, const char* when) {
    const LogData& log = viewer.Data();
    const double first = log.TimeMs(0) / 1000.0;
    const double last = log.TimeMs(log.Size() - 1) / 1000.0;
    QCOMPARE(viewer.findChildren<LogChart*>().size(), viewer.Channels().size());
    QCOMPARE(viewer.ShownTime(), (std::pair<double, double>{first, last}));
    // Time labels at round times, from four to eight across the log.
    const std::vector<double> ticks = viewer.TimeTicks();
    QVERIFY2(ticks.size() >= 4 && ticks.size() <= 9, qPrintable(QString::number(ticks.size())));
    QVERIFY(ticks.front() >= first && ticks.front() - first < ticks[1] - ticks[0]);
    QVERIFY(last - ticks.back() < ticks[1] - ticks[0]);
    for (LogChart* chart : viewer.findChildren<LogChart*>()) {
      const QString name = chart->objectName() + " " + when;
      QVERIFY2(chart->Title().endsWith("]") || chart->Column() == LogCol::Gear, qPrintable(chart->Title()));
      QCOMPARE(Points(chart), log.Size());
      const Drawn d = Draw(chart);
      QVERIFY2(d.Plot.width() > 300 && d.Plot.height() > 40, qPrintable(name));
      QVERIFY2(chart->rect().contains(d.Plot), qPrintable(name));
      QVERIFY2(d.Rows().size() > static_cast<std::size_t>(d.Plot.height() / 2), qPrintable(name));
      QVERIFY2(!d.AnyBetween(-1, d.Plot.left() - 2) && d.AnyBetween(d.Plot.left() - 2, d.Plot.left() + 3),
               qPrintable(name));
      QVERIFY2(!d.AnyBetween(d.Plot.right() + 2, 100000) && d.AnyBetween(d.Plot.right() - 3, d.Plot.right() + 2),
               qPrintable(name));
    }
  }

 private slots:
  void init() {
    Reset();
    qputenv("VELMOR_DATA_DIR", dir_->filePath("data").toUtf8());
  }
  void cleanup() { qunsetenv("VELMOR_DATA_DIR"); }

  void EveryChartDrawsTheWholeLogAndStaysDrawnWhenChannelsChange() {
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, Ride());
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(viewer->Channels(), (std::vector<LogCol>{LogCol::Rpm, LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC}));
    CheckDrawn(*viewer, "opened");
    if (QTest::currentTestFailed()) return;

    // Unticked and ticked again with the mouse, rpm comes back at the end.
    auto* list = viewer->findChild<QListWidget*>("ListLogChannels");
    auto tick = [&](int row) {
      QStyleOptionViewItem option;
      option.initFrom(list->viewport());
      option.rect = list->visualItemRect(list->item(row));
      option.features = QStyleOptionViewItem::HasCheckIndicator;
      const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    };
    tick(0);
    QCOMPARE(viewer->Channels(), (std::vector<LogCol>{LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC}));
    QTest::qWait(50);
    CheckDrawn(*viewer, "rpm unticked");
    if (QTest::currentTestFailed()) return;
    tick(0);
    QCOMPARE(viewer->Channels(), (std::vector<LogCol>{LogCol::Rpm, LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC}));
    QTest::qWait(50);
    CheckDrawn(*viewer, "rpm ticked again");
    if (QTest::currentTestFailed()) return;

    viewer->resize(viewer->width() - 150, viewer->height() - 100);
    QTest::qWait(50);
    CheckDrawn(*viewer, "resized");
  }

  // Two minutes at ten rows a second, every channel a staircase that steps
  // up at 30, 60 and 90 s: a click on a step, where the screen shows it,
  // puts the cursor at that time, whichever chart is clicked and however far
  // it is zoomed.
  void AClickPutsTheCursorAtTheTimeUnderTheMouse() {
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    for (int tenth = 0; tenth < 1200; ++tenth) {
      const int stair = tenth / 300;
      text += QString("%1,%2,%3,%4,%5\n").arg(tenth / 10.0, 0, 'f', 1).arg(3000 + 2000 * stair)
                  .arg(20 + 20 * stair).arg(12 + stair).arg(60 + 10 * stair).toUtf8();
    }
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(viewer);
    // The middle of each near-vertical stretch of the line: where it steps.
    auto steps = [](LogChart* view) {
      const Drawn d = Draw(view);
      std::map<int, int> perColumn;
      for (const QPoint& p : d.Pixels) ++perColumn[p.x()];
      std::vector<std::pair<int, int>> runs;  // first and last column
      for (const auto& [x, n] : perColumn) {
        if (n < 6) continue;  // a level stretch is the pen's width high
        // A steep line of two pixels' width may leave a column between.
        if (!runs.empty() && x <= runs.back().second + 2) runs.back().second = x;
        else runs.emplace_back(x, x);
      }
      std::vector<int> middles;
      for (const auto& [first, last] : runs) middles.push_back((first + last) / 2);
      return middles;
    };
    auto clickAt = [&](LogChart* view, int x, double time) {
      QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(x, view->PlotRect().center().y()));
      const double pixel = (viewer->ShownTime().second - viewer->ShownTime().first) / Draw(view).Plot.width();
      const double cursor = viewer->Cursor().value_or(-1);
      QVERIFY2(std::abs(cursor - time) <= 0.05 + 2 * pixel,
               qPrintable(QString("%1 at %2 s: %3 s").arg(view->objectName()).arg(time).arg(cursor)));
    };
    for (const char* name : {"ChartLog_rpm", "ChartLog_afr", "ChartLog_coolant_c"}) {
      auto* view = viewer->findChild<LogChart*>(name);
      QVERIFY(view);
      const std::vector<int> at = steps(view);
      QCOMPARE(at.size(), std::size_t{3});
      for (int i = 0; i < 3; ++i) clickAt(view, at[static_cast<std::size_t>(i)], 29.95 + 30 * i);
    }
    viewer->ShowTime(50, 70);
    auto* tps = viewer->findChild<LogChart*>("ChartLog_tps_pct");
    const std::vector<int> at = steps(tps);
    QCOMPARE(at.size(), std::size_t{1});
    clickAt(tps, at[0], 59.95);
    QVERIFY(viewer->CursorText().startsWith("0:59.900") || viewer->CursorText().startsWith("1:00.000"));
  }

  // The unit stopped answering for 20 s while the recording went on: no
  // line is drawn across the time without readings, in any chart.
  void ABreakInTheRecordingIsDrawnAsAGap() {
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    auto row = [&](int ms) {
      text += QString("%1,%2,%3,13.%4,80\n")
                  .arg(ms / 1000.0, 0, 'f', 3).arg(3000 + ms / 10).arg(ms % 7 * 10).arg(ms % 9).toUtf8();
    };
    for (int ms = 0; ms <= 30000; ms += 330) row(ms);
    for (int ms = 50000; ms <= 80000; ms += 330) row(ms);
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(viewer);
    for (LogChart* view : viewer->findChildren<LogChart*>()) {
      const QString name = view->objectName();
      const std::vector<QPolygonF>& lines = view->Lines();
      QCOMPARE(lines.size(), std::size_t{2});
      QCOMPARE(lines[0].last().x(), 29.7);
      QCOMPARE(lines[1].first().x(), 50.0);
      const Drawn d = Draw(view);
      QVERIFY2(d.AnyBetween(XAt(view, 20), XAt(view, 29.7)) && d.AnyBetween(XAt(view, 50), XAt(view, 60)),
               qPrintable(name));
      // Clear of the pen's width at either end.
      QVERIFY2(!d.AnyBetween(XAt(view, 29.7) + 2, XAt(view, 50) - 2), qPrintable(name));
    }
  }

  // On the screen the test runs on (1024 x 768 among them), with the
  // playback controls and every channel of a full log ticked, in each
  // language.
  void ViewerFitsTheScreenWithItsStatusLineAndAnalyse_data() {
    QTest::addColumn<QString>("language");
    for (const char* word : {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"}) QTest::newRow(word) << word;
  }
  void ViewerFitsTheScreenWithItsStatusLineAndAnalyse() {
    QFETCH(QString, language);
    std::string text;
    AppendLogHeader(text);
    for (int i = 0; i < 100; ++i)
      AppendLogRow(LogRowFromMonitorFrame(MonitorFrame(3000 + 50 * i, 20).data(), 330 * i), text);
    auto w = Make({language.toStdString()});
    LogViewer* viewer = OpenLog(*w, QByteArray::fromStdString(text));
    QVERIFY(viewer);
    const QRect area = viewer->screen()->availableGeometry();
    auto check = [&](const char* when) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      const QString where = QString("%1: viewer at %2,%3 %4x%5 on %6x%7")
                                .arg(when).arg(viewer->x()).arg(viewer->y()).arg(viewer->width())
                                .arg(viewer->height()).arg(area.width()).arg(area.height());
      QVERIFY2(area.contains(viewer->frameGeometry()), qPrintable(where));
      for (const char* name : {"LabelLogRange", "ButtonLogViewerAnalyse", "ButtonLogPlay"}) {
        auto* c = viewer->findChild<QWidget*>(name);
        QVERIFY2(c && c->isVisible(), name);
        QVERIFY2(viewer->rect().contains(QRect(c->mapTo(viewer, QPoint(0, 0)), c->size())),
                 qPrintable(where + " " + name));
      }
    };
    check("opened");
    if (QTest::currentTestFailed()) return;
    auto* list = viewer->findChild<QListWidget*>("ListLogChannels");
    for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Checked);
    QCOMPARE(viewer->Channels().size(), std::size_t{kLogColumnCount - 1});
    QTest::qWait(50);
    check("every channel ticked");
  }

  // Ten hours at 330 ms: each chart draws a few points per pixel column,
  // and each column's line spans exactly the lowest and highest reading of
  // its rows; zoomed in to a few rows, every reading is drawn again. The
  // lines are worked out anew on each zoom, in every chart.
  void ALongLogIsDrawnFromEachPixelColumnsLowestAndHighest() {
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    const int rows = 10 * 3600 * 1000 / 330;
    auto rpm = [](int i) { return 3000 + (i * 7919) % 5000; };
    for (int i = 0; i < rows; ++i)
      text += QByteArray::number(i * 330 / 1000.0, 'f', 3) + "," + QByteArray::number(rpm(i)) + ",20.0,13.2,80\n";
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(viewer);
    LogChart* chart = viewer->findChild<LogChart*>("ChartLog_rpm");
    const int width = chart->PlotRect().width();
    QVERIFY(Points(chart) <= static_cast<std::size_t>(4 * width + 8));
    // Pixel columns by the time of their middle, as the chart puts them.
    const auto [from, to] = viewer->ShownTime();
    std::map<double, std::pair<double, double>> drawn;
    for (const QPolygonF& line : chart->Lines())
      for (const QPointF& p : line) {
        auto [it, fresh] = drawn.try_emplace(p.x(), p.y(), p.y());
        it->second = {std::min(it->second.first, p.y()), std::max(it->second.second, p.y())};
      }
    for (int column : {0, 1, width / 3, width - 1}) {
      const double middle = from + (column + 0.5) / width * (to - from);
      QVERIFY2(drawn.count(middle), qPrintable(QString::number(column)));
      int lo = 1 << 30, hi = 0;
      for (int i = 0; i < rows; ++i) {
        const double t = i * 330 / 1000.0;
        if (std::min<long>(width - 1, static_cast<long>((t - from) / (to - from) * width)) != column) continue;
        lo = std::min(lo, rpm(i));
        hi = std::max(hi, rpm(i));
      }
      QCOMPARE(drawn[middle], (std::pair<double, double>{lo, hi}));
    }
    // A minute shown by the wheel, then a few seconds: every chart again.
    while (viewer->ShownTime().second - viewer->ShownTime().first > 5) {
      const QPointF at = chart->PlotRect().center();
      QWheelEvent wheel(at, chart->mapToGlobal(at), {}, {0, 480}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                        false);
      QApplication::sendEvent(chart, &wheel);
    }
    const auto [a, b] = viewer->ShownTime();
    for (LogChart* c : viewer->Charts()) {
      const std::size_t shown = viewer->Data().RowAfter(std::llround(std::ceil(b * 1000))) -
                                viewer->Data().RowAfter(std::llround(std::floor(a * 1000)) - 1);
      QCOMPARE(Points(c), shown + 2);  // and the row beyond either edge
    }
  }

  // A file the viewer cannot chart is said in a message that names it once
  // and says why, and no viewer of empty charts opens.
  void AFileThatIsNoLogIsSaidInAMessage_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("semicolons") << QByteArray("time_s;rpm;tps_pct;afr;coolant_c\n0;1;2;13;80\n")
                                << "not a log of ours: the columns are separated by semicolons; a log separates them by commas";
    QTest::newRow("no log") << QByteArray("name,value\nidle,1000\n") << "not a log of ours: no column time_s";
    QTest::newRow("time out of range")
        << QByteArray("time_s,rpm,tps_pct,afr,coolant_c\n1700000000.000,1,2,13,80\n")
        << "line 2: time_s is out of range: 1700000000.000 (a log holds -2147483.647 to 2147483.647)";
    QTest::newRow("times go back")
        << QByteArray("time_s,rpm,tps_pct,afr,coolant_c\n0,1,2,13,80\n2,1,2,13,80\n1,1,2,13,80\n")
        << "the times are not in order: line 4 is at 1.000 s, before the line above it at 2.000 s";
  }
  void AFileThatIsNoLogIsSaidInAMessage() {
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(!viewer || !viewer->isVisible());
    QCOMPARE(messages_, QStringList{"Cannot open the log " + dir_->filePath("ride.csv") + ": " + message});
  }

  // The time axis counts like a clock: m:ss, h:mm:ss past an hour, tenths
  // when the ticks are that close, with ticks across whatever is shown.
  void TheTimeAxisReadsLikeAClock() {
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    for (int s = 0; s <= 3 * 3600; s += 10) text += QByteArray::number(s) + ",3000,20,13.2,80\n";
    auto w = Make();
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(viewer);
    const struct {
      double from, to;
      QStringList labels;
    } cases[] = {
        {0, 3 * 3600, {"0:00", "30:00", "1:00:00", "1:30:00", "2:00:00", "2:30:00", "3:00:00"}},
        {3540, 3660, {"59:00", "59:15", "59:30", "59:45", "1:00:00", "1:00:15", "1:00:30", "1:00:45", "1:01:00"}},
        {61, 62.5, {"1:01.0", "1:01.2", "1:01.4", "1:01.6", "1:01.8", "1:02.0", "1:02.2", "1:02.4"}},
        {100, 400, {"2:00", "3:00", "4:00", "5:00", "6:00"}},
    };
    for (const auto& c : cases) {
      viewer->ShowTime(c.from, c.to);
      QStringList labels;
      for (double t : viewer->TimeTicks()) labels << viewer->TimeLabel(t);
      QCOMPARE(labels.join(" "), c.labels.join(" "));
    }
  }

  // A click puts the cursor at a time; the readout gives that row's time and
  // every channel's value with its unit, in the window's language, and each
  // chart its channel's name and unit. The file's column names stay in the
  // list's hints.
  void TheReadoutAndTheNamesSpeakTheWindowsLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("rpmTitle");
    QTest::newRow("ENGLISH") << "ENGLISH"
                             << "0:30.000   Engine speed 4000 rpm   Throttle 35.0 %   Air/fuel ratio 13.5 A/F   "
                                "Coolant 70 °C"
                             << "Engine speed [rpm]";
    QTest::newRow("DEUTSCH") << "DEUTSCH"
                             << "0:30.000   Drehzahl 4000 U/min   Drosselklappe 35.0 %   Luft/Kraftstoff 13.5 A/F   "
                                "Kühlmittel 70 °C"
                             << "Drehzahl [U/min]";
    QTest::newRow("FRENCH") << "FRENCH"
                            << "0:30.000   Régime 4000 tr/min   Papillon 35.0 %   Rapport air/essence 13.5 A/F   "
                               "Liquide de refroidissement 70 °C"
                            << "Régime [tr/min]";
    QTest::newRow("CESKY") << "CESKY"
                           << "0:30.000   Otáčky 4000 ot/min   Škrticí klapka 35.0 %   Poměr vzduch/palivo 13.5 A/F   "
                              "Chladicí kapalina 70 °C"
                           << "Otáčky [ot/min]";
  }
  void TheReadoutAndTheNamesSpeakTheWindowsLanguage() {
    QFETCH(QString, language);
    QFETCH(QString, readout);
    QFETCH(QString, rpmTitle);
    // A row every second; from 30 s on the engine is at 4000 rpm.
    QByteArray text = "time_s,rpm,tps_pct,afr,coolant_c\n";
    for (int s = 0; s <= 60; ++s)
      text += QString("%1,%2,%3,%4,%5\n").arg(s).arg(s < 30 ? 3000 : 4000).arg(s < 30 ? "20.0" : "35.0")
                  .arg(s < 30 ? "13.0" : "13.5").arg(60 + s / 3).toUtf8();
    auto w = Make({language.toStdString()});
    LogViewer* viewer = OpenLog(*w, text);
    QVERIFY(viewer);
    auto* rpm = viewer->findChild<LogChart*>("ChartLog_rpm");
    QCOMPARE(rpm->Title(), rpmTitle);
    QCOMPARE(viewer->findChild<QListWidget*>("ListLogChannels")->item(0)->toolTip(), QString("rpm"));
    QTest::mouseClick(rpm, Qt::LeftButton, {}, QPoint(qRound(rpm->XAtTime(30.4)), rpm->PlotRect().center().y()));
    QCOMPARE(viewer->CursorText(), readout);
    QTextDocument shown;
    shown.setHtml(viewer->findChild<QLabel*>("LabelLogCursor")->text());
    QCOMPARE(shown.toPlainText().simplified(), readout.simplified());
    // Each channel in a colour of its own, its line and its readout alike.
    QSet<QRgb> colours;
    for (LogChart* c : viewer->Charts()) colours << c->Colour().rgb();
    QCOMPARE(colours.size(), static_cast<int>(viewer->Charts().size()));
    QVERIFY(viewer->findChild<QLabel*>("LabelLogCursor")->text().contains(rpm->Colour().name()));
  }
};

QTEST_MAIN(WindowLogViewerTest)
#include "window_log_viewer_test.moc"

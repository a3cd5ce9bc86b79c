// A log on stacked time charts: channels chosen from a list, one chart each
// (A/F with its target line), wheel zoom and drag pan of the time axis all
// charts share, a cursor that shows every channel's value at its time, and
// a time range chosen with Shift+drag for the analysis.
//
// The log is kept once, in its compact columns; each chart draws from a
// series thinned to the lowest and highest value of every pixel column of
// the time shown, worked out again from the columns on each zoom, pan and
// resize, so that a hundred hours draw as fast as a minute.
#pragma once

#include <QColor>
#include <QPointer>
#include <QPolygonF>
#include <QWidget>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "lang/log_texts.h"
#include "log/log_format.h"

class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace velmor::ui {

class LogViewer;

// One channel's chart. It turns the wheel, drags and clicks into times of
// the log and hands them to the viewer, which keeps every chart in step.
class LogChart : public QWidget {
  Q_OBJECT
 public:
  LogChart(LogViewer& viewer, LogCol column, QWidget* parent);

  LogCol Column() const { return column_; }
  // Where the lines are drawn; the same left and right edge in every chart
  // of a viewer.
  QRect PlotRect() const;
  double XAtTime(double time) const;
  double TimeAtX(double x) const;
  // The lines as drawn, in seconds and the channel's values: every reading
  // while the rows shown fit the pixels, else the first, lowest, highest and
  // last reading of each pixel column. A sensor fault or a break in the
  // recording ends a line.
  const std::vector<QPolygonF>& Lines() const { return lines_; }
  // The value axis: its ends and ticks at round numbers.
  std::pair<double, double> ValueRange() const { return {low_, high_}; }
  const std::vector<double>& ValueTicks() const { return ticks_; }
  QString ValueLabel(double value) const;
  QColor Colour() const;
  QString Title() const;
  // What the value labels need, for the common left edge.
  int LabelWidth() const;
  void SetLeft(int left);
  // The lines for the time shown and the plot's width.
  void Recompute();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void FindValueRange();

  LogViewer& viewer_;
  LogCol column_;
  double scale_ = 1;
  double low_ = 0, high_ = 1;
  std::vector<double> ticks_;
  int tickDecimals_ = 0;
  int left_ = 40;
  std::vector<QPolygonF> lines_;
  double pressX_ = 0, lastX_ = 0;
  bool selecting_ = false, dragged_ = false;
};

class LogViewer : public QWidget {
  Q_OBJECT
 public:
  explicit LogViewer(QWidget* parent = nullptr);
  ~LogViewer() override;

 protected:
  void showEvent(QShowEvent* event) override;

 public:
  // Reads the log and shows it whole; false when it cannot be read or
  // cannot be charted (times out of order, too large for the memory), and
  // then Problem() says why in the window's language and nothing is shown.
  bool Open(const QString& path);
  const QString& FilePath() const { return path_; }
  const LogData& Data() const { return log_; }
  const QString& Problem() const { return problem_; }
  // The rows that follow a break in the recording.
  const std::vector<std::size_t>& Breaks() const { return breaks_; }

  // The channels charted, top to bottom.
  void SetChannels(const std::vector<LogCol>& channels);
  const std::vector<LogCol>& Channels() const { return channels_; }
  static std::vector<LogCol> DefaultChannels();
  std::vector<LogChart*> Charts() const { return views_; }

  // The time shown, in seconds of the log; kept within the log.
  void ShowTime(double from, double to);
  std::pair<double, double> ShownTime() const { return shown_; }
  std::pair<double, double> WholeTime() const { return whole_; }
  // Zooms by `factor` (below 1 zooms in) around `centre`; pans by `delta` s.
  void Zoom(double centre, double factor);
  void Pan(double delta);
  // The time axis: ticks at round times across the time shown, and their
  // labels.
  std::vector<double> TimeTicks() const;
  QString TimeLabel(double time) const;

  // The cursor: every channel's value at the row at or before `time`.
  void SetCursor(double time);
  std::optional<double> Cursor() const { return cursor_; }
  // The row's time (m:ss.mmm) and each channel's value with its unit.
  QString CursorText() const;
  // A channel as the charts name it, in the window's language.
  QString ChannelName(LogCol col) const;
  QString ChannelUnit(LogCol col) const;

  // The range chosen for the analysis, in milliseconds of the log.
  void SelectRange(double from, double to);
  std::optional<std::pair<std::int32_t, std::int32_t>> SelectedRange() const { return selected_; }

  // Asked for by "Analyse...": the log and the range chosen (the whole log
  // when none is).
  std::function<void(const QString& path, std::int32_t fromMs, std::int32_t toMs)> AnalyseRange;

  // Told when the user puts the cursor somewhere (a click in a chart).
  std::function<void(double time)> OnCursorSet;
  // Told before another log replaces the one shown.
  std::function<void()> BeforeOpen;
  // A row of further controls above the charts. The viewer deletes it first
  // when it goes, while the hooks above that the row sets still exist.
  void AddControls(QWidget* row);

  // The language of the texts, asked each time they are shown.
  std::function<LanguageCode()> Language = [] { return LanguageCode::English; };

  // The target line of the A/F chart.
  double TargetAfr = 13.2;

 private:
  friend class LogChart;
  void FitToScreen();
  void Rebuild();
  void ApplyTime();
  void AlignPlotAreas();
  void UpdateSelectionLabel();
  QString Text(LogText text) const;
  std::size_t RowAt(double time) const;
  double TickStep() const;
  static QString ClockText(std::int32_t ms);
  std::vector<std::pair<LogCol, QString>> CursorValues() const;
  void ShowCursorText();
  // Where the rows of each pixel column of the time shown start.
  const std::vector<std::size_t>& ColumnStarts(int width);

  QString path_;
  QString problem_;
  LogData log_;
  std::vector<std::size_t> breaks_;
  std::vector<LogCol> channels_;
  std::pair<double, double> shown_{0, 1};
  std::pair<double, double> whole_{0, 1};
  std::optional<double> cursor_;
  std::optional<std::pair<std::int32_t, std::int32_t>> selected_;
  QListWidget* list_ = nullptr;
  QVBoxLayout* charts_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  std::vector<QPointer<QWidget>> controls_;
  QLabel* rangeLabel_ = nullptr;
  QPushButton* analyse_ = nullptr;
  std::vector<LogChart*> views_;
  std::vector<std::size_t> columnStarts_;
  std::tuple<double, double, int> columnsFor_{0, 0, -1};
  bool updatingList_ = false;
};

}  // namespace velmor::ui

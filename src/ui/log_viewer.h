// A log on stacked time charts: channels chosen from a list, one chart each
// (A/F with its target line), wheel zoom and drag pan of the time axis all
// charts share, a cursor that shows every channel's value at its time, and
// a time range chosen with Shift+drag for the analysis.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "lang/log_texts.h"
#include "log/log_format.h"

class QChart;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace velmor::ui {

class LogChartView;

class LogViewer : public QWidget {
  Q_OBJECT
 public:
  explicit LogViewer(QWidget* parent = nullptr);
  ~LogViewer() override;

 protected:
  void showEvent(QShowEvent* event) override;

 public:

  // Reads the log and shows it whole; false (with the reason in the window)
  // when it cannot be read.
  bool Open(const QString& path);
  const QString& FilePath() const { return path_; }
  const LogData& Data() const { return log_; }

  // The channels charted, top to bottom.
  void SetChannels(const std::vector<LogCol>& channels);
  const std::vector<LogCol>& Channels() const { return channels_; }
  static std::vector<LogCol> DefaultChannels();

  // The time shown, in seconds of the log; kept within the log.
  void ShowTime(double from, double to);
  std::pair<double, double> ShownTime() const { return shown_; }
  // Zooms by `factor` (below 1 zooms in) around `centre`; pans by `delta` s.
  void Zoom(double centre, double factor);
  void Pan(double delta);

  // The cursor: every channel's value at the row at or before `time`.
  void SetCursor(double time);
  std::optional<double> Cursor() const { return cursor_; }
  QString CursorText() const;

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
  // A row of further controls above the charts.
  void AddControls(QWidget* row);

  // The language of the texts, asked each time they are shown.
  std::function<LanguageCode()> Language = [] { return LanguageCode::English; };

  // The target line of the A/F chart.
  double TargetAfr = 13.2;

 private:
  void FitToScreen();
  void Rebuild();
  void ApplyTime();
  void AlignPlotAreas();
  void UpdateSelectionLabel();
  QString Text(LogText text) const;
  int RowAt(double time) const;

  QString path_;
  LogData log_;
  std::vector<LogCol> channels_;
  std::pair<double, double> shown_{0, 1};
  std::pair<double, double> whole_{0, 1};
  std::optional<double> cursor_;
  std::optional<std::pair<std::int32_t, std::int32_t>> selected_;
  QListWidget* list_ = nullptr;
  QVBoxLayout* charts_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
  QPushButton* analyse_ = nullptr;
  std::vector<LogChartView*> views_;
  bool updatingList_ = false;
  bool alignPending_ = false;
};

}  // namespace velmor::ui

#include "log_viewer.h"
#include "widgets.h"

#include <QChart>
#include <QChartView>
#include <QTimer>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QValueAxis>
#include <QWindow>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

namespace velmor::ui {

namespace {

double Scale(LogCol col) {
  double s = 1;
  for (int i = 0; i < LogColumn(col).Decimals; ++i) s *= 10;
  return s;
}

// Labels with the decimals ticks `step` apart need, and no more.
QString LabelFormat(double step) {
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  return QString("%.%1f").arg(decimals);
}

QString Name(LogCol col) {
  const std::string_view n = LogColumn(col).Name;
  return QString::fromLatin1(n.data(), static_cast<int>(n.size()));
}

}  // namespace

// One channel's chart. It turns the wheel, drags and clicks into times of
// the log and hands them to the viewer, which keeps every chart in step.
class LogChartView : public QChartView {
 public:
  LogChartView(LogViewer& viewer, QChart* chart, QWidget* parent)
      : QChartView(chart, parent), viewer_(viewer) {
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(false);
    setMinimumHeight(110);
    cursor_ = new QGraphicsLineItem(chart);
    cursor_->setPen(QPen(QColor(200, 0, 0), 1));
    cursor_->setZValue(20);
    cursor_->hide();
    band_ = new QGraphicsRectItem(chart);
    band_->setBrush(QColor(255, 200, 0, 60));
    band_->setPen(Qt::NoPen);
    band_->setZValue(10);
    band_->hide();
    connect(chart, &QChart::plotAreaChanged, this, [this] { Place(); });
  }

  // The time under a point of the view: the chart need not sit at the
  // view's origin, so the point goes through the scene to the chart.
  double TimeAtX(double x) const {
    const double inChart = chart()->mapFromScene(mapToScene(QPoint(qRound(x), 0))).x();
    const QRectF plot = chart()->plotArea();
    const auto [from, to] = viewer_.ShownTime();
    if (plot.width() <= 0) return from;
    return from + (inChart - plot.left()) / plot.width() * (to - from);
  }
  double XAtTime(double t) const {
    const QRectF plot = chart()->plotArea();
    const auto [from, to] = viewer_.ShownTime();
    return plot.left() + (t - from) / std::max(1e-9, to - from) * plot.width();
  }
  void SetMarks(std::optional<double> cursor, std::optional<std::pair<double, double>> band) {
    cursorTime_ = cursor;
    bandTime_ = band;
    Place();
  }

 protected:
  void wheelEvent(QWheelEvent* e) override {
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0) viewer_.Zoom(TimeAtX(e->position().x()), std::pow(0.8, steps));
    e->accept();
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return QChartView::mousePressEvent(e);
    pressX_ = lastX_ = e->position().x();
    selecting_ = e->modifiers() & Qt::ShiftModifier;
    dragged_ = false;
    e->accept();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton)) return QChartView::mouseMoveEvent(e);
    const double x = e->position().x();
    if (std::abs(x - pressX_) > 3) dragged_ = true;
    if (selecting_) {
      viewer_.SelectRange(TimeAtX(pressX_), TimeAtX(x));
    } else if (dragged_) {
      viewer_.Pan(TimeAtX(lastX_) - TimeAtX(x));
    }
    lastX_ = x;
    e->accept();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return QChartView::mouseReleaseEvent(e);
    if (!dragged_) {
      const double t = TimeAtX(e->position().x());
      viewer_.SetCursor(t);
      if (viewer_.OnCursorSet) viewer_.OnCursorSet(t);
    }
    e->accept();
  }

 private:
  void Place() {
    const QRectF plot = chart()->plotArea();
    if (cursorTime_) {
      const double x = XAtTime(*cursorTime_);
      cursor_->setLine(x, plot.top(), x, plot.bottom());
      cursor_->setVisible(x >= plot.left() && x <= plot.right());
    } else {
      cursor_->hide();
    }
    if (bandTime_) {
      const double a = std::clamp(XAtTime(bandTime_->first), plot.left(), plot.right());
      const double b = std::clamp(XAtTime(bandTime_->second), plot.left(), plot.right());
      band_->setRect(QRectF(QPointF(a, plot.top()), QPointF(b, plot.bottom())));
      band_->setVisible(b > a);
    } else {
      band_->hide();
    }
  }

  LogViewer& viewer_;
  QGraphicsLineItem* cursor_ = nullptr;
  QGraphicsRectItem* band_ = nullptr;
  std::optional<double> cursorTime_;
  std::optional<std::pair<double, double>> bandTime_;
  double pressX_ = 0, lastX_ = 0;
  bool selecting_ = false, dragged_ = false;
};

LogViewer::LogViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormLogViewer");
  auto* split = new QSplitter(this);
  list_ = new QListWidget(split);
  list_->setObjectName("ListLogChannels");
  auto* right = new QWidget(split);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  cursorLabel_ = new QLabel(right);
  cursorLabel_->setObjectName("LabelLogCursor");
  cursorLabel_->setWordWrap(true);
  rightLayout->addWidget(cursorLabel_);
  auto* scroll = new QScrollArea(right);
  scroll->setWidgetResizable(true);
  auto* chartsHost = new QWidget(scroll);
  charts_ = new QVBoxLayout(chartsHost);
  charts_->setContentsMargins(0, 0, 0, 0);
  charts_->setSpacing(0);
  scroll->setWidget(chartsHost);
  rightLayout->addWidget(scroll, 1);
  auto* bottom = new QHBoxLayout;
  rangeLabel_ = new QLabel(right);
  rangeLabel_->setObjectName("LabelLogRange");
  analyse_ = new QPushButton(right);
  analyse_->setObjectName("ButtonLogViewerAnalyse");
  bottom->addWidget(rangeLabel_, 1);
  bottom->addWidget(analyse_);
  rightLayout->addLayout(bottom);
  split->setStretchFactor(1, 1);
  split->setSizes({170, 930});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(split);
  FitToScreen();

  connect(list_, &QListWidget::itemChanged, this, [this] {
    if (updatingList_) return;
    std::vector<LogCol> chosen;
    for (int i = 0; i < list_->count(); ++i)
      if (list_->item(i)->checkState() == Qt::Checked)
        chosen.push_back(static_cast<LogCol>(list_->item(i)->data(Qt::UserRole).toInt()));
    SetChannels(chosen);
  });
  connect(analyse_, &QPushButton::clicked, this, [this] {
    if (!AnalyseRange || log_.Rows.empty()) return;
    const auto range = selected_.value_or(std::pair{std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()});
    AnalyseRange(path_, range.first, range.second);
  });
}

LogViewer::~LogViewer() = default;

void LogViewer::FitToScreen() {
  // The size the charts are best read at, but within what the screen leaves
  // free, so that the status line and Analyse... stay in reach on a small
  // screen. The frame the window manager gave the main window is kept free
  // around this one too.
  QRect area = screen()->availableGeometry();
  if (QWidget* owner = parentWidget(); owner && owner->window()->windowHandle())
    area = area.marginsRemoved(owner->window()->windowHandle()->frameMargins());
  const QSize size = QSize(1100, 800).boundedTo(area.size());
  setGeometry(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size, area));
}

QString LogViewer::Text(LogText text) const {
  const std::string_view s = LogUiText(text, Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void LogViewer::showEvent(QShowEvent* event) {
  analyse_->setText(Text(LogText::ViewerAnalyse));
  UpdateSelectionLabel();
  QWidget::showEvent(event);
}

std::vector<LogCol> LogViewer::DefaultChannels() {
  return {LogCol::Rpm, LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC, LogCol::Advance1Deg, LogCol::Inj1Us,
          LogCol::Inj2Us};
}

void LogViewer::AddControls(QWidget* row) {
  static_cast<QVBoxLayout*>(cursorLabel_->parentWidget()->layout())->insertWidget(0, row);
}

bool LogViewer::Open(const QString& path) {
  if (BeforeOpen) BeforeOpen();
  path_ = path;
  LogReadResult r = ReadLogFile(path.toStdString());
  setWindowTitle(path);
  if (!r.Ok) {
    log_ = {};
    cursorLabel_->setText(QString::fromStdString(r.Error));
    Rebuild();
    return false;
  }
  log_ = std::move(r.Data);
  whole_ = {0, 1};
  if (!log_.Rows.empty()) {
    whole_ = {log_.Rows.front().TimeMs() / 1000.0, log_.Rows.back().TimeMs() / 1000.0};
    if (whole_.second <= whole_.first) whole_.second = whole_.first + 1;
  }
  shown_ = whole_;
  cursor_.reset();
  selected_.reset();
  std::vector<LogCol> channels;
  for (LogCol c : DefaultChannels())
    if (log_.Has(c)) channels.push_back(c);
  cursorLabel_->clear();
  SetChannels(channels);
  UpdateSelectionLabel();
  return true;
}

void LogViewer::SetChannels(const std::vector<LogCol>& channels) {
  channels_.clear();
  for (LogCol c : channels)
    if (log_.Has(c) && c != LogCol::TimeS) channels_.push_back(c);
  updatingList_ = true;
  list_->clear();
  for (int i = 0; i < kLogColumnCount; ++i) {
    const auto col = static_cast<LogCol>(i);
    if (col == LogCol::TimeS || !log_.Has(col)) continue;
    auto* item = new QListWidgetItem(Name(col), list_);
    item->setData(Qt::UserRole, i);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool on = std::find(channels_.begin(), channels_.end(), col) != channels_.end();
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  updatingList_ = false;
  Rebuild();
}

void LogViewer::Rebuild() {
  for (LogChartView* v : views_) {
    charts_->removeWidget(v);
    delete v;
  }
  views_.clear();
  for (LogCol col : channels_) {
    const double scale = Scale(col);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(Name(col));
    chart->setMargins(QMargins(2, 0, 2, 0));
    chart->setBackgroundRoundness(0);
    // A line of its own for every stretch of readings: a sensor fault or a
    // break in the recording shows as a gap, not as a line across it. A lone
    // reading shows as its point.
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(log_.Rows.size()));
    QPen pen;
    for (const auto& [first, last] : ReadingRuns(log_, col)) {
      QList<QPointF> run;
      for (std::size_t i = first; i < last; ++i)
        run.append(QPointF(log_.Rows[i].TimeMs() / 1000.0, log_.Rows[i][col] / scale));
      points.append(run);
      auto* series = new QLineSeries(chart);
      series->replace(run);
      series->setPointsVisible(run.size() == 1);
      chart->addSeries(series);
      if (chart->series().size() == 1) pen = series->pen();  // the chart's colour for this channel
      else series->setPen(pen);
    }
    double lo = 0, hi = 1;
    if (!points.isEmpty()) {
      const auto [mn, mx] = std::minmax_element(points.begin(), points.end(),
                                                [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
      lo = mn->y();
      hi = mx->y();
    }
    if (col == LogCol::Afr) {
      auto* target = new QLineSeries(chart);
      target->setPen(QPen(QColor(0, 150, 0), 1, Qt::DashLine));
      target->append(whole_.first, TargetAfr);
      target->append(whole_.second, TargetAfr);
      chart->addSeries(target);
      lo = std::min(lo, TargetAfr);
      hi = std::max(hi, TargetAfr);
    }
    if (hi <= lo) {
      lo -= 1;
      hi += 1;
    }
    auto* x = new QValueAxis(chart);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    auto* y = new QValueAxis(chart);
    // A little room above and below the line, labels at round numbers, and
    // no negative values for a channel that never reads below zero.
    y->setTickCount(4);
    y->setRange(lo < 0 ? lo - (hi - lo) * 0.05 : std::max(0.0, lo - (hi - lo) * 0.05), hi + (hi - lo) * 0.05);
    y->applyNiceNumbers();
    y->setLabelFormat(LabelFormat((y->max() - y->min()) / std::max(1, y->tickCount() - 1)));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
      s->attachAxis(x);
      s->attachAxis(y);
    }
    // A time must be at the same place in every chart, whatever the width
    // of their value labels. Once for all the charts that moved.
    connect(chart, &QChart::plotAreaChanged, this, [this] {
      if (alignPending_) return;
      alignPending_ = true;
      QTimer::singleShot(0, this, &LogViewer::AlignPlotAreas);
    });
    auto* view = new LogChartView(*this, chart, charts_->parentWidget());
    view->setObjectName("ChartLog_" + Name(col));
    charts_->addWidget(view, 1);
    views_.push_back(view);
  }
  ApplyTime();
}

void LogViewer::AlignPlotAreas() {
  alignPending_ = false;
  constexpr int kMargin = 2;
  // Where each plot area would start with the plain margin, to the pixel it
  // is drawn from (the labels' widths have fractions). A margin set earlier
  // moves the plot area only when the chart is laid out again: the layout
  // is brought up to date first, or the margins would grow on the stale
  // areas with every round.
  std::vector<int> natural;
  int left = 0;
  for (LogChartView* v : views_) {
    v->chart()->layout()->activate();
    natural.push_back(qRound(v->chart()->plotArea().left()) - (v->chart()->margins().left() - kMargin));
    left = std::max(left, natural.back());
  }
  for (std::size_t i = 0; i < views_.size(); ++i) {
    QChart* chart = views_[i]->chart();
    const int wanted = kMargin + left - natural[i];
    if (chart->margins().left() != wanted) chart->setMargins(QMargins(wanted, 0, kMargin, 0));
  }
}

void LogViewer::ShowTime(double from, double to) {
  const double span = std::clamp(to - from, 0.5, whole_.second - whole_.first);
  from = std::clamp(from, whole_.first, whole_.second - span);
  shown_ = {from, from + span};
  ApplyTime();
}

void LogViewer::Zoom(double centre, double factor) {
  const double from = centre - (centre - shown_.first) * factor;
  const double to = centre + (shown_.second - centre) * factor;
  ShowTime(from, to);
}

void LogViewer::Pan(double delta) { ShowTime(shown_.first + delta, shown_.second + delta); }

void LogViewer::ApplyTime() {
  std::optional<std::pair<double, double>> band;
  if (selected_) band = std::pair{selected_->first / 1000.0, selected_->second / 1000.0};
  // Ticks at round seconds (1, 2 or 5 times a power of ten), about eight
  // across whatever is shown.
  double step = 0.1;
  for (int i = 0; (shown_.second - shown_.first) / step > 8; ++i)
    step = std::array{0.2, 0.5, 1.0}[i % 3] * std::pow(10.0, i / 3);
  for (LogChartView* v : views_) {
    if (auto* axis = qobject_cast<QValueAxis*>(v->chart()->axes(Qt::Horizontal).value(0))) {
      axis->setRange(shown_.first, shown_.second);
      axis->setTickInterval(step);
      axis->setLabelFormat(LabelFormat(step));
    }
    v->SetMarks(cursor_, band);
  }
}

int LogViewer::RowAt(double time) const {
  const auto ms = static_cast<std::int32_t>(std::lround(time * 1000));
  const auto it = std::upper_bound(log_.Rows.begin(), log_.Rows.end(), ms,
                                   [](std::int32_t t, const LogRow& r) { return t < r.TimeMs(); });
  if (it == log_.Rows.begin()) return log_.Rows.empty() ? -1 : 0;
  return static_cast<int>(it - log_.Rows.begin()) - 1;
}

void LogViewer::SetCursor(double time) {
  cursor_ = std::clamp(time, whole_.first, whole_.second);
  cursorLabel_->setText(CursorText());
  ApplyTime();
}

QString LogViewer::CursorText() const {
  if (!cursor_) return {};
  const int r = RowAt(*cursor_);
  if (r < 0) return {};
  const LogRow& row = log_.Rows[static_cast<std::size_t>(r)];
  QString text = QString("time_s %1").arg(row.TimeMs() / 1000.0, 0, 'f', 3);
  for (LogCol col : channels_) {
    text += "   " + Name(col) + " ";
    text += row.Has(col) ? QString::number(row[col] / Scale(col), 'f', LogColumn(col).Decimals) : QString("-");
  }
  return text;
}

void LogViewer::SelectRange(double from, double to) {
  if (to < from) std::swap(from, to);
  from = std::clamp(from, whole_.first, whole_.second);
  to = std::clamp(to, whole_.first, whole_.second);
  selected_ = std::pair{static_cast<std::int32_t>(std::lround(from * 1000)),
                        static_cast<std::int32_t>(std::lround(to * 1000))};
  UpdateSelectionLabel();
  ApplyTime();
}

void LogViewer::UpdateSelectionLabel() {
  if (!selected_) {
    rangeLabel_->setText(Counted(Text(LogText::ViewerRows), Language(), static_cast<long long>(log_.Rows.size())).arg(log_.Rows.size()));
    return;
  }
  int rows = 0;
  for (const LogRow& r : log_.Rows) rows += r.TimeMs() >= selected_->first && r.TimeMs() < selected_->second;
  rangeLabel_->setText(Counted(Text(LogText::ViewerRange), Language(), rows, 3)
                           .arg(selected_->first / 1000.0, 0, 'f', 1)
                           .arg(selected_->second / 1000.0, 0, 'f', 1)
                           .arg(rows));
}

}  // namespace velmor::ui

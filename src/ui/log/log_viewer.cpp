#include "ui/log/log_viewer.h"
#include "ui/widgets/widgets.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>
#include <new>

namespace velmor::ui {

namespace {

double Scale(LogCol col) {
  double s = 1;
  for (int i = 0; i < LogColumn(col).Decimals; ++i) s *= 10;
  return s;
}

QString Name(LogCol col) {
  const std::string_view n = LogColumn(col).Name;
  return QString::fromLatin1(n.data(), static_cast<int>(n.size()));
}

// 1, 2 or 5 times a power of ten: the smallest at least `raw`.
double RoundStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw * (1 - 1e-9)) return m * power;
  return 10 * power;
}

// A colour of its own for each channel, the same in every chart and in the
// cursor's readout.
QColor ChannelColour(LogCol col) {
  static const std::array<QColor, 10> kColours{
      QColor(31, 119, 180), QColor(214, 39, 40),  QColor(44, 160, 44),  QColor(148, 103, 189),
      QColor(255, 127, 14), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(23, 190, 207),
      QColor(188, 189, 34), QColor(90, 90, 90)};
  return kColours[static_cast<std::size_t>(col) % kColours.size()];
}

constexpr int kRightMargin = 12;
constexpr int kTopMargin = 4;

}  // namespace

LogChart::LogChart(LogViewer& viewer, LogCol column, QWidget* parent)
    : QWidget(parent), viewer_(viewer), column_(column), scale_(Scale(column)) {
  setObjectName("ChartLog_" + Name(column));
  setMinimumHeight(110);
  setAttribute(Qt::WA_OpaquePaintEvent);
  FindValueRange();
}

void LogChart::FindValueRange() {
  // Over the whole log, so that the axis stays still while the time moves.
  const LogData& log = viewer_.Data();
  std::int32_t lo = std::numeric_limits<std::int32_t>::max(), hi = std::numeric_limits<std::int32_t>::min();
  std::vector<std::int32_t> chunk(LogColumnData::kBlockRows);
  for (std::size_t first = 0; first < log.Size(); first += chunk.size()) {
    const std::size_t n = std::min(chunk.size(), log.Size() - first);
    log.Column(column_).Read(first, n, chunk.data());
    for (std::size_t i = 0; i < n; ++i) {
      if (chunk[i] == kLogMissing) continue;
      lo = std::min(lo, chunk[i]);
      hi = std::max(hi, chunk[i]);
    }
  }
  double min = 0, max = 1;
  if (lo <= hi) {
    min = lo / scale_;
    max = hi / scale_;
  }
  if (column_ == LogCol::Afr) {
    min = std::min(min, viewer_.TargetAfr);
    max = std::max(max, viewer_.TargetAfr);
  }
  if (max <= min) {
    min -= 1;
    max += 1;
  }
  // Ticks at round numbers, three to six of them, and the axis ends on two.
  const double step = RoundStep((max - min) / 4);
  low_ = std::floor(min / step + 1e-9) * step;
  high_ = std::ceil(max / step - 1e-9) * step;
  if (high_ <= low_) high_ = low_ + step;
  ticks_.clear();
  for (double v = low_; v <= high_ + step / 2; v += step) ticks_.push_back(std::abs(v) < step / 2 ? 0.0 : v);
  tickDecimals_ = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
}

QString LogChart::ValueLabel(double value) const { return QString::number(value, 'f', tickDecimals_); }

QColor LogChart::Colour() const { return ChannelColour(column_); }

QString LogChart::Title() const {
  const QString unit = viewer_.ChannelUnit(column_);
  return viewer_.ChannelName(column_) + (unit.isEmpty() ? QString() : " [" + unit + "]");
}

int LogChart::LabelWidth() const {
  int width = 0;
  for (double v : ticks_) width = std::max(width, fontMetrics().horizontalAdvance(ValueLabel(v)));
  return width + 8;
}

void LogChart::SetLeft(int left) {
  if (left == left_) return;
  left_ = left;
  Recompute();
}

QRect LogChart::PlotRect() const {
  const int line = fontMetrics().height();
  const int top = kTopMargin + line + 2;
  const int bottom = height() - line - 6;
  return QRect(QPoint(left_, top), QPoint(width() - 1 - kRightMargin, std::max(top + 1, bottom)));
}

double LogChart::XAtTime(double time) const {
  const QRect plot = PlotRect();
  const auto [from, to] = viewer_.ShownTime();
  return plot.left() + (time - from) / std::max(1e-9, to - from) * plot.width();
}

double LogChart::TimeAtX(double x) const {
  const QRect plot = PlotRect();
  const auto [from, to] = viewer_.ShownTime();
  if (plot.width() <= 0) return from;
  return from + (x - plot.left()) / plot.width() * (to - from);
}

void LogChart::Recompute() {
  lines_.clear();
  const LogData& log = viewer_.Data();
  const std::size_t n = log.Size();
  const int width = std::max(1, PlotRect().width());
  if (n == 0) return;
  const auto [from, to] = viewer_.ShownTime();
  // The rows shown and one on either side, so that a line runs to the edges.
  std::size_t first = log.RowAfter(static_cast<std::int64_t>(std::floor(from * 1000)) - 1);
  if (first > 0) --first;
  const std::size_t end = std::min(n, log.RowAfter(static_cast<std::int64_t>(std::ceil(to * 1000))) + 1);
  if (end <= first) return;
  const std::size_t count = end - first;
  std::vector<std::int32_t> values(count);
  log.Column(column_).Read(first, count, values.data());
  const std::vector<std::size_t>& breaks = viewer_.Breaks();
  auto nextBreak = std::upper_bound(breaks.begin(), breaks.end(), first);

  QPolygonF line;
  auto endLine = [&] {
    if (!line.isEmpty()) lines_.push_back(std::move(line));
    line = QPolygonF();
  };
  if (count <= static_cast<std::size_t>(2 * width)) {
    // Few enough to draw every reading.
    for (std::size_t k = 0; k < count; ++k) {
      if (nextBreak != breaks.end() && *nextBreak == first + k) {
        endLine();
        ++nextBreak;
      }
      if (values[k] == kLogMissing) {
        endLine();
        continue;
      }
      line.append(QPointF(log.TimeMs(first + k) / 1000.0, values[k] / scale_));
    }
    endLine();
    return;
  }
  // More rows than pixels: each pixel column's first, lowest, highest and
  // last reading, drawn at its middle; the rows beyond either edge where
  // they are. The rows of each column are found once for all the charts.
  const std::vector<std::size_t>& starts = viewer_.ColumnStarts(width);
  const double span = std::max(1e-9, to - from);
  auto addRow = [&](std::size_t k) {
    if (nextBreak != breaks.end() && *nextBreak == first + k) {
      endLine();
      ++nextBreak;
    }
    if (values[k] == kLogMissing) return endLine();
    line.append(QPointF(log.TimeMs(first + k) / 1000.0, values[k] / scale_));
  };
  for (std::size_t k = 0; k < starts.front() - first; ++k) addRow(k);
  for (int c = 0; c < width; ++c) {
    const double at = from + (c + 0.5) / width * span;
    bool any = false;
    std::int32_t firstValue = 0, low = 0, high = 0, lastValue = 0;
    auto flush = [&] {
      if (!any) return;
      for (std::int32_t v : {firstValue, low, high, lastValue}) {
        const QPointF p(at, v / scale_);
        if (line.isEmpty() || line.last() != p) line.append(p);
      }
      any = false;
    };
    for (std::size_t k = starts[static_cast<std::size_t>(c)] - first, e = starts[static_cast<std::size_t>(c) + 1] - first;
         k < e; ++k) {
      if (nextBreak != breaks.end() && *nextBreak == first + k) {
        flush();
        endLine();
        ++nextBreak;
      }
      const std::int32_t v = values[k];
      if (v == kLogMissing) {
        flush();
        endLine();
        continue;
      }
      if (!any) {
        firstValue = low = high = v;
        any = true;
      } else {
        low = std::min(low, v);
        high = std::max(high, v);
      }
      lastValue = v;
    }
    flush();
  }
  for (std::size_t k = starts.back() - first; k < count; ++k) addRow(k);
  endLine();
}

const std::vector<std::size_t>& LogViewer::ColumnStarts(int width) {
  // Row i is in pixel column floor((t - from) / span × width) of the time
  // shown: where each column's rows start, and where the last one's end.
  if (columnsFor_ == std::tuple{shown_.first, shown_.second, width}) return columnStarts_;
  columnsFor_ = std::tuple{shown_.first, shown_.second, width};
  const double from = shown_.first, span = std::max(1e-9, shown_.second - shown_.first);
  auto columnOf = [&](std::size_t i) {
    const double t = log_.TimeMs(i) / 1000.0;
    if (t < from) return -1L;
    if (t > shown_.second) return static_cast<long>(width);
    return std::min<long>(width - 1, static_cast<long>((t - from) / span * width));
  };
  columnStarts_.assign(static_cast<std::size_t>(width) + 1, 0);
  for (int c = 0; c <= width; ++c) {
    std::size_t lo = c == 0 ? 0 : columnStarts_[static_cast<std::size_t>(c) - 1], hi = log_.Size();
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (columnOf(mid) < c) lo = mid + 1;
      else hi = mid;
    }
    columnStarts_[static_cast<std::size_t>(c)] = lo;
  }
  return columnStarts_;
}

void LogChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().base());
  const QRect plot = PlotRect();
  const QFontMetrics fm = fontMetrics();
  // The values a few pixels inside the frame, so that a line at either end
  // of the axis is not drawn over by it.
  const QRect values = plot.adjusted(0, 3, 0, -3);
  const auto valueY = [&](double v) { return values.bottom() - (v - low_) / (high_ - low_) * values.height(); };

  // Title, grid and labels.
  p.setPen(Colour());
  p.drawText(QRect(left_, kTopMargin, width() - left_, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, Title());
  const QColor grid(225, 225, 225);
  const QColor text = palette().color(QPalette::Text);
  for (double v : ticks_) {
    const int y = qRound(valueY(v));
    p.setPen(grid);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(text);
    p.drawText(QRect(0, y - fm.height() / 2, left_ - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
               ValueLabel(v));
  }
  for (double t : viewer_.TimeTicks()) {
    const int x = qRound(XAtTime(t));
    p.setPen(grid);
    p.drawLine(x, plot.top(), x, plot.bottom());
    p.setPen(text);
    const QString label = viewer_.TimeLabel(t);
    const int w = fm.horizontalAdvance(label);
    const int lx = std::clamp(x - w / 2, 0, width() - w);
    p.drawText(QRect(lx, plot.bottom() + 3, w, fm.height()), Qt::AlignCenter, label);
  }
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(plot);

  p.setClipRect(plot.adjusted(0, 0, 1, 1));
  if (const auto range = viewer_.SelectedRange()) {
    const double a = std::clamp(XAtTime(range->first / 1000.0), double(plot.left()), double(plot.right()));
    const double b = std::clamp(XAtTime(range->second / 1000.0), double(plot.left()), double(plot.right()));
    if (b > a) p.fillRect(QRectF(QPointF(a, plot.top()), QPointF(b, plot.bottom())), QColor(255, 200, 0, 60));
  }
  if (column_ == LogCol::Afr) {
    p.setPen(QPen(QColor(0, 150, 0), 1, Qt::DashLine));
    const int y = qRound(valueY(viewer_.TargetAfr));
    p.drawLine(plot.left(), y, plot.right(), y);
  }
  const auto [from, to] = viewer_.ShownTime();
  const double xScale = plot.width() / std::max(1e-9, to - from);
  const double yScale = values.height() / (high_ - low_);
  // A line of one pixel: the raster engine draws it without stroking, a
  // few thousand points in well under a millisecond.
  p.setPen(QPen(Colour(), 1));
  QPolygonF drawn;
  for (const QPolygonF& line : lines_) {
    drawn.resize(line.size());
    for (qsizetype i = 0; i < line.size(); ++i)
      drawn[i] = QPointF(plot.left() + (line[i].x() - from) * xScale, values.bottom() - (line[i].y() - low_) * yScale);
    if (drawn.size() == 1) {
      p.save();
      p.setPen(QPen(Colour(), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawPoint(drawn[0]);
      p.restore();
    } else {
      p.drawPolyline(drawn);
    }
  }
  if (const auto cursor = viewer_.Cursor()) {
    const double x = XAtTime(*cursor);
    p.setPen(QPen(QColor(200, 0, 0), 1));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
}

void LogChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Recompute();
}

void LogChart::wheelEvent(QWheelEvent* e) {
  const double steps = e->angleDelta().y() / 120.0;
  if (steps != 0) viewer_.Zoom(TimeAtX(e->position().x()), std::pow(0.8, steps));
  e->accept();
}

void LogChart::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  pressX_ = lastX_ = e->position().x();
  selecting_ = e->modifiers() & Qt::ShiftModifier;
  dragged_ = false;
  e->accept();
}

void LogChart::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(e);
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

void LogChart::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  if (!dragged_) {
    const double t = TimeAtX(e->position().x());
    viewer_.SetCursor(t);
    if (viewer_.OnCursorSet) viewer_.OnCursorSet(t);
  }
  e->accept();
}

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
    if (!AnalyseRange || log_.Empty()) return;
    const auto range = selected_.value_or(std::pair{std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()});
    AnalyseRange(path_, range.first, range.second);
  });
}

LogViewer::~LogViewer() {
  // Qt would delete the rows with the other children, after this class's
  // members are gone, and a row clears its hooks when it is deleted.
  for (const QPointer<QWidget>& row : controls_) delete row.data();
}

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

QString LogViewer::ChannelName(LogCol col) const {
  const std::string_view s = LogChannelName(static_cast<int>(col), Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString LogViewer::ChannelUnit(LogCol col) const {
  const std::string_view s = LogChannelUnit(static_cast<int>(col), Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString LogViewer::Text(LogText text) const {
  const std::string_view s = LogUiText(text, Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void LogViewer::showEvent(QShowEvent* event) {
  analyse_->setText(Text(LogText::ViewerAnalyse));
  UpdateSelectionLabel();
  // The window's language may have changed since the log was opened.
  for (int i = 0; i < list_->count(); ++i)
    list_->item(i)->setText(ChannelName(static_cast<LogCol>(list_->item(i)->data(Qt::UserRole).toInt())));
  if (cursor_) ShowCursorText();
  for (LogChart* v : views_) v->update();
  QWidget::showEvent(event);
}

std::vector<LogCol> LogViewer::DefaultChannels() {
  return {LogCol::Rpm, LogCol::TpsPct, LogCol::Afr, LogCol::CoolantC, LogCol::Advance1Deg, LogCol::Inj1Us,
          LogCol::Inj2Us};
}

void LogViewer::AddControls(QWidget* row) {
  controls_.emplace_back(row);
  static_cast<QVBoxLayout*>(cursorLabel_->parentWidget()->layout())->insertWidget(0, row);
}

bool LogViewer::Open(const QString& path) {
  if (BeforeOpen) BeforeOpen();
  path_ = path;
  problem_.clear();
  // The log shown before goes first: two long logs need not fit at once.
  log_ = {};
  breaks_.clear();
  channels_.clear();
  columnsFor_ = {0, 0, -1};
  Rebuild();
  LogReadResult r;
  try {
    r = ReadLogFile(path.toStdString());
    // A chart runs left to right in time; rows that go back in time would
    // draw over each other.
    if (r.Ok && r.OutOfOrder) {
      r.Ok = false;
      r.Problem = r.OutOfOrder;
    }
    if (r.Ok) {
      log_ = std::move(r.Data);
      breaks_ = LogBreaks(log_);
    }
  } catch (const std::bad_alloc&) {
    log_ = {};
    breaks_.clear();
    r.Ok = false;
    r.Problem = {LogText::ReadTooLarge, {std::to_string(QFileInfo(path).size() >> 20)}};
  }
  setWindowTitle(path);
  if (!r.Ok) {
    log_ = {};
    problem_ = QString::fromStdString(DescribeLogProblem(r.Problem, Language()));
    cursorLabel_->setText(problem_);
    UpdateSelectionLabel();
    return false;
  }
  whole_ = {0, 1};
  if (!log_.Empty()) {
    whole_ = {log_.TimeMs(0) / 1000.0, log_.TimeMs(log_.Size() - 1) / 1000.0};
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
    // The channel's name in the window's language; the file's own column
    // name in its hint.
    auto* item = new QListWidgetItem(ChannelName(col), list_);
    item->setToolTip(Name(col));
    item->setData(Qt::UserRole, i);
    item->setForeground(ChannelColour(col));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool on = std::find(channels_.begin(), channels_.end(), col) != channels_.end();
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  updatingList_ = false;
  Rebuild();
}

void LogViewer::Rebuild() {
  // A chart already shown for a channel stays: only those ticked anew are
  // made, and their lines worked out.
  std::vector<LogChart*> shown;
  for (LogChart* v : views_) {
    if (std::find(channels_.begin(), channels_.end(), v->Column()) != channels_.end()) {
      shown.push_back(v);
      continue;
    }
    charts_->removeWidget(v);
    delete v;
  }
  std::vector<LogChart*> kept;
  for (LogCol col : channels_) {
    auto it = std::find_if(shown.begin(), shown.end(), [&](LogChart* v) { return v->Column() == col; });
    LogChart* view = it != shown.end() ? *it : new LogChart(*this, col, charts_->parentWidget());
    charts_->removeWidget(view);
    charts_->addWidget(view, 1);
    kept.push_back(view);
  }
  views_ = kept;
  AlignPlotAreas();
  ApplyTime();
}

void LogViewer::AlignPlotAreas() {
  // One left edge for all: a time is at the same x in every chart.
  int left = 30;
  for (LogChart* v : views_) left = std::max(left, v->LabelWidth());
  for (LogChart* v : views_) v->SetLeft(left);
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
  for (LogChart* v : views_) {
    v->Recompute();
    v->update();
  }
}

double LogViewer::TickStep() const {
  // Round steps of a clock: tenths, seconds, minutes, hours; four to eight
  // ticks across what is shown.
  static constexpr double kSteps[] = {0.1,  0.2,  0.5,   1,     2,     5,     10,    15,    30,     60,
                                      120,  300,  600,   900,   1800,  3600,  7200,  10800, 21600,  43200};
  const double span = shown_.second - shown_.first;
  for (double s : kSteps)
    if (span / s <= 8) return s;
  return 86400 * std::ceil(span / 8 / 86400);
}

std::vector<double> LogViewer::TimeTicks() const {
  const double step = TickStep();
  std::vector<double> ticks;
  for (double t = std::ceil(shown_.first / step - 1e-9) * step; t <= shown_.second + step * 1e-9; t += step)
    ticks.push_back(t);
  return ticks;
}

QString LogViewer::TimeLabel(double time) const {
  // m:ss, h:mm:ss past an hour, tenths when the ticks are that close.
  const bool tenths = TickStep() < 1;
  const long long units = std::llround(std::abs(time) * (tenths ? 10 : 1));
  const long long seconds = tenths ? units / 10 : units;
  QString text = time < 0 && units != 0 ? "-" : "";
  if (seconds >= 3600)
    text += QString("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
  else
    text += QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
  if (tenths) text += QString(".%1").arg(units % 10);
  return text;
}

std::size_t LogViewer::RowAt(double time) const {
  const std::size_t after = log_.RowAfter(std::llround(time * 1000));
  return after == 0 ? 0 : after - 1;
}

void LogViewer::SetCursor(double time) {
  if (log_.Empty()) return;
  cursor_ = std::clamp(time, whole_.first, whole_.second);
  ShowCursorText();
  for (LogChart* v : views_) v->update();
}

QString LogViewer::ClockText(std::int32_t ms) {
  // The time of a row to the millisecond, as the axis counts it.
  const std::int64_t magnitude = std::abs(std::int64_t{ms});
  const std::int64_t seconds = magnitude / 1000;
  QString text = ms < 0 ? "-" : "";
  if (seconds >= 3600)
    text += QString("%1:%2:").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0'));
  else
    text += QString("%1:").arg(seconds / 60);
  return text + QString("%1.%2").arg(seconds % 60, 2, 10, QChar('0')).arg(magnitude % 1000, 3, 10, QChar('0'));
}

std::vector<std::pair<LogCol, QString>> LogViewer::CursorValues() const {
  std::vector<std::pair<LogCol, QString>> values;
  if (!cursor_ || log_.Empty()) return values;
  const std::size_t r = RowAt(*cursor_);
  for (LogCol col : channels_) {
    const std::int32_t v = log_.Value(r, col);
    QString text = ChannelName(col) + " ";
    if (v == kLogMissing) {
      text += "-";
    } else {
      text += QString::number(v / Scale(col), 'f', LogColumn(col).Decimals);
      if (const QString unit = ChannelUnit(col); !unit.isEmpty()) text += " " + unit;
    }
    values.emplace_back(col, text);
  }
  return values;
}

QString LogViewer::CursorText() const {
  if (!cursor_ || log_.Empty()) return {};
  QString text = ClockText(log_.TimeMs(RowAt(*cursor_)));
  for (const auto& [col, value] : CursorValues()) text += "   " + value;
  return text;
}

void LogViewer::ShowCursorText() {
  // Each value in its channel's colour, as its line is drawn.
  QString html = "<b>" + ClockText(log_.TimeMs(RowAt(*cursor_))) + "</b>";
  for (const auto& [col, value] : CursorValues())
    html += "&nbsp;&nbsp; <span style=\"color:" + ChannelColour(col).name() + "\">" + value.toHtmlEscaped() +
            "</span>";
  cursorLabel_->setText(html);
}

void LogViewer::SelectRange(double from, double to) {
  if (to < from) std::swap(from, to);
  from = std::clamp(from, whole_.first, whole_.second);
  to = std::clamp(to, whole_.first, whole_.second);
  selected_ = std::pair{static_cast<std::int32_t>(std::lround(from * 1000)),
                        static_cast<std::int32_t>(std::lround(to * 1000))};
  UpdateSelectionLabel();
  for (LogChart* v : views_) v->update();
}

void LogViewer::UpdateSelectionLabel() {
  if (!selected_) {
    rangeLabel_->setText(Counted(Text(LogText::ViewerRows), Language(), static_cast<long long>(log_.Size()))
                             .arg(log_.Size()));
    return;
  }
  // The rows from the range's start up to (not with) its end.
  const std::size_t from = log_.RowAfter(std::int64_t{selected_->first} - 1);
  const std::size_t to = log_.RowAfter(std::int64_t{selected_->second} - 1);
  rangeLabel_->setText(Counted(Text(LogText::ViewerRange), Language(), static_cast<long long>(to - from), 3)
                           .arg(selected_->first / 1000.0, 0, 'f', 1)
                           .arg(selected_->second / 1000.0, 0, 'f', 1)
                           .arg(to - from));
}

}  // namespace velmor::ui

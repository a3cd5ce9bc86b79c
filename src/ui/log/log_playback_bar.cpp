#include "ui/log/log_playback_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <cmath>

#include "ui/session/session.h"
#include "lang/log_texts.h"
#include "ui/log/log_viewer.h"

namespace velmor::ui {

LogPlaybackBar::LogPlaybackBar(Session& window, LogViewer& viewer)
    : QWidget(&viewer), window_(window), viewer_(viewer) {
  setObjectName("PanelLogPlayback");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  play_ = new QPushButton(this);
  play_->setObjectName("ButtonLogPlay");
  stop_ = new QPushButton(this);
  stop_->setObjectName("ButtonLogPlayStop");
  stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  speed_ = new QComboBox(this);
  speed_->setObjectName("ComboBoxLogSpeed");
  speed_->addItems({"1x", "4x", "16x"});
  row->addWidget(play_);
  row->addWidget(stop_);
  row->addWidget(speed_);
  row->addStretch(1);
  viewer.AddControls(this);

  timer_.setInterval(55);
  connect(&timer_, &QTimer::timeout, this, &LogPlaybackBar::Advance);
  connect(play_, &QPushButton::clicked, this, [this] { Running() ? Pause() : Play(); });
  connect(stop_, &QPushButton::clicked, this, &LogPlaybackBar::Stop);
  viewer.OnCursorSet = [this](double t) {
    if (window_.Playback().Playing()) window_.Playback().SetPositionMs(static_cast<std::int64_t>(t * 1000));
  };
  viewer.BeforeOpen = [this] { Stop(); };
  UpdateButtons();
}

LogPlaybackBar::~LogPlaybackBar() {
  viewer_.OnCursorSet = nullptr;
  viewer_.BeforeOpen = nullptr;
}

void LogPlaybackBar::SetSpeed(int speed) { speed_->setCurrentIndex(speed >= 16 ? 2 : speed >= 4 ? 1 : 0); }

void LogPlaybackBar::Play() {
  LogPlaybackPort& port = window_.Playback();
  if (!port.Playing()) {
    if (!port.Start(viewer_.Data())) return;
    // From the cursor, when the tuner put it somewhere.
    if (const auto cursor = viewer_.Cursor()) port.SetPositionMs(std::llround(*cursor * 1000));
  } else if (port.PositionMs() >= port.EndMs()) {
    port.SetPositionMs(port.StartMs());
  }
  clock_.start();
  timer_.start();
  UpdateButtons();
}

void LogPlaybackBar::Pause() {
  timer_.stop();
  UpdateButtons();
}

void LogPlaybackBar::Stop() {
  timer_.stop();
  window_.Playback().Stop();
  UpdateButtons();
}

void LogPlaybackBar::hideEvent(QHideEvent* event) {
  // A closed viewer gives the unit its port back.
  Stop();
  QWidget::hideEvent(event);
}

void LogPlaybackBar::Advance() {
  LogPlaybackPort& port = window_.Playback();
  if (!port.Playing()) {
    Pause();
    return;
  }
  static constexpr int kSpeeds[] = {1, 4, 16};
  const qint64 elapsed = clock_.restart();
  port.SetPositionMs(port.PositionMs() + elapsed * kSpeeds[speed_->currentIndex()]);
  viewer_.SetCursor(static_cast<double>(port.PositionMs()) / 1000.0);
  if (port.PositionMs() >= port.EndMs()) Pause();
}

void LogPlaybackBar::UpdateButtons() {
  play_->setIcon(style()->standardIcon(Running() ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
  const std::string_view tip = LogUiText(Running() ? LogText::Pause : LogText::Play, window_.Language());
  play_->setToolTip(QString::fromUtf8(tip.data(), static_cast<int>(tip.size())));
  const std::string_view stop = LogUiText(LogText::StopPlayback, window_.Language());
  stop_->setToolTip(QString::fromUtf8(stop.data(), static_cast<int>(stop.size())));
  stop_->setEnabled(window_.Playback().Playing());
  window_.PlaybackChanged();
}

}  // namespace velmor::ui

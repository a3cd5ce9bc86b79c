// Playing the log of the viewer through the window: play and pause, 1x, 4x
// or 16x, and stop. While it plays the link talks to the log instead of the
// unit (whose port is closed), so the gauges, the monitor page and the
// operating point in the map follow the ride; the viewer's cursor follows
// the playback, and a click in the charts moves the playback there.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QComboBox;
class QPushButton;

namespace velmor::ui {

class LogViewer;
class Session;

class LogPlaybackBar : public QWidget {
  Q_OBJECT
 public:
  LogPlaybackBar(Session& window, LogViewer& viewer);
  ~LogPlaybackBar() override;

  void Play();
  void Pause();
  void Stop();
  bool Running() const { return timer_.isActive(); }
  // 1, 4 or 16.
  void SetSpeed(int speed);

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void Advance();
  void UpdateButtons();

  Session& window_;
  LogViewer& viewer_;
  QPushButton* play_ = nullptr;
  QPushButton* stop_ = nullptr;
  QComboBox* speed_ = nullptr;
  QTimer timer_;
  QElapsedTimer clock_;
};

}  // namespace velmor::ui

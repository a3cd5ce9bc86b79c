// Recording the monitor into a log from the window: the Log menu and a tool
// button start and stop it, the status bar shows the time and rows while it
// runs. One row per accepted monitor frame; a recording goes on across a
// lost and regained connection (time_s then has a gap). The tune the unit
// holds is kept beside the log as the recording starts and again each time
// a transfer changes its injection; every row names its tune.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "lang/catalog.h"
#include "lang/log_texts.h"
#include "link/engine.h"
#include "log/log_format.h"
#include "log/ridden_tunes.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolButton;

namespace velmor::ui {

class LogRecorder : public QObject {
  Q_OBJECT
 public:
  // Adds the Log menu before the Help menu, a record button to the window's
  // tool row and a label to its status bar. The window owns the recorder
  // (object name "LogRecorder").
  LogRecorder(QMainWindow& window, const LinkEngine& link, std::function<LanguageCode()> language);
  ~LogRecorder() override;

  // After every accepted monitor frame (and when the live display is
  // cleared, which records nothing).
  void MonitorDecoded();

  void Start();
  void Stop();
  bool Recording() const { return writer_.IsOpen(); }
  // The log being recorded, or the last one.
  const QString& FilePath() const { return path_; }
  std::uint64_t Rows() const { return writer_.Rows(); }
  // The Log menu, for further log commands.
  QMenu* Menu() const { return menu_; }
  // The menu's title, items and the record button in the window's language.
  void Retranslate();

 signals:
  // A new log was opened at `path` and records from now on.
  void Started(const QString& path);

 public:

  // The open dialog for a log, starting in the logs directory; an empty
  // result is a cancel. Tests replace it.
  std::function<QString()> ChooseLog;

  // Where logs go: "logs" beside the history in the data folder; empty
  // when the system gives none.
  static QString LogsDirectory();

 private:
  QString Text(LogText text) const;
  void UpdateStatus();
  void EverySecond();
  // Closes the log and puts the menu back to Record; false (and the reason
  // on the status bar) when the log could not be written whole.
  bool StopWriting();
  void Fail(const QString& reason);
  // The number of the tune the unit holds now, kept beside the log when new.
  int FollowTune();

  QMainWindow& window_;
  const LinkEngine& link_;
  std::function<LanguageCode()> language_;
  QMenu* menu_ = nullptr;
  QAction* record_ = nullptr;
  QAction* stop_ = nullptr;
  QToolButton* button_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer second_;
  QElapsedTimer clock_;
  LogWriter writer_;
  std::optional<TuneKeeper> tunes_;
  QString path_;
  std::uint32_t lastFrame_ = 0;
};

}  // namespace velmor::ui

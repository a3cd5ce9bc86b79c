#include "ui/log/log_menu.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "editor/document.h"
#include "files/ign_file.h"
#include "lang/link_texts.h"
#include "ui/session/session.h"
#include "log/log_paths.h"
#include "ui/log/log_analysis_dialog.h"
#include "ui/log/log_playback_bar.h"
#include "ui/log/log_recorder.h"
#include "ui/log/log_viewer.h"

namespace velmor::ui {
namespace {

constexpr int kRecentLogs = 10;

QString Text(const Session& window, LogText text) {
  const std::string_view s = LogUiText(text, window.Language());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The logs of the logs folder, newest first.
QFileInfoList NewestLogs() {
  return QDir(LogRecorder::LogsDirectory()).entryInfoList({"*.csv"}, QDir::Files, QDir::Time);
}

LogAnalysisDialog& AnalysisDialog(Session& window) {
  auto* dialog = window.Window().findChild<LogAnalysisDialog*>("DialogLogAnalysis");
  if (dialog == nullptr) dialog = new LogAnalysisDialog(window);
  dialog->FollowTune();
  dialog->show();
  dialog->raise();
  return *dialog;
}

LogViewer& Viewer(Session& window) {
  auto* viewer = window.Window().findChild<LogViewer*>("FormLogViewer");
  if (viewer == nullptr) {
    viewer = new LogViewer(&window.Window());
    viewer->Language = [&window] { return window.Language(); };
    new LogPlaybackBar(window, *viewer);
    viewer->AnalyseRange = [&window](const QString& path, std::int32_t from, std::int32_t to) {
      AnalysisDialog(window).OpenLog(path, from, to);
    };
  }
  return *viewer;
}

void OpenInViewer(Session& window, const QString& path) {
  LogViewer& viewer = Viewer(window);
  // A file that is no log, or none a chart can show, is said in a message,
  // not shown as a viewer of empty charts.
  if (!viewer.Open(path)) {
    viewer.hide();
    window.ShowMessageBox(Text(window, LogText::CannotOpenLog).arg(path, viewer.Problem()));
    return;
  }
  viewer.show();
  viewer.raise();
}

}  // namespace

void AddLogCommands(Session& window, LogRecorder& recorder) {
  QMenu* menu = recorder.Menu();
  menu->addSeparator();
  QAction* open = menu->addAction(QString());
  open->setObjectName("MenuLogOpen");
  QMenu* recent = menu->addMenu(QString());
  recent->setObjectName("MenuLogRecent");
  QAction* analyse = menu->addAction(QString());
  analyse->setObjectName("MenuLogAnalyse");
  menu->addSeparator();
  // More rows for a log: the unit is asked for a frame as soon as the last
  // one came. Off, the unit sees the original schedule.
  QAction* fast = menu->addAction(QString());
  fast->setObjectName("MenuFastMonitor");
  fast->setCheckable(true);
  fast->setChecked(window.Link().FastMonitor());
  QObject::connect(fast, &QAction::toggled, &window.Window(), [&window](bool on) { window.Link().SetFastMonitor(on); });
  auto linkText = [&window](LinkText text) {
    const std::string_view s = LinkCaption(text, window.Language());
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
  };
  menu->setToolTipsVisible(true);
  fast->setText(linkText(LinkText::MenuFastMonitor));
  fast->setToolTip(linkText(LinkText::FastMonitorHint));
  fast->setStatusTip(linkText(LinkText::FastMonitorHint));

  QObject::connect(menu, &QMenu::aboutToShow, &window.Window(), [&window, open, recent, analyse, fast, linkText] {
    fast->setText(linkText(LinkText::MenuFastMonitor));
    fast->setToolTip(linkText(LinkText::FastMonitorHint));
    fast->setStatusTip(linkText(LinkText::FastMonitorHint));
    fast->setChecked(window.Link().FastMonitor());
    open->setText(Text(window, LogText::OpenLogMenu));
    recent->setTitle(Text(window, LogText::RecentLogs));
    analyse->setText(Text(window, LogText::Analyse));
    // The newest logs of the logs directory.
    recent->clear();
    const QFileInfoList files = NewestLogs();
    for (int i = 0; i < files.size() && i < kRecentLogs; ++i) {
      const QString path = files[i].filePath();
      QAction* a = recent->addAction(files[i].fileName());
      a->setObjectName(QString("MenuLogRecent%1").arg(i + 1));
      QObject::connect(a, &QAction::triggered, &window.Window(), [&window, path] { OpenInViewer(window, path); });
    }
    recent->setEnabled(!files.isEmpty());
  });
  QObject::connect(open, &QAction::triggered, &window.Window(), [&window, &recorder] {
    const QString path = recorder.ChooseLog();
    if (!path.isEmpty()) OpenInViewer(window, path);
  });
  QObject::connect(analyse, &QAction::triggered, &window.Window(), [&window, &recorder] {
    LogAnalysisDialog& dialog = AnalysisDialog(window);
    // The newest whole log is the one a tuner looks at first: the one just
    // recorded, or in a new session the newest in the logs folder. One
    // still being recorded is not whole yet.
    QString newest;
    if (!recorder.Recording()) {
      newest = recorder.FilePath();
      if (newest.isEmpty()) {
        const QFileInfoList files = NewestLogs();
        if (!files.isEmpty()) newest = files.first().filePath();
      }
    }
    if (!newest.isEmpty() && newest != dialog.LogPath())
      dialog.OpenLog(newest);
    else
      dialog.Analyse();
  });
}

}  // namespace velmor::ui

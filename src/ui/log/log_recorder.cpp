#include "ui/log/log_recorder.h"
#include "ui/widgets/widgets.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "editor/document.h"
#include "log/log_paths.h"

namespace velmor::ui {

LogRecorder::LogRecorder(QMainWindow& window, const LinkEngine& link, std::function<LanguageCode()> language)
    : QObject(&window), window_(window), link_(link), language_(std::move(language)) {
  setObjectName("LogRecorder");
  ChooseLog = [this] {
    return QFileDialog::getOpenFileName(&window_, QString(), LogsDirectory(), "Logs (*.csv);;All Files (*)");
  };
  QMenuBar* bar = window.menuBar();
  menu_ = new QMenu(bar);
  menu_->setObjectName("MenuLog");
  menu_->menuAction()->setObjectName("MenuLog");
  QMenu* help = window.findChild<QMenu*>("MenuHelp");
  if (help != nullptr)
    bar->insertMenu(help->menuAction(), menu_);
  else
    bar->addMenu(menu_);
  record_ = menu_->addAction(QString());
  record_->setObjectName("MenuLogRecord");
  stop_ = menu_->addAction(QString());
  stop_->setObjectName("MenuLogStop");
  connect(record_, &QAction::triggered, this, &LogRecorder::Start);
  connect(stop_, &QAction::triggered, this, &LogRecorder::Stop);
  // The captions follow the language the window has when the menu opens.
  connect(menu_, &QMenu::aboutToShow, this, &LogRecorder::Retranslate);

  if (QWidget* tools = window.findChild<QWidget*>("GroupBoxToolBar"); tools != nullptr && tools->layout() != nullptr) {
    button_ = new QToolButton(tools);
    button_->setObjectName("SpeedButtonLogRecord");
    button_->setAutoRaise(true);
    button_->setIconSize(QSize(20, 20));
    tools->layout()->addWidget(button_);
    connect(button_, &QToolButton::clicked, this, [this] { Recording() ? Stop() : Start(); });
  }
  status_ = new QLabel(window.statusBar());
  status_->setObjectName("LabelLogStatus");
  status_->hide();
  window.statusBar()->addPermanentWidget(status_);

  second_.setInterval(1000);
  connect(&second_, &QTimer::timeout, this, &LogRecorder::EverySecond);
  Retranslate();
}

LogRecorder::~LogRecorder() { writer_.Close(); }

QString LogRecorder::Text(LogText text) const {
  const std::string_view s = LogUiText(text, language_());
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString LogRecorder::LogsDirectory() {
  return QString::fromStdString(velmor::LogsDirectory());
}

void LogRecorder::Retranslate() {
  menu_->setTitle(Text(LogText::Menu));
  record_->setText(Text(LogText::Record));
  stop_->setText(Text(LogText::Stop));
  record_->setEnabled(!Recording());
  stop_->setEnabled(Recording());
  // Ctrl+R records and, while recording, stops: the key moves to the item
  // it would trigger, so the menu shows what it does.
  record_->setShortcut(Recording() ? QKeySequence() : QKeySequence("Ctrl+R"));
  stop_->setShortcut(Recording() ? QKeySequence("Ctrl+R") : QKeySequence());
  if (button_ != nullptr) {
    button_->setToolTip(Recording() ? Text(LogText::Stop).remove('&') : Text(LogText::RecordHint));
    button_->setIcon(window_.style()->standardIcon(Recording() ? QStyle::SP_MediaStop : QStyle::SP_DialogYesButton));
  }
}

void LogRecorder::Start() {
  if (Recording()) return;
  const QString dir = LogsDirectory();
  if (dir.isEmpty()) {
    Fail(QStringLiteral("no HOME"));
    return;
  }
  std::error_code made;
  std::filesystem::create_directories(dir.toStdString(), made);
  if (made) {
    Fail(dir + ": " + QString::fromStdString(made.message()));
    return;
  }
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  const QDir logs(dir);
  const std::string name = LogFileName(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(),
                                       [&](const std::string& n) { return logs.exists(QString::fromStdString(n)); });
  path_ = logs.filePath(QString::fromStdString(name));
  std::string error;
  if (!writer_.Open(path_.toStdString(), &error)) {
    Fail(QString::fromStdString(error));
    return;
  }
  tunes_.emplace(path_.toStdString());
  FollowTune();
  clock_.start();
  // A frame decoded before the start is not part of the log.
  lastFrame_ = link_.MonitorFrames();
  second_.start();
  UpdateStatus();
  Retranslate();
  emit Started(path_);
}

void LogRecorder::Stop() {
  if (!Recording()) return;
  if (!StopWriting()) return;
  window_.statusBar()->showMessage(Text(LogText::Saved).arg(QDir::toNativeSeparators(path_)));
}

bool LogRecorder::StopWriting() {
  second_.stop();
  const bool ok = writer_.Close();
  status_->hide();
  Retranslate();
  if (!ok) Fail(QDir::toNativeSeparators(path_) + ": " + QString::fromStdString(writer_.Error()));
  return ok;
}

void LogRecorder::MonitorDecoded() {
  if (!Recording() || link_.MonitorFrames() == lastFrame_ || link_.Live().ConnectionLost) return;
  lastFrame_ = link_.MonitorFrames();
  LogRow row = LogRowFromMonitorFrame(link_.LastMonitorFrame().data(), static_cast<std::int32_t>(clock_.elapsed()));
  row[LogCol::Tune] = FollowTune();
  writer_.Add(row);
  // A write that failed ends the recording at once: the log on disk stops
  // where the disk gave up, and Record starts a new, whole one.
  if (writer_.Failed()) StopWriting();
}

void LogRecorder::EverySecond() {
  writer_.FlushIfDue(static_cast<std::int32_t>(clock_.elapsed()));
  if (writer_.Failed()) {
    StopWriting();
    return;
  }
  UpdateStatus();
}

void LogRecorder::UpdateStatus() {
  const qint64 s = clock_.elapsed() / 1000;
  const QString elapsed = QString("%1:%2:%3")
                              .arg(s / 3600)
                              .arg(s / 60 % 60, 2, 10, QChar('0'))
                              .arg(s % 60, 2, 10, QChar('0'));
  status_->setText(Counted(Text(LogText::Recording), language_(), static_cast<long long>(writer_.Rows()), 2).arg(elapsed).arg(writer_.Rows()));
  status_->show();
}

int LogRecorder::FollowTune() {
  std::string error;
  const int tune = tunes_->Follow(link_.KnownUnitImage(), [this] { return FileVersions(link_.Identity()); }, &error);
  if (!error.empty()) window_.statusBar()->showMessage(Text(LogText::TuneNotKept).arg(QString::fromStdString(error)));
  return tune;
}

void LogRecorder::Fail(const QString& reason) {
  window_.statusBar()->showMessage(Text(LogText::CannotWrite).arg(reason));
}

}  // namespace velmor::ui

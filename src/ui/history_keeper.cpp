#include "history_keeper.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>
#include <ctime>

#include "compare_dialog.h"
#include "form_about.h"
#include "form_hlav.h"
#include "history_dialog.h"
#include "model/normalise.h"

namespace velmor::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

HistoryKeeper::HistoryKeeper(TFormHlav& window, QMenu* file, QMenu* device)
    : QObject(&window), window_(window), directory_(HistoryDirectory()) {
  pendingTimer_.setSingleShot(true);
  connect(&pendingTimer_, &QTimer::timeout, this, [this] { WritePendingChange(); });
  QAction* history = file->addAction("History...");
  history->setObjectName("MenuHistory");
  connect(history, &QAction::triggered, this, &HistoryKeeper::ShowHistory);
  QAction* compare = file->addAction("Compare with file...");
  compare->setObjectName("MenuCompareFile");
  connect(compare, &QAction::triggered, this, [this] {
    const QString path = window_.ChooseFile(false, QString());
    if (!path.isEmpty()) CompareWithFile(path.toStdString(), QFileInfo(path).fileName());
  });
  (void)device;
}

void HistoryKeeper::ShowHistory() {
  auto* dialog = new HistoryDialog(directory_, &window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->OpenEntry = [this](const std::string& path) { OpenAsFile(path); };
  dialog->CompareEntry = [this](const std::string& path) {
    CompareWithFile(path, QFileInfo(QString::fromStdString(path)).completeBaseName());
  };
  dialog->open();
}

void HistoryKeeper::OpenAsFile(const std::string& path) {
  // The window's own Open, with the file chosen here instead of in its
  // dialog: the same messages, undo step, caption and remembered folder.
  const auto choose = window_.ChooseFile;
  window_.ChooseFile = [&path](bool, const QString&) { return QString::fromStdString(path); };
  window_.MenuOpenClick(false);
  window_.ChooseFile = choose;
}

void HistoryKeeper::CompareWithFile(const std::string& path, const QString& name) {
  ParameterImage image = window_.Image();
  DerivedTables tables;
  if (!ReadParameterFile(path, image, tables, IgnScope::WholeFile).Loaded()) {
    Notice("Nothing to compare: " + QString::fromStdString(path) + " holds no parameters");
    return;
  }
  // As the window would hold it after opening the file.
  PersistedSelection selection{};
  Normalise(image, selection);
  if (image.P(47) == MapModeEqual) CopyMap1ToMap2(image, tables);
  CompareWithImage(image, name);
}

void HistoryKeeper::CompareWithImage(const ParameterImage& image, const QString& name) {
  auto* dialog = new CompareDialog(window_, image, name);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

void HistoryKeeper::Notice(const QString& text) {
  lastNotice_ = text;
  window_.statusBar()->showMessage(text);
}

void HistoryKeeper::Keep(const ParameterImage& image, HistoryKind kind) {
  const IdentityTexts& id = window_.Link().Identity();
  const IgnVersionTexts versions{id.Date, id.Time, id.Name, TFormAbout::BuildDateText().toStdString(),
                                 TFormAbout::BuildTimeText().toStdString()};
  const HistoryWrite w = WriteHistoryEntry(directory_, image, versions, kind, std::time(nullptr));
  if (!w.Status.Ok) Notice("Not kept in the history: " + Q(w.Status.Reason));
}

void HistoryKeeper::TransactionEnded(LinkTransaction kind, LinkOutcome outcome) {
  const bool ok = outcome == LinkOutcome::VerifyOk || outcome == LinkOutcome::ProgramOk;
  const std::string& unit = window_.Link().Identity().Name;
  const ParameterImage& image = window_.Image();
  switch (kind) {
    case LinkTransaction::Read:
      if (outcome != LinkOutcome::VerifyOk) return;
      Keep(image, HistoryKind::Read);
      units_.Remember(unit, image);
      return;
    case LinkTransaction::Program:
      // Block 0 answered, so the unit is known; its tune before this one is
      // kept only if this session read or programmed it.
      if (outcome != LinkOutcome::VersionMismatch && !unit.empty() && !units_.Known(unit)) {
        Notice("No copy of the unit's previous tune in the history");
      }
      if (!ok) return;
      Keep(image, HistoryKind::Program);
      units_.Remember(unit, image);
      if (throttle_.Pending()) throttle_.Written(QDateTime::currentMSecsSinceEpoch());
      pendingTimer_.stop();
      return;
    case LinkTransaction::ProgramChanged: {
      if (!ok) return;
      pendingChange_ = image;
      units_.Remember(unit, image);
      const qint64 now = QDateTime::currentMSecsSinceEpoch();
      if (throttle_.Programmed(now)) {
        WritePendingChange();
      } else if (!pendingTimer_.isActive()) {
        pendingTimer_.start(static_cast<int>(std::max<qint64>(0, throttle_.DueAtMs() - now)));
      }
      return;
    }
    default:
      return;
  }
}

void HistoryKeeper::WritePendingChange() {
  if (!throttle_.Pending()) return;
  pendingTimer_.stop();
  Keep(pendingChange_, HistoryKind::Program);
  throttle_.Written(QDateTime::currentMSecsSinceEpoch());
}

void HistoryKeeper::Closing() { WritePendingChange(); }

}  // namespace velmor::ui

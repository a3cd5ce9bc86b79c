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
#include "program_review_dialog.h"
#include "files/program_review.h"
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
  QAction* compareUnit = device->addAction("Compare with the ignition...");
  compareUnit->setObjectName("MenuCompareUnit");
  connect(compareUnit, &QAction::triggered, this, &HistoryKeeper::CompareWithUnit);
  review_ = device->addAction("Review changes before programming");
  review_->setObjectName("MenuReviewBeforeProgram");
  review_->setCheckable(true);
}

bool HistoryKeeper::ReviewBeforeProgram() const { return review_->isChecked(); }

void HistoryKeeper::SetReviewBeforeProgram(bool on) { review_->setChecked(on); }

void HistoryKeeper::ProgramClick(std::function<void()> program) {
  if (!review_->isChecked()) {
    program();
    return;
  }
  // What the Program will write: the page committed and normalised, as the
  // link does it at its start. Not while a Read fills the image.
  if (window_.Link().AcceptsPageCommit()) window_.TransferPage();
  ParameterImage toProgram = window_.Image();
  PersistedSelection selection{};
  Normalise(toProgram, selection);
  const std::string& unit = window_.Link().Identity().Name;
  const ProgramReference reference = ReferenceBeforeProgram(unit, units_, directory_, toProgram);
  auto* dialog = new ProgramReviewDialog(reference, toProgram, Q(unit), window_.Language(), &window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [program = std::move(program)] { program(); });
  dialog->open();
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
  ParameterImage image;
  if (!LoadComparableImage(path, window_.Image(), image)) {
    Notice("Nothing to compare: " + QString::fromStdString(path) + " holds no parameters");
    return;
  }
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

void HistoryKeeper::Keep(const ParameterImage& image, HistoryKind kind, const IdentityTexts& id) {
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
      Keep(image, HistoryKind::Read, window_.Link().Identity());
      units_.Remember(unit, image);
      return;
    case LinkTransaction::Program:
      // Block 0 answered, so the unit is known; its tune before this one is
      // kept only if this session read or programmed it.
      if (outcome != LinkOutcome::VersionMismatch && !unit.empty() && !units_.Known(unit)) {
        Notice("No copy of the unit's previous tune in the history");
      }
      if (!ok) {
        if (outcome == LinkOutcome::Error && !unit.empty()) units_.ForgetAfterFailedProgram(unit);
        return;
      }
      Keep(image, HistoryKind::Program, window_.Link().Identity());
      units_.Remember(unit, image);
      if (throttle_.Pending()) throttle_.Written(QDateTime::currentMSecsSinceEpoch());
      pendingTimer_.stop();
      return;
    case LinkTransaction::ProgramChanged: {
      if (!ok) {
        if (outcome == LinkOutcome::Error && !unit.empty()) units_.ForgetAfterFailedProgram(unit);
        return;
      }
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
    case LinkTransaction::UnitCopy:
      UnitCopyEnded(outcome);
      return;
    default:
      return;
  }
}

void HistoryKeeper::CompareWithUnit() { window_.Link().ReadUnitCopy(); }

void HistoryKeeper::UnitCopyEnded(LinkOutcome outcome) {
  if (outcome != LinkOutcome::VerifyOk) {
    Notice("The ignition could not be read for the comparison");
    return;
  }
  ParameterImage unit = window_.Link().UnitCopy();
  const IdentityTexts id = BuildIdentityTexts(unit.Block(0));
  NormaliseForComparison(unit);
  // A copy of the unit's tune like any Read's, and what it now holds.
  Keep(unit, HistoryKind::Read, id);
  units_.Remember(id.Name, unit);
  CompareWithImage(unit, "the ignition");
}

void HistoryKeeper::WritePendingChange() {
  if (!throttle_.Pending()) return;
  pendingTimer_.stop();
  Keep(pendingChange_, HistoryKind::Program, window_.Link().Identity());
  throttle_.Written(QDateTime::currentMSecsSinceEpoch());
}

void HistoryKeeper::Closing() { WritePendingChange(); }

}  // namespace velmor::ui

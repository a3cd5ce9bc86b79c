#include "ui/history/history_keeper.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>
#include <ctime>
#include <utility>

#include "ui/history/compare_dialog.h"
#include "ui/session/session.h"
#include "ui/history/history_dialog.h"
#include "ui/history/program_review_dialog.h"
#include "editor/document.h"
#include "editor/program_review.h"
#include "model/normalise.h"

namespace velmor::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

HistoryKeeper::HistoryKeeper(Session& window, QMenu* file, QMenu* device)
    : QObject(&window.Window()), window_(window), directory_(HistoryDirectory()) {
  pendingTimer_.setSingleShot(true);
  connect(&pendingTimer_, &QTimer::timeout, this, [this] { WritePendingChange(); });
  history_ = file->addAction(QString());
  history_->setObjectName("MenuHistory");
  connect(history_, &QAction::triggered, this, &HistoryKeeper::ShowHistory);
  compareFile_ = file->addAction(QString());
  compareFile_->setObjectName("MenuCompareFile");
  connect(compareFile_, &QAction::triggered, this, [this] {
    const QString path = window_.ChooseFile(false, QString());
    if (!path.isEmpty()) CompareWithFile(path.toStdString(), QFileInfo(path).fileName());
  });
  compareUnit_ = device->addAction(QString());
  compareUnit_->setObjectName("MenuCompareUnit");
  connect(compareUnit_, &QAction::triggered, this, &HistoryKeeper::CompareWithUnit);
  review_ = device->addAction(QString());
  review_->setObjectName("MenuReviewBeforeProgram");
  review_->setCheckable(true);
  ApplyLanguage(window_.Language());
}

QString HistoryKeeper::Text(HistoryText text) const {
  return QString::fromUtf8(HistoryCaption(text, window_.Language()));
}

void HistoryKeeper::ApplyLanguage(LanguageCode language) {
  const auto text = [language](HistoryText t) { return QString::fromUtf8(HistoryCaption(t, language)); };
  history_->setText(text(HistoryText::MenuHistory));
  compareFile_->setText(text(HistoryText::MenuCompareFile));
  compareUnit_->setText(text(HistoryText::MenuCompareUnit));
  review_->setText(text(HistoryText::MenuReviewBeforeProgram));
  if (noticeText_ != HistoryText::Count && !lastNotice_.isEmpty() &&
      window_.Window().statusBar()->currentMessage() == lastNotice_) {
    lastNotice_ = text(noticeText_).arg(noticeDetail_);
    window_.Window().statusBar()->showMessage(lastNotice_);
  }
}

bool HistoryKeeper::ReviewBeforeProgram() const { return review_->isChecked(); }

void HistoryKeeper::SetReviewBeforeProgram(bool on) { review_->setChecked(on); }

void HistoryKeeper::ProgramClick(std::function<void()> program) {
  if (!review_->isChecked()) {
    program();
    return;
  }
  if (reviewedProgram_) return;  // the unit is being read for it already
  // A value still being typed belongs to what is programmed; while the
  // unit is read no edit is taken.
  window_.TransferPage();
  reviewedProgram_ = std::move(program);
  // What the last Read or Program left may not be what is on the cable now
  // (another bike, the unit's own tuning, a Program cut short): only a
  // fresh read says what the Program will change.
  window_.Link().ReadUnitCopy();
}

void HistoryKeeper::ShowReview(const ParameterImage& unit, const QString& unitName, std::function<void()> program) {
  // What the Program will write: the page normalised, as the link does it
  // at its start.
  ParameterImage toProgram = window_.Image();
  PersistedSelection selection{};
  Normalise(toProgram, selection);
  auto* dialog = new ProgramReviewDialog(unit, toProgram, unitName, window_.Language(), &window_.Window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [program = std::move(program)] { program(); });
  dialog->open();
}

void HistoryKeeper::ShowHistory() {
  auto* dialog = new HistoryDialog(directory_, window_.Language(), &window_.Window());
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
  const IgnReadResult read = LoadComparableImage(path, window_.Image(), image);
  // A cut-off file is told as Open tells it; one without parameters has
  // nothing to show.
  if (read.Outcome == IgnReadOutcome::NothingLoaded || read.Outcome == IgnReadOutcome::CannotOpen) {
    Notice(HistoryText::NothingToCompare, QString::fromStdString(path));
    return;
  }
  window_.ShowReadMessages(read);
  if (read.Loaded()) CompareWithImage(image, name);
}

void HistoryKeeper::CompareWithImage(const ParameterImage& image, const QString& name) {
  auto* dialog = new CompareDialog(window_, image, name);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

void HistoryKeeper::Notice(HistoryText text, const QString& detail) {
  noticeText_ = text;
  noticeDetail_ = detail;
  lastNotice_ = Text(text).arg(detail);
  window_.Window().statusBar()->showMessage(lastNotice_);
}

void HistoryKeeper::Keep(const ParameterImage& image, HistoryKind kind, const IdentityTexts& id) {
  const HistoryWrite w = WriteHistoryEntry(directory_, image, FileVersions(id), kind, std::time(nullptr));
  if (!w.Status.Ok) Notice(HistoryText::NotKept, Q(w.Status.Reason));
}

void HistoryKeeper::TransactionEnded(LinkTransaction kind, LinkOutcome outcome) {
  const bool ok = outcome == LinkOutcome::VerifyOk || outcome == LinkOutcome::ProgramOk;
  const std::string& unit = window_.Link().Identity().Name;
  // What the unit holds: a Read's blocks as they came, what a Program sent;
  // the editor may hold more since (the normalisation, an edit queued).
  const ParameterImage& image = window_.Link().UnitImage();
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
        Notice(HistoryText::NoPreviousCopy);
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

void HistoryKeeper::CompareWithUnit() {
  // A read would replace the running transfer: a Program cut short leaves
  // the unit with parts of two tunes.
  if (window_.Link().State().Mode != LinkMode::Idle) {
    Notice(HistoryText::UnitBusy);
    return;
  }
  window_.Link().ReadUnitCopy();
}

void HistoryKeeper::UnitCopyEnded(LinkOutcome outcome) {
  std::function<void()> program = std::exchange(reviewedProgram_, nullptr);
  if (outcome != LinkOutcome::VerifyOk) {
    Notice(program ? HistoryText::ReviewReadFailed : HistoryText::CompareReadFailed);
    return;
  }
  const ParameterImage& read = window_.Link().UnitCopy();
  const IdentityTexts id = BuildIdentityTexts(read.Block(0));
  // A copy of the unit's tune like any Read's: its bytes as they came.
  Keep(read, HistoryKind::Read, id);
  ParameterImage unit = read;
  NormaliseForComparison(unit);
  units_.Remember(id.Name, unit);
  if (program) {
    ShowReview(unit, Q(id.Name), std::move(program));
  } else {
    CompareWithImage(unit, Text(HistoryText::TheUnit));
  }
}

void HistoryKeeper::WritePendingChange() {
  if (!throttle_.Pending()) return;
  pendingTimer_.stop();
  Keep(pendingChange_, HistoryKind::Program, window_.Link().Identity());
  throttle_.Written(QDateTime::currentMSecsSinceEpoch());
}

void HistoryKeeper::Closing() { WritePendingChange(); }

}  // namespace velmor::ui

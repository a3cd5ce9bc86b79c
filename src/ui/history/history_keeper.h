// The window's part of the history: it keeps every image read from or
// programmed into a unit, warns when a unit's previous tune was never kept,
// and offers the history list, the compare window and the review before
// programming. The main window owns one and calls it from its menus, when a
// transaction ends and when it closes.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

#include "files/history.h"
#include "lang/history_texts.h"
#include "link/engine.h"
#include "model/image.h"

class QAction;
class QMenu;

namespace velmor::ui {

class Session;

class HistoryKeeper : public QObject {
  Q_OBJECT
 public:
  // Adds its items to the File and Ignition menus.
  HistoryKeeper(Session& window, QMenu* file, QMenu* device);

  // Ignition -> Program (F9, the Program button): `program` starts it. With
  // "Review changes before programming" on, the unit on the cable is read
  // first into a separate image (the editor is not touched), the changes the
  // Program will make in it are shown, and `program` runs only when the
  // tuner confirms. A unit that cannot be read is not programmed.
  void ProgramClick(std::function<void()> program);
  // The option, as the settings file keeps it.
  bool ReviewBeforeProgram() const;
  void SetReviewBeforeProgram(bool on);

  // The link ended a transaction; the window's image is what it moved.
  void TransactionEnded(LinkTransaction kind, LinkOutcome outcome);
  // The window closes: a change programmed after the last file is kept now.
  void Closing();

  // The folder, resolved once at start-up.
  const std::string& Directory() const { return directory_; }

  // The status bar message of the last warning or failure (for tests).
  const QString& LastNotice() const { return lastNotice_; }

  // The window's language changed: the menu items, and a message of the
  // keeper's still in the status bar, in the new one.
  void ApplyLanguage(LanguageCode language);

  // File -> History...: the list, open as a non-blocking modal dialog.
  void ShowHistory();
  // A parameter file opened exactly as File -> Open opens one.
  void OpenAsFile(const std::string& path);
  // The compare window for a parameter file (a history entry or any other);
  // a file that loads nothing is said so in the status bar.
  void CompareWithFile(const std::string& path, const QString& name);
  void CompareWithImage(const ParameterImage& image, const QString& name);
  // Ignition -> Compare with the ignition...: the unit is read into a separate
  // image (with its own verify); when that succeeds it is kept in the
  // history and the compare window opens on it. The editor is not touched.
  void CompareWithUnit();

 private:
  void Keep(const ParameterImage& image, HistoryKind kind, const IdentityTexts& unit);
  void UnitCopyEnded(LinkOutcome outcome);
  void ShowReview(const ParameterImage& unit, const QString& unitName, std::function<void()> program);
  // A message in the status bar; "%1" in it is `detail`.
  void Notice(HistoryText text, const QString& detail = {});
  QString Text(HistoryText text) const;
  void WritePendingChange();

  Session& window_;
  std::string directory_;
  UnitMemory units_;
  ChangeHistoryThrottle throttle_;
  ParameterImage pendingChange_;
  QTimer pendingTimer_;
  QString lastNotice_;
  HistoryText noticeText_ = HistoryText::Count;
  QString noticeDetail_;
  QAction* history_ = nullptr;
  QAction* compareFile_ = nullptr;
  QAction* compareUnit_ = nullptr;
  QAction* review_ = nullptr;
  // Set while the unit is read for the review: the Program to start once
  // the tuner has seen the changes.
  std::function<void()> reviewedProgram_;
};

}  // namespace velmor::ui

// What the window's features (the logs and the history) use of the window:
// the tune and its tables, the link, the language, the ways into the tune
// (an edit through the document's gate, a page's commit), the file and
// message dialogs. The window implements it and hands it to each feature as
// it is made, so a feature sees this much of the window and no more.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <string>

#include "editor/document.h"
#include "files/ign_file.h"
#include "lang/catalog.h"
#include "link/engine.h"
#include "log/log_playback.h"
#include "model/derived.h"
#include "model/image.h"


namespace velmor::ui {

class Session {
 public:
  virtual ~Session() = default;

  // The window itself: the parent of a feature's dialogs, its menu and
  // status bars.
  virtual QMainWindow& Window() = 0;

  virtual ParameterImage& Image() = 0;
  virtual DerivedTables& Tables() = 0;
  virtual LinkEngine& Link() = 0;
  // The port the link talks through: the unit's, or a log being played.
  virtual LogPlaybackPort& Playback() = 0;
  virtual LanguageCode Language() const = 0;
  // The tune's file; empty before it was saved or opened.
  virtual const std::string& CurrentFileName() const = 0;

  // Commits what the shown page's controls hold.
  virtual void TransferPage() = 0;
  // A change to the tune through the document's gate; see the window.
  virtual EditResult ChangeTune(const std::function<bool()>& change, int page = -1) = 0;
  virtual EditResult ApplyEdit(const Edit& edit) = 0;
  virtual void ActivatePage(int page) = 0;
  // A log playback started or stopped: the unit's commands follow.
  virtual void PlaybackChanged() = 0;
  // What a read of a parameter file has to say, as the window says it.
  virtual void ShowReadMessages(const IgnReadResult& read) = 0;
  // File -> Open (`fromExeDir`: the Ctrl variant), through ChooseFile.
  virtual void MenuOpenClick(bool fromExeDir) = 0;

  // A modal message with one OK button; tests replace it.
  std::function<void(const QString&)> ShowMessageBox;
  // The open or save dialog starting at `start`; an empty result is a
  // cancel. Tests replace it.
  std::function<QString(bool save, const QString& start)> ChooseFile;
};

}  // namespace velmor::ui

// The window's file commands: New and New for the page shown, Open and Open
// for the page, Save, the files named on the command line, and what a read of
// a parameter file has to say. The file dialog starts where the last one
// left off; the Ctrl variants start at the program's data.ign.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "editor/document.h"
#include "files/ign_file.h"
#include "lang/catalog.h"
#include "link/engine.h"
#include "ui/session/session.h"
#include "ui/window/window_layout.h"

class QWidget;

namespace velmor::ui {

class FileCommands : public QObject {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<int()> Page;  // the page shown
    std::function<QMessageBox::StandardButton(const QString&)> Ask;
    // The document's save between the window's persisted selections going
    // in and coming back limited.
    std::function<SaveResult(const std::string& path)> Save;
    std::function<void(const NormaliseResult&)> ShowNormalised;
    std::function<void()> ShowPage;
    std::function<void()> UpdateCaption;
    // A file's read or write failed: the link's kind of message.
    std::function<void(std::string_view text, std::string_view detail)> ShowMessage;
    std::function<void(const QString&)> StatusMessage;
    // A new configuration (a file, a Read, New): the unsupported-model
    // message may be shown again.
    std::function<void()> NewConfiguration;
  };
  // `programDir` holds data.ign; `session` is the window, whose dialogs and
  // way into the tune the commands use.
  FileCommands(Session& session, Document& document, const WindowControls& controls, const ResolvedTexts& texts,
               const std::string& programDir, Hooks hooks, QWidget* window);

  void MenuNewClick();
  void MenuNewActPageClick();
  void MenuOpenClick(bool fromExeDir);
  void MenuOpenActPageClick();
  void MenuSaveClick(bool fromExeDir);
  // Reads a parameter file as File → Open does after its dialog.
  void OpenParameterFile(const QString& path, IgnScope scope);
  // The files named on the command line, once the event loop runs.
  void OpenCommandLineFiles(const std::vector<std::string>& arguments);
  void ShowReadMessages(const IgnReadResult& read);
  // The tune has no file any more (a Read or New): the caption says so.
  void ClearFileName();

  // Where the next file dialog starts; kept in the settings.
  const std::string& DialogFileName() const { return dialogFileName_; }
  void SetDialogFileName(const std::string& name) { dialogFileName_ = name; }

 private:
  void OpenFile(IgnScope scope);
  bool ModelIsKnown() const;

  Session& session_;
  Document& document_;
  const WindowControls& controls_;
  const ResolvedTexts& texts_;
  Hooks hooks_;
  std::string dialogFileName_;
  std::string defaultDataFile_;
};

}  // namespace velmor::ui

#include "ui/window/file_commands.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <span>

#include "lang/language.h"
#include "model/defaults.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

FileCommands::FileCommands(Session& session, Document& document, const WindowControls& controls,
                           const ResolvedTexts& texts, const std::string& programDir, Hooks hooks, QWidget* window)
    : QObject(window),
      session_(session),
      document_(document),
      controls_(controls),
      texts_(texts),
      hooks_(std::move(hooks)),
      defaultDataFile_(QDir(Utf8(programDir)).filePath("data.ign").toStdString()) {}

// The separator item of the model box is no model: New has nothing to load.
bool FileCommands::ModelIsKnown() const {
  return !controls_.BikeModel || controls_.BikeModel->currentIndex() < kBikeModelCount;
}

void FileCommands::MenuNewClick() {
  if (!ModelIsKnown()) return;
  if (hooks_.Ask(Utf8(texts_[MsgKey::MsgAskDefaults])) != QMessageBox::Yes) return;
  const EditResult r = session_.ChangeTune([this] {
    document_.New(document_.Image.P(0));
    return true;
  });
  if (r.Verdict == EditVerdict::Refused) return;
  session_.Link().HideStatus();
  ClearFileName();
}

void FileCommands::MenuNewActPageClick() {
  const int page = hooks_.Page();
  if (PageRefusedWhileCoupled(document_.Image, page)) return;
  if (!ModelIsKnown()) return;
  if (hooks_.Ask(Utf8(texts_[MsgKey::MsgAskDefaultsPage])) != QMessageBox::Yes) return;
  bool loaded = false;
  const EditResult r = session_.ChangeTune([&] {
    loaded = document_.NewForPage(page).has_value();
    return loaded;
  });
  if (!loaded || r.Verdict == EditVerdict::Refused) return;
  session_.Link().HideStatus();
  ClearFileName();
}

void FileCommands::ClearFileName() {
  hooks_.NewConfiguration();
  document_.FileName.clear();
  hooks_.UpdateCaption();
}

void FileCommands::ShowReadMessages(const IgnReadResult& read) {
  if (read.Outcome == IgnReadOutcome::CannotOpen) {
    session_.ShowMessageBox(Utf8(texts_[MsgKey::MsgFileOpenError]));
    return;
  }
  for (MsgKey key : read.Messages) session_.ShowMessageBox(Utf8(texts_[key]));
  if (const std::string notice = IgnReadNotice(read, session_.Language()); !notice.empty()) {
    hooks_.StatusMessage(Utf8(notice));
    session_.ShowMessageBox(Utf8(notice));
  }
}

void FileCommands::MenuSaveClick(bool fromExeDir) {
  if (fromExeDir) dialogFileName_ = defaultDataFile_;
  QString path = session_.ChooseFile(true, Utf8(dialogFileName_));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".ign";
  session_.TransferPage();
  const SaveResult saved = hooks_.Save(path.toStdString());
  hooks_.ShowNormalised(saved.Normalised);
  hooks_.ShowPage();
  if (!saved.Written.Ok) {
    hooks_.ShowMessage(texts_[MsgKey::MsgFileOpenError], saved.Written.Reason);
    return;
  }
  dialogFileName_ = document_.FileName;
  hooks_.UpdateCaption();
}

void FileCommands::MenuOpenClick(bool fromExeDir) {
  if (fromExeDir) dialogFileName_ = defaultDataFile_;
  OpenFile(IgnScope::WholeFile);
}

void FileCommands::MenuOpenActPageClick() {
  if (PageReadRefused(document_.Image, hooks_.Page())) return;
  OpenFile(IgnScope::Page);
}

void FileCommands::OpenFile(IgnScope scope) {
  const QString path = session_.ChooseFile(false, Utf8(dialogFileName_));
  if (!path.isEmpty()) OpenParameterFile(path, scope);
  session_.Link().HideStatus();
}

void FileCommands::OpenParameterFile(const QString& path, IgnScope scope) {
  const std::string file = path.toStdString();
  OpenResult r;
  const EditResult edit = session_.ChangeTune([&] {
    r = scope == IgnScope::WholeFile ? document_.Open(file) : document_.OpenForPage(file, hooks_.Page());
    return r.Loaded();
  });
  if (edit.Verdict == EditVerdict::Refused) return;
  ShowReadMessages(r.Read);
  if (r.Loaded()) {
    hooks_.NewConfiguration();
    dialogFileName_ = document_.FileName;
    hooks_.UpdateCaption();
  }
}

void FileCommands::OpenCommandLineFiles(const std::vector<std::string>& arguments) {
  // What the desktop passes when a tuner double-clicks a parameter file.
  const std::vector<std::string> files = FileArguments(std::span<const std::string>(arguments));
  if (files.empty()) return;
  // Once the event loop runs: the window is shown by then, so the messages a
  // file brings (another version, an unsupported model) stand in front of it,
  // and the file's load is an undo step after the last-run image.
  QTimer::singleShot(0, this, [this, files] {
    for (const std::string& file : files) {
      const QFileInfo info(QString::fromStdString(file));
      if (!info.exists()) {
        // A path the desktop or a script got wrong: no modal box at
        // start-up, the window opens as if it had not been named.
        hooks_.StatusMessage(QString::fromStdString(texts_[MsgKey::MsgFileOpenError]) + " " +
                             QDir::toNativeSeparators(info.absoluteFilePath()));
        continue;
      }
      OpenParameterFile(info.absoluteFilePath(), IgnScope::WholeFile);
    }
    session_.Link().HideStatus();
  });
}

}  // namespace velmor::ui

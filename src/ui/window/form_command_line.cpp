// Files named on the command line: what the desktop passes when a tuner
// double-clicks a parameter file.
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>

#include "ui/window/form_hlav.h"
#include "lang/language.h"

namespace velmor::ui {

void TFormHlav::OpenCommandLineFiles() {
  const std::vector<std::string> files = FileArguments(std::span<const std::string>(options_.Arguments));
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
        statusBar()->showMessage(QString::fromStdString(texts_[MsgKey::MsgFileOpenError]) + " " +
                                 QDir::toNativeSeparators(info.absoluteFilePath()));
        continue;
      }
      OpenParameterFile(info.absoluteFilePath(), IgnScope::WholeFile);
    }
    link_->HideStatus();
  });
}

}  // namespace velmor::ui

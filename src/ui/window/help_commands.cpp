#include "ui/window/help_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include "files/settings.h"
#include "lang/help_texts.h"
#include "ui/widgets/widgets.h"
#include "ui/window/form_about.h"

namespace velmor::ui {

HelpCommands::HelpCommands(std::string programDir, const ResolvedTexts& texts, Hooks hooks, QWidget* window)
    : QObject(window), window_(window), programDir_(std::move(programDir)), texts_(texts), hooks_(std::move(hooks)) {
  about_ = new TFormAbout(hooks_.Language, window);
}

void HelpCommands::MenuContensClick() {
  const std::string path = HelpDocumentPath(programDir_, texts_[MsgKey::HelpFileName]);
  const LanguageCode language = hooks_.Language();
  // Whatever the desktop can or cannot do with a PDF, F1 shows the guide.
  if (path.empty()) {
    ShowGuide(Utf8(texts_[MsgKey::MsgHelpOpenError]) + " " + Utf8(HelpCaption(HelpText::GuideBelow, language)));
    return;
  }
  const QString document = QString::fromStdString(path);
  const QString shown = QDir::toNativeSeparators(QFileInfo(document).absoluteFilePath());
  hooks_.OpenDocument(document, [this, self = QPointer<HelpCommands>(this), shown] {
    if (self) ShowGuide(Utf8(HelpCaption(HelpText::NoViewer, hooks_.Language())).arg(shown));
  });
}

void HelpCommands::ShowGuide(const QString& why) {
  const LanguageCode language = hooks_.Language();
  const QString guide = GuideFile(QString::fromStdString(programDir_), language);
  if (guide.isEmpty()) {
    hooks_.Message(Utf8(texts_[MsgKey::MsgHelpOpenError]));
    return;
  }
  if (!guide_) guide_ = new GuideWindow(window_);
  guide_->Show(guide, why, language);
}

void HelpCommands::MenuAboutClick() { about_->exec(); }

}  // namespace velmor::ui

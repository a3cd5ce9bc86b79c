#include "ui/window/guide_window.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "lang/help_texts.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

DocumentOpener SystemDocumentOpener(QObject* owner) {
  return [owner](const QString& path, std::function<void()> failed) {
    const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
    if (xdgOpen.isEmpty()) {
      if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) failed();
      return;
    }
    auto* process = new QProcess(owner);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // A process killed when the window goes is no failure to report.
    QObject::connect(process, &QProcess::finished, owner, [process, failed](int code, QProcess::ExitStatus status) {
      if (status == QProcess::NormalExit && code != 0) failed();
      process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, owner, [process, failed](QProcess::ProcessError error) {
      if (error != QProcess::FailedToStart) return;
      failed();
      process->deleteLater();
    });
    process->start(xdgOpen, {path});
  };
}

QString GuideFile(const QString& programDir, LanguageCode language) {
  const QString name = Utf8(GuideFileName(language));
  for (const QString& folder : {QStringLiteral("guide"), QStringLiteral("../share/velmor/guide")}) {
    const QString path = QDir(programDir).filePath(folder + "/" + name);
    if (QFileInfo(path).isFile()) return QFileInfo(path).absoluteFilePath();
  }
  return {};
}

GuideWindow::GuideWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("FormGuide");
  auto* layout = new QVBoxLayout(this);
  why_ = new QLabel(this);
  why_->setObjectName("LabelGuideWhy");
  why_->setWordWrap(true);
  why_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(why_);
  text_ = new QTextBrowser(this);
  text_->setObjectName("TextGuide");
  text_->setOpenExternalLinks(true);
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  QSize size(900, 700);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

void GuideWindow::Show(const QString& guide, const QString& why, LanguageCode language) {
  setWindowTitle(Utf8(HelpCaption(HelpText::GuideTitle, language)));
  why_->setText(why);
  // Its pictures ("images/...") are found beside it.
  text_->setSource(QUrl::fromLocalFile(guide), QTextDocument::MarkdownResource);
  show();
  raise();
  activateWindow();
}

QString GuideWindow::Why() const { return why_->text(); }

QString GuideWindow::Shown() const { return text_->source().toLocalFile(); }

}  // namespace velmor::ui

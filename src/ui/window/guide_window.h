// F1's guide inside the program, for a desktop where no PDF viewer opens the
// help document: the Markdown guide of the window's language with its
// pictures, under a line that says why it is shown and where the PDF is.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "lang/catalog.h"

class QLabel;
class QTextBrowser;

namespace velmor::ui {

// Opens the document at `path` with the desktop's viewer; calls `failed`,
// perhaps later, when no viewer shows it.
using DocumentOpener = std::function<void(const QString& path, std::function<void()> failed)>;

// xdg-open, whose exit status says whether a viewer took the document (it
// may come long after, when the viewer runs in the foreground); without it,
// the desktop services of Qt. Processes it starts belong to `owner`.
DocumentOpener SystemDocumentOpener(QObject* owner);

// The guide of `language` in the guide folder beside the program
// (`programDir`/guide) or of the installed data directory; empty when there
// is none.
QString GuideFile(const QString& programDir, LanguageCode language);

class GuideWindow : public QDialog {
  Q_OBJECT
 public:
  explicit GuideWindow(QWidget* parent);
  // Shows `guide` (a Markdown file) under `why`.
  void Show(const QString& guide, const QString& why, LanguageCode language);
  QString Why() const;
  QString Shown() const;  // the guide's file

 private:
  QLabel* why_ = nullptr;
  QTextBrowser* text_ = nullptr;
};

}  // namespace velmor::ui

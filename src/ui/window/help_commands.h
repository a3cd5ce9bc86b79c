// The Help menu's commands: F1 opens the help document with the desktop's
// viewer, or shows the guide inside the program where there is no document
// or no viewer; About shows the program's version.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "lang/catalog.h"
#include "ui/window/guide_window.h"

class QWidget;

namespace velmor::ui {

class TFormAbout;

class HelpCommands : public QObject {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<LanguageCode()> Language;
    // The window's message box and document opener, asked at each use:
    // tests replace them on the window.
    std::function<void(const QString&)> Message;
    DocumentOpener OpenDocument;
  };
  // `programDir` holds the help documents and the guide; `window` is the
  // parent of the guide and the About window.
  HelpCommands(std::string programDir, const ResolvedTexts& texts, Hooks hooks, QWidget* window);

  void MenuContensClick();
  // The guide inside the program, under `why`; the old message when there
  // is no guide either.
  void ShowGuide(const QString& why);
  void MenuAboutClick();

 private:
  QWidget* window_;
  std::string programDir_;
  const ResolvedTexts& texts_;
  Hooks hooks_;
  TFormAbout* about_ = nullptr;
  GuideWindow* guide_ = nullptr;
};

}  // namespace velmor::ui

// Qt's own texts in the window's language: the standard buttons of message
// boxes and button boxes (Yes, No, Cancel, OK), the input dialogs and the
// file dialogs. They come from Qt's translations (on Debian the package
// qt6-translations-l10n); without them these texts stay English and the
// rest of the window is not affected.
#pragma once

#include <QTranslator>
#include <memory>

#include "lang/catalog.h"

namespace velmor::ui {

class QtTranslations {
 public:
  QtTranslations() = default;
  QtTranslations(const QtTranslations&) = delete;
  QtTranslations& operator=(const QtTranslations&) = delete;
  ~QtTranslations();

  // Installs Qt's translation of `language` in place of the one before;
  // English needs none. False when the translation is not installed. Widgets
  // shown at that moment are told by Qt and retranslate their standard
  // buttons, so it is done only when the language changes.
  bool Use(LanguageCode language);

 private:
  std::unique_ptr<QTranslator> translator_;
  int used_ = -1;  // the language installed last; a second Use of it changes nothing
  bool found_ = false;
};

// The name Qt's translation files carry for `language` ("de", "fr", "cs");
// empty for English.
const char* QtLanguageName(LanguageCode language);

}  // namespace velmor::ui

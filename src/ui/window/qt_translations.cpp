#include "ui/window/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace velmor::ui {

const char* QtLanguageName(LanguageCode language) {
  switch (language) {
    case LanguageCode::German: return "de";
    case LanguageCode::French: return "fr";
    case LanguageCode::Czech: return "cs";
    default: return "";
  }
}

QtTranslations::~QtTranslations() {
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

bool QtTranslations::Use(LanguageCode language) {
  if (used_ == static_cast<int>(language)) return found_;
  used_ = static_cast<int>(language);
  found_ = true;
  if (translator_) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
  }
  const QString name = QString::fromLatin1(QtLanguageName(language));
  if (name.isEmpty()) return true;
  auto translator = std::make_unique<QTranslator>();
  found_ = translator->load("qtbase_" + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!found_) return false;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
  return true;
}

}  // namespace velmor::ui

// The About window: logo, contact lines, build date and time, protocol version.
#pragma once

#include <QDialog>
#include <functional>

#include "lang/catalog.h"

namespace velmor::ui {

class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  // `language` is asked each time the window becomes active.
  explicit TFormAbout(std::function<LanguageCode()> language, QWidget* parent = nullptr);

  // "Feb 23 2009" and "16:03:58" from the compiler's build stamp.
  static QString BuildDateText();
  static QString BuildTimeText();

 protected:
  bool event(QEvent* e) override;

 private:
  void FormActivate();
  std::function<LanguageCode()> language_;
};

}  // namespace velmor::ui

// The printout: the window itself, prepared for paper and drawn scaled to a
// landscape page on the default printer, or into a PDF where the system has
// no printer.
#pragma once

#include <QDateTime>
#include <QString>

#include "ui/window/window_layout.h"

class QWidget;

namespace velmor::ui {

// Hides (or shows again) what the core's print view leaves off paper, the
// tabs of the other pages, and paints the window's background white.
void SetPrintLayout(QWidget& window, const WindowControls& controls, int page, bool printing);

struct PrintResult {
  bool Ok = false;
  QString PdfFile;  // empty when the page went to a printer
};
// Draws `client` onto one page; `now` names a PDF.
PrintResult PrintWidget(QWidget* client, const QDateTime& now);

}  // namespace velmor::ui

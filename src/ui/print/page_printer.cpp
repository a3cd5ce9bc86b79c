#include "ui/print/page_printer.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTabWidget>
#include <algorithm>

#include "editor/view.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

void SetPrintLayout(QWidget& window, const WindowControls& c, int page, bool printing) {
  for (QWidget* w : window.findChildren<QWidget*>()) {
    const QByteArray name = w->objectName().toUtf8();
    if (HiddenWhenPrinting(std::string_view(name.constData(), static_cast<std::size_t>(name.size())))) {
      w->setVisible(!printing);
    }
  }
  for (QLabel* l : c.Map.TpsRowLabel) SetBackground(l, Colour::White);
  for (int p = 0; p < PageCount; ++p) {
    if (p != page) c.Pages->setTabVisible(p, !printing);
  }
  QPalette pal = window.palette();
  pal.setColor(QPalette::Window, printing ? QColor(Qt::white) : QApplication::palette().color(QPalette::Window));
  window.setPalette(pal);
}

PrintResult PrintWidget(QWidget* client, const QDateTime& now) {
  QPrinter printer(QPrinter::HighResolution);
  PrintResult result;
  if (QPrinterInfo::defaultPrinter().isNull()) {
    // No printer on this system: the page goes to a PDF the user is told of.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    QDir().mkpath(dir);
    result.PdfFile = QDir(dir).filePath(QString("Velmor-%1.pdf").arg(now.toString("yyyyMMdd-HHmmss")));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(result.PdfFile);
  }
  printer.setPageOrientation(QPageLayout::Landscape);
  QPainter painter;
  if (painter.begin(&printer)) {
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = std::min(double(page.width()) / client->width(), double(page.height()) / client->height());
    painter.scale(scale, scale);
    client->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    result.Ok = painter.end();
  }
  return result;
}

}  // namespace velmor::ui

#include "ui/print/page_printer.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTabWidget>
#include <algorithm>

#include "editor/view.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

void SetPrintLayout(const PrintSurface& surface, int page, bool printing) {
  QWidget& window = *surface.Window;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    const QByteArray name = w->objectName().toUtf8();
    if (HiddenWhenPrinting(std::string_view(name.constData(), static_cast<std::size_t>(name.size())))) {
      w->setVisible(!printing);
    }
  }
  for (QLabel* l : surface.WhiteLabels) SetBackground(l, Colour::White);
  for (int p = 0; p < PageCount; ++p) {
    if (p != page) surface.Pages->setTabVisible(p, !printing);
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

PagePrinter::PagePrinter(PrintSurface surface, LinkEngine& link, const ResolvedTexts& texts, Hooks hooks)
    : surface_(std::move(surface)), link_(link), texts_(texts), hooks_(std::move(hooks)) {}

void PagePrinter::SetPrinting(bool printing) {
  printing_ = printing;
  SetPrintLayout(surface_, hooks_.Page(), printing);
}

void PagePrinter::Print() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  // The header line goes through the link's status so that the tick hides
  // it 200 ticks later like any status text.
  link_.ShowStatus((Utf8(texts_[MsgKey::TxtPrintDateTime]) + locale.toString(now.date(), QLocale::ShortFormat) +
                    "    " + locale.toString(now.time(), QLocale::LongFormat))
                       .toStdString(),
                   false);
  SetBackground(surface_.Header, Colour::White);
  for (QWidget* w : surface_.MakeRoom) w->hide();
  SetPrinting(true);
  // Lay the window out without the hidden controls before it is drawn, so
  // the header line takes the room the tool bar leaves.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const PrintResult printed = PrintWidget(surface_.Client, now);
  SetPrinting(false);
  hooks_.Refresh();
  const QString& pdf = printed.PdfFile;
  if (!pdf.isEmpty()) {
    // Said in words, and kept in the status bar after the label has moved on
    // to the link's next text.
    const QString where =
        (printed.Ok ? Utf8(texts_[MsgKey::TxtSavedAsPdf]) : Utf8(texts_[MsgKey::MsgFileOpenError]) + " ") + pdf;
    link_.ShowStatus(where.toStdString(), !printed.Ok);
    surface_.StatusBar->showMessage(where);
  }
  lastPrintFile_ = printed.Ok ? pdf.toStdString() : std::string();
}

}  // namespace velmor::ui

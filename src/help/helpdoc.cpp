// Writes the four help documents as PDF files into the directory given.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

#include "help_texts.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmor-helpdoc DIRECTORY\n");
    return 2;
  }
  for (const HelpDocument& doc : HelpDocuments()) {
    const QString path = QString("%1/%2").arg(argv[1], doc.FileName);
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(96);  // the text is laid out in screen points
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    pdf.setTitle(QString::fromUtf8(doc.Title));
    pdf.setCreator("Velmor");
    QTextDocument text;
    text.setHtml(QString::fromUtf8(doc.Html));
    text.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
    text.print(&pdf);
    if (!QFile::exists(path)) {
      std::fprintf(stderr, "velmor-helpdoc: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}

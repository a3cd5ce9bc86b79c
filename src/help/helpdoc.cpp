// Writes one help document as a PDF from a guide in markdown: the pictures
// it names as images/NAME are looked up in the picture folders given, in
// order (the pictures this build took in the document's language first, the
// guide's own English ones last), and scaled down to the page's width.
//   velmor-helpdoc OUTPUT.pdf GUIDE.md PICTUREDIR...
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>

namespace {

QString FindPicture(const QString& name, const QStringList& folders) {
  const QString file = QFileInfo(name).fileName();
  for (const QString& folder : folders) {
    const QString path = QDir(folder).filePath(file);
    if (QFileInfo::exists(path)) return path;
  }
  return {};
}

// Puts every picture into the document and fits it to `width`; the names of
// pictures found nowhere.
QStringList PlacePictures(QTextDocument& doc, const QStringList& folders, qreal width) {
  QStringList missing;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat format = fragment.charFormat().toImageFormat();
      const QString path = FindPicture(format.name(), folders);
      QImage image;
      if (path.isEmpty() || !image.load(path)) {
        missing << format.name();
        continue;
      }
      doc.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
      const qreal scale = image.width() > width ? width / image.width() : 1.0;
      format.setWidth(image.width() * scale);
      format.setHeight(image.height() * scale);
      QTextCursor cursor(&doc);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(format);
    }
  }
  return missing;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: velmor-helpdoc OUTPUT.pdf GUIDE.md PICTUREDIR...\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  QFile guide(QString::fromLocal8Bit(argv[2]));
  if (!guide.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "velmor-helpdoc: cannot read %s\n", argv[2]);
    return 1;
  }
  const QString markdown = QString::fromUtf8(guide.readAll());
  QStringList folders;
  for (int i = 3; i < argc; ++i) folders << QString::fromLocal8Bit(argv[i]);

  QPdfWriter pdf(output);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(96);  // the text is laid out in screen points
  pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
  // The title is the guide's first heading.
  const QString title = markdown.section('\n', 0, 0).remove(QRegularExpression("^#+\\s*"));
  pdf.setTitle(title);
  pdf.setCreator("Velmor");
  QTextDocument text;
  text.setMarkdown(markdown);
  const QSizeF page = pdf.pageLayout().paintRectPixels(pdf.resolution()).size();
  const QStringList missing = PlacePictures(text, folders, page.width() - 4);
  text.setPageSize(page);
  text.print(&pdf);
  if (!missing.isEmpty()) {
    std::fprintf(stderr, "velmor-helpdoc: %s names pictures found nowhere: %s\n", argv[2],
                 qPrintable(missing.join(", ")));
    QFile::remove(output);
    return 1;
  }
  if (!QFile::exists(output)) {
    std::fprintf(stderr, "velmor-helpdoc: cannot write %s\n", qPrintable(output));
    return 1;
  }
  return 0;
}

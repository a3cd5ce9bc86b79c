#include "ui/window/form_about.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "files/build_stamp.h"
#include "link/frame.h"

namespace velmor::ui {
namespace {

// The logo: a stylised spark over a cam lobe, drawn rather than loaded so the
// program carries no picture files.
QPixmap DrawLogo(QSize size) {
  QPixmap pm(size);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(4, 4, size.width() - 8, size.height() - 8);
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, QColor(20, 60, 120));
  g.setColorAt(1, QColor(10, 120, 170));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(r, 12, 12);
  QPainterPath spark;
  const double cx = r.left() + 36, cy = r.center().y();
  spark.moveTo(cx + 6, cy - 28);
  spark.lineTo(cx - 10, cy + 4);
  spark.lineTo(cx + 2, cy + 4);
  spark.lineTo(cx - 6, cy + 28);
  spark.lineTo(cx + 14, cy - 6);
  spark.lineTo(cx + 2, cy - 6);
  spark.closeSubpath();
  p.setBrush(QColor(255, 200, 40));
  p.drawPath(spark);
  p.setPen(Qt::white);
  const QRectF textRect(r.left() + 56, r.top(), r.right() - (r.left() + 56) - 6, r.height());
  QFont f("Sans", 20, QFont::Bold);
  // The largest size at which the name fits beside the spark.
  for (int px = 30; px > 8; --px) {
    f.setPixelSize(px);
    if (QFontMetricsF(f).horizontalAdvance("Velmor") <= textRect.width()) break;
  }
  p.setFont(f);
  p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, "Velmor");
  return pm;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int pixelSize) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  QFont f = l->font();
  f.setPixelSize(pixelSize);
  l->setFont(f);
  l->setStyleSheet("color: black;");
  l->move(left, top);
  l->adjustSize();
  return l;
}

// Closes the window when clicked, like a button drawn as a label.
class ExitLabel : public QLabel {
 public:
  using QLabel::QLabel;
 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window()->close();
  }
};

}  // namespace

QString TFormAbout::BuildDateText() { return QString::fromLatin1(velmor::BuildDateText()); }
QString TFormAbout::BuildTimeText() { return QString::fromLatin1(velmor::BuildTimeText()); }

TFormAbout::TFormAbout(std::function<LanguageCode()> language, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      language_(std::move(language)) {
  setObjectName("FormAbout");
  setModal(true);
  setFixedSize(273, 368);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setWindowTitle("About Velmor");

  auto* logo = new QLabel(this);
  logo->setObjectName("Image1");
  logo->setGeometry(32, 24, 161, 81);
  logo->setPixmap(DrawLogo(QSize(161, 81)));

  const char* names[] = {"Label2", "Label3", "Label4", "Label5", "Label9", "Label10"};
  const int tops[] = {132, 157, 182, 207, 243, 268};
  const char* lines[] = {"Velmor Engineering", "Workshop Lane 7", "Brno", "Czech Republic",
                         "support@velmor.example", "www.velmor.example"};
  for (int i = 0; i < 6; ++i) AddLabel(this, names[i], QString::fromUtf8(lines[i]), 32, tops[i], 16);

  AddLabel(this, "LabelDate", BuildDateText(), 32, 300, 11);
  AddLabel(this, "LabelTime", BuildTimeText(), 32, 322, 11);
  AddLabel(this, "LabelRsKey", QString("Version - %1").arg(kProtocolVersion), 32, 343, 11);

  auto* exit = new ExitLabel("OK", this);
  exit->setObjectName("LabelExit");
  QFont f = exit->font();
  f.setPixelSize(23);
  exit->setFont(f);
  exit->setGeometry(216, 327, 35, 29);
  exit->setCursor(Qt::PointingHandCursor);

  // Centred on the screen, each half truncated.
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->geometry();
    move(g.width() / 2 - width() / 2, g.height() / 2 - height() / 2);
  }
}

bool TFormAbout::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(e);
}

void TFormAbout::FormActivate() {
  switch (language_()) {
    case LanguageCode::English: setWindowTitle("About Velmor"); break;
    case LanguageCode::German: setWindowTitle(QString::fromUtf8("Über Programm Velmor")); break;
    case LanguageCode::French: break;  // keeps the title it had
    case LanguageCode::Czech: setWindowTitle("O programu Velmor"); break;
  }
}

}  // namespace velmor::ui

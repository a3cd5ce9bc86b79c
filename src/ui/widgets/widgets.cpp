#include "ui/widgets/widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolTip>
#include <QHelpEvent>
#include <QStyle>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace velmor::ui {

RadioGroup::RadioGroup(const QString& name, QWidget* parent) : QGroupBox(parent) {
  setObjectName(name);
  layout_ = new QVBoxLayout(this);
  layout_->setSpacing(2);
  buttons_ = new QButtonGroup(this);
  buttons_->setExclusive(true);
  connect(buttons_, &QButtonGroup::idClicked, this, [this](int) { emit Clicked(); });
}

void RadioGroup::SetItems(const QStringList& items) {
  const int index = ItemIndex();
  for (QAbstractButton* b : buttons_->buttons()) {
    buttons_->removeButton(b);
    delete b;
  }
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(QString("%1_Item%2").arg(objectName()).arg(i));
    if (!tabStop_) b->setFocusPolicy(Qt::ClickFocus);
    buttons_->addButton(b, i);
    layout_->addWidget(b);
  }
  SetItemIndex(index);
}

void RadioGroup::SetItem(int index, const QString& text) {
  if (QAbstractButton* b = buttons_->button(index)) b->setText(text);
}

void RadioGroup::SetTabStop(bool on) {
  tabStop_ = on;
  for (QAbstractButton* b : buttons_->buttons()) b->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

QStringList RadioGroup::Items() const {
  QStringList items;
  for (int i = 0; buttons_->button(i); ++i) items << buttons_->button(i)->text();
  return items;
}

int RadioGroup::ItemIndex() const { return buttons_->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* b = buttons_->button(index)) {
    b->setChecked(true);
  } else if (QAbstractButton* checked = buttons_->checkedButton()) {
    // Exclusive groups refuse to uncheck their last button directly.
    buttons_->setExclusive(false);
    checked->setChecked(false);
    buttons_->setExclusive(true);
  }
}

Gauge::Gauge(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  setMinimumSize(60, 14);
}

void Gauge::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min + 1, max);
  update();
}

void Gauge::SetProgress(int value) {
  value = std::clamp(value, min_, max_);
  if (value == progress_) return;
  progress_ = value;
  update();
}

void Gauge::SetBarColour(const QColor& colour) {
  if (colour == bar_) return;
  bar_ = colour;
  update();
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.fillRect(r, palette().base());
  const int w = static_cast<int>(static_cast<long long>(r.width()) * (progress_ - min_) / (max_ - min_));
  p.fillRect(QRect(r.left(), r.top(), w, r.height()), bar_);
  p.setPen(palette().mid().color());
  p.drawRect(r);
}

QWidget* MakeFieldPair(const FieldDef& field, QWidget* parent, int editWidth, FieldPairWidgets* out) {
  auto* box = new QWidget(parent);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* edit = new QLineEdit(box);
  edit->setObjectName(QString::fromStdString(field.EditName));
  edit->setFixedSize(editWidth, 21);
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* spin = new UpDown(box);
  spin->setObjectName(QString::fromStdString(field.ControlName));
  spin->SetAssociate(edit);
  spin->SetRange(field.Min, field.Max);
  spin->SetIncrement(field.Step);
  spin->SetValueAndText(field.Min > 0 ? field.Min : 0);
  layout->addWidget(edit);
  layout->addWidget(spin);
  box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  if (out) *out = {edit, spin};
  return box;
}

bool Checked(const QCheckBox* box) { return box && box->isChecked(); }

QCheckBox* MakeCheckBox(const QString& name, const QString& text, QWidget* parent) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(name);
  return c;
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

ElidedLabel::ElidedLabel(const QString& name, QWidget* parent, int minimumWidth)
    : QLabel(parent), minimumWidth_(minimumWidth) {
  setObjectName(name);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ElidedLabel::minimumSizeHint() const {
  const QSize full = QLabel::minimumSizeHint();
  return {std::min(full.width(), minimumWidth_), full.height()};
}

bool ElidedLabel::IsElided() const {
  return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
  style()->drawItemText(&p, r, static_cast<int>(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && IsElided()) {
    const QString hint = toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), hint.isEmpty() ? text() : text() + "\n" + hint,
                       this);
    return true;
  }
  return QLabel::event(event);
}

QColor ToQColor(Colour colour) {
  switch (colour) {
    case Colour::White: return Qt::white;
    case Colour::Red: return Qt::red;
    case Colour::Yellow: return Qt::yellow;
    case Colour::Lime: return QColor(0, 255, 0);
    case Colour::Aqua: return QColor(0, 255, 255);
    case Colour::Fuchsia: return QColor(255, 0, 255);
    case Colour::Blue: return Qt::blue;
    case Colour::Normal:
    case Colour::Window: break;
  }
  return {};
}

void SetBackground(QWidget* widget, Colour colour) {
  const QColor c = ToQColor(colour);
  const QPalette::ColorRole role = qobject_cast<QLineEdit*>(widget) ? QPalette::Base : QPalette::Window;
  const QPalette::ColorRole textRole = role == QPalette::Base ? QPalette::Text : QPalette::WindowText;
  QPalette pal = widget->palette();
  pal.setColor(role, c.isValid() ? c : QApplication::palette(widget).color(role));
  // Dark text on a light colour, white on a dark one (an error's red), so a
  // coloured text stays readable.
  QColor text = QApplication::palette(widget).color(textRole);
  if (c.isValid()) {
    const double luminance = 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
    text = luminance < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
  }
  pal.setColor(textRole, text);
  if (qobject_cast<QCheckBox*>(widget)) {
    // The style paints a check box's palette colour only as a thin outline;
    // a coloured box (tuning on) must be seen at a glance.
    // A style sheet set again, even the same, polishes the box anew and
    // repaints what lies under it: the view is applied on every monitor
    // frame.
    const QString sheet =
        c.isValid() ? QString("QCheckBox { background-color: %1; color: %2; }").arg(c.name(), text.name()) : QString();
    if (widget->styleSheet() != sheet) widget->setStyleSheet(sheet);
    return;
  }
  widget->setPalette(pal);
  widget->setAutoFillBackground(c.isValid());
}

}  // namespace velmor::ui

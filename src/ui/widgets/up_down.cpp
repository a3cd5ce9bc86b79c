#include "ui/widgets/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "model/fields.h"

namespace velmor::ui {
namespace {

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  b->setAutoRepeat(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  b->setFixedWidth(16);
  b->setIconSize(QSize(7, 7));
  return b;
}

}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = ArrowButton(this, Qt::UpArrow);
  down_ = ArrowButton(this, Qt::DownArrow);
  layout->addWidget(up_);
  layout->addWidget(down_);
  setFixedSize(16, 21);
  connect(up_, &QToolButton::clicked, this, [this] { Step(true); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(false); });
}

void UpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  position_ = static_cast<std::int16_t>(std::clamp<int>(position_, min_, max_));
}

int UpDown::ReadValue() {
  if (associate_) {
    const QByteArray text = associate_->text().toUtf8();
    position_ = static_cast<std::int16_t>(
        ReadFieldText(std::string_view(text.constData(), text.size()), position_, FieldRange{min_, max_, increment_}));
  }
  return position_;
}

void UpDown::SetField(int v) {
  // A text that reads as v but is not how v is shown ("abc", "99999" limited
  // to the range, "0150") is replaced: after a refresh the box shows what is
  // stored.
  const int shown = std::clamp(v, min_, max_);
  if (ReadValue() == v && (!associate_ || associate_->text() == QString::number(shown))) return;
  SetValueAndText(v);
}

void UpDown::SetValueAndText(int v) {
  position_ = static_cast<std::int16_t>(std::clamp(v, min_, max_));
  if (associate_) associate_->setText(QString::number(position_));
}

void UpDown::Step(bool up) {
  const int current = ReadValue();
  const int next = std::clamp(current + (up ? increment_ : -increment_), min_, max_);
  SetValueAndText(next);
  emit Clicked(up);
}

StepButtons::StepButtons(QWidget* parent, Qt::Orientation orientation) : QWidget(parent) {
  QBoxLayout* layout = orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                                   : static_cast<QBoxLayout*>(new QHBoxLayout(this));
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = ArrowButton(this, orientation == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow);
  auto* down = ArrowButton(this, orientation == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow);
  if (orientation == Qt::Vertical) {
    layout->addWidget(up);
    layout->addWidget(down);
  } else {
    layout->addWidget(down);
    layout->addWidget(up);
  }
  connect(up, &QToolButton::clicked, this, &StepButtons::Up);
  connect(down, &QToolButton::clicked, this, &StepButtons::Down);
}

}  // namespace velmor::ui

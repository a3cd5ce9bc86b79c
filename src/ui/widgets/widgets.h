// Small widgets the window is built from, named as the unit's tool names its
// controls: radio groups with an item index, bar gauges, and the factory that
// makes a named field pair from the field table.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <vector>

#include "lang/plural.h"
#include "link/monitor.h"
#include "model/fields.h"
#include "ui/widgets/up_down.h"

class QButtonGroup;
class QVBoxLayout;

namespace velmor::ui {

// A group box of radio buttons whose value is the selected item's index
// (-1 when none is selected). Clicked fires only on a user's click.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit RadioGroup(const QString& name, QWidget* parent = nullptr);
  void SetItems(const QStringList& items);
  void SetItem(int index, const QString& text);
  QStringList Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Whether the items take the keyboard focus in tab order; kept when the
  // item list is replaced (a language change).
  void SetTabStop(bool on);
 signals:
  void Clicked();

 private:
  QVBoxLayout* layout_;
  QButtonGroup* buttons_;
  bool tabStop_ = true;
};

// A horizontal bar gauge with a settable bar colour (the live display paints
// ranges in colours).
class Gauge : public QWidget {
  Q_OBJECT
 public:
  explicit Gauge(const QString& name, QWidget* parent = nullptr);
  void SetRange(int min, int max);
  void SetProgress(int value);
  int Progress() const { return progress_; }
  int MaxValue() const { return max_; }
  void SetBarColour(const QColor& colour);
  QSize sizeHint() const override { return {160, 18}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int min_ = 0, max_ = 100, progress_ = 0;
  QColor bar_{0, 0, 128};
};

// Edit box + spinner named after a field of the table, with its range.
struct FieldPairWidgets {
  QLineEdit* Edit;
  UpDown* Spinner;
};
// A container widget holding the edit box and its spinner side by side.
QWidget* MakeFieldPair(const FieldDef& field, QWidget* parent, int editWidth = 48,
                       FieldPairWidgets* out = nullptr);
QCheckBox* MakeCheckBox(const QString& name, const QString& text, QWidget* parent);
// A switch the window may not have built (a page left out) reads as off.
bool Checked(const QCheckBox* box);
QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent);

// A one-line label that never widens its window: a text longer than the room
// the layout gives it is cut with an ellipsis, and the pointer shows the whole
// text (above the label's own hint).
class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  ElidedLabel(const QString& name, QWidget* parent, int minimumWidth);
  QSize minimumSizeHint() const override;
  bool IsElided() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  bool event(QEvent* event) override;

 private:
  int minimumWidth_;
};

// The colour a core colour stands for; Normal and Window give an invalid
// colour, meaning "the palette's own" (button face or window background).
QColor ToQColor(Colour colour);
// Paints a widget's background (labels, edit boxes) in a core colour.
void SetBackground(QWidget* widget, Colour colour);

// The core's UTF-8 texts as Qt strings.
inline QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// `text` with the plural groups of "%<placeholder>" in the form for `count`;
// the placeholders stay for QString::arg.
inline QString Counted(const QString& text, LanguageCode language, long long count, int placeholder = 1) {
  return QString::fromStdString(Plural(text.toStdString(), language, count, placeholder));
}

}  // namespace velmor::ui

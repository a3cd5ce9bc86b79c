// A field pair: a single-line edit box with an up/down spinner at its right
// edge. The spinner holds the value as a signed 16-bit number within Min..Max;
// the edit box shows it as decimal text. Reading takes the number in the text
// when it is valid and within range, and otherwise the value the spinner has.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>

class QToolButton;

namespace velmor::ui {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

  // The edit box this spinner reads and writes (it may be null for a lone
  // up/down button pair such as a column step button).
  void SetAssociate(QLineEdit* edit) { associate_ = edit; }
  QLineEdit* Associate() const { return associate_; }

  void SetRange(int min, int max);
  void SetIncrement(int increment) { increment_ = increment; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Increment() const { return increment_; }
  std::int16_t Position() const { return position_; }

  // The value as a commit reads it: the edit text when it is a whole number
  // within Min..Max, otherwise the held position.
  int ReadValue();
  // Shows v (limited to Min..Max) unless the field already shows exactly v.
  void SetField(int v);
  // Sets the position and always rewrites the text.
  void SetValueAndText(int v);

 signals:
  // An arrow was clicked: the position has moved by one increment and the
  // text shows it.
  void Clicked(bool up);

 private:
  void Step(bool up);

  QLineEdit* associate_ = nullptr;
  QToolButton* up_;
  QToolButton* down_;
  int min_ = 0;
  int max_ = 100;
  int increment_ = 1;
  std::int16_t position_ = 0;
};

// A pair of arrow buttons without a value (column, map, idle and position
// step buttons).
class StepButtons : public QWidget {
  Q_OBJECT
 public:
  explicit StepButtons(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Vertical);
 signals:
  void Up();
  void Down();
};

}  // namespace velmor::ui

// Page 0 "Bike": the model, limiters, cooling, input activation, pin
// functions, the tachometer and lambda-on-tacho settings and the note.
#include <QVBoxLayout>

#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

QVBoxLayout* Column(QBoxLayout* parent) {
  auto* c = new QVBoxLayout;
  c->setSpacing(6);
  parent->addLayout(c);
  return c;
}

QGroupBox* FormGroup(const char* name, const QString& title, QWidget* sheet,
                     std::initializer_list<std::string_view> fields) {
  QGroupBox* g = MakeGroup(name, title, sheet);
  FormRows rows(PageBike, g);
  rows.Add(fields);
  return g;
}

// Two rows of A/F and rpm points at fixed positions under their column labels.
QGroupBox* LambdaTachoGroup(QWidget* sheet) {
  QGroupBox* g = MakeGroup("GroupBoxLambdaTacho", "Lambda on tacho", sheet);
  auto* af = MakeNamedLabel("LabelLambdaTachoAf", "A/F [x10]", g);
  af->setGeometry(40, 22, 70, af->fontMetrics().height());
  auto* rpm = MakeNamedLabel("LabelLambdaTachoRpm", "[rpm]", g);
  rpm->setGeometry(120, 22, 70, rpm->fontMetrics().height());
  AddGridRowLabels(
      g, 2, 14, 20, [](int i) { return 22 + 30 * i + 25 + 3; },
      [](int i) { return QString::number(i + 1); });
  return g;
}

}  // namespace

void BuildBikePage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);

  // Model and limits.
  QVBoxLayout* left = Column(page);
  QGroupBox* bike = MakeGroup("GroupBoxBike", "Motorbike Type", sheet);
  FormRows(PageBike, bike).Add({"ComboBoxBike"});
  left->addWidget(bike);
  left->addWidget(FormGroup("GroupBoxOmez", "Limiters", sheet,
                            {"UpDownStartLimiter", "UpDownIgnLimiter", "UpDownJetLimiter",
                             "UpDownRetardLimiterRpm", "UpDownRetardLimiterAdv"}));
  left->addWidget(FormGroup("GroupBoxChlazeni", "Cooling", sheet, {"UpDownFan1", "UpDownFan2"}));
  left->addStretch();

  // Inputs and pins.
  QVBoxLayout* middle = Column(page);
  QGroupBox* activation = MakeGroup("GroupBoxActivation", "Activation by Switch on", sheet);
  FormRows(PageBike, activation).Add({"CheckBoxAktClutch", "CheckBoxAktStartLimiter", "CheckBoxAktRpm"});
  middle->addWidget(activation);
  for (const char* name : {"RadioGroupPinEngine23", "RadioGroupPinEngine14", "RadioGroupPinBody11"})
    if (const FieldDef* f = Field(PageBike, name)) middle->addWidget(MakeFieldControl(*f, sheet));
  middle->addStretch();

  // Tachometer, lambda on tacho, excitation, note.
  QVBoxLayout* right = Column(page);
  right->addWidget(FormGroup("GroupBoxTacho", "Tachometer", sheet, {"UpDownRpmPulsu", "UpDownRpmKorekce"}));
  QGroupBox* tacho = LambdaTachoGroup(sheet);
  right->addWidget(tacho, 0, Qt::AlignLeft);
  auto* misc = new QWidget(sheet);
  FormRows(PageBike, misc).Add({"UpDownBuzeni", "CheckBoxNoFuelInd"});
  misc->layout()->setContentsMargins(0, 4, 0, 4);
  right->addWidget(misc);
  auto* memoLabel = MakeNamedLabel("LabelMemo", "Memo sheet:", sheet);
  right->addWidget(memoLabel);
  if (const FieldDef* f = Field(PageBike, "Memo1")) {
    QWidget* memo = MakeFieldControl(*f, sheet);
    memo->setMinimumSize(260, 110);
    memoLabel->setBuddy(memo);
    right->addWidget(memo, 1);
  }
  page->addStretch();

  PlaceGridFields(PageBike, sheet);
  FitGroup(tacho, 200);
  PlaceRemainingFields(PageBike, sheet, page);
}

}  // namespace velmor::ui::detail

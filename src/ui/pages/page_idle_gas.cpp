// Pages 7 "Idle" and 8 "N2O".
#include <QVBoxLayout>

#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

int IdleRowLabelTop(int row) { return 37 * row + 35; }

// One of the two nine-row idle tables: its row labels copy the temperature
// texts of the sensor table so that both read the same temperatures.
QGroupBox* IdleTable(const char* name, const QString& title, QWidget* sheet) {
  QGroupBox* g = MakeGroup(name, title, sheet);
  AddGridRowLabels(g, 9, 24, 44, IdleRowLabelTop, TemperatureRowText);
  return g;
}

}  // namespace

void BuildIdlePage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);

  // Regulation by the idle servo.
  auto* regulation = new QVBoxLayout;
  page->addLayout(regulation);
  if (const FieldDef* f = Field(PageIdle, "RadioGroupIdleMode")) regulation->addWidget(MakeFieldControl(*f, sheet));
  regulation->addWidget(RowsWidget(PageIdle, sheet,
                             {"UpDownIdleRpmMez", "UpDownIdleTpsMez", "CheckBoxIdleSmerReg", "UpDownIdleStepPuls",
                              "UpDownIdleStepPerioda", "UpDownIdleHyster", "UpDownIdleStart"}));
  regulation->addStretch();

  QGroupBox* servo = IdleTable("GroupBoxIdleServoPoz", "Idle Servo RPM desired", sheet);
  QGroupBox* adv = IdleTable("GroupBoxIdleAdvPoz", "Idle advance RPM desired", sheet);
  PlaceGridFields(PageIdle, sheet);
  // Shifts the whole servo table; under the first edit, below the last row.
  auto* step = new StepButtons(servo);
  step->setObjectName("IdleStepButton");
  step->setGeometry(70 + 12, IdleRowLabelTop(8) - 4 + 34, 17, 23);
  FitGroup(servo, 170);
  FitGroup(adv, 170);
  page->addWidget(servo, 0, Qt::AlignTop);

  // Regulation by the ignition advance.
  auto* advance = new QVBoxLayout;
  page->addLayout(advance);
  advance->addWidget(RowsWidget(PageIdle, sheet,
                          {"CheckBoxIdleAdvOn", "UpDownIdleAdvNaRpm", "UpDownIdleAdvNaCas", "UpDownIdleMaxAdv"}));
  advance->addWidget(MakeMonitorLabel("LabelIdleKorAdv", sheet));
  advance->addStretch();
  page->addWidget(adv, 0, Qt::AlignTop);
  page->addStretch();
  PlaceRemainingFields(PageIdle, sheet, page);
}

void BuildGasPage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);
  auto* column = new QVBoxLayout;
  page->addLayout(column);
  if (const FieldDef* f = Field(PageN2O, "CheckBoxGas")) column->addWidget(MakeFieldControl(*f, sheet));

  auto* groups = new QHBoxLayout;
  column->addLayout(groups);
  QGroupBox* gas = MakeGroup("GroupBoxGas", "N2O", sheet);
  FormRows(PageN2O, gas)
      .Add({"UpDownGas1", "UpDownGas2", "UpDownGasD", "UpDownGasT", "UpDownGasJetKor1", "UpDownGasJetKor2"});
  groups->addWidget(gas, 0, Qt::AlignTop);
  QGroupBox* retard = MakeGroup("GroupBoxRetard", "Retard", sheet);
  FormRows(PageN2O, retard).Add({"UpDownRetard1", "UpDownRetard2", "UpDownRetardD", "UpDownRetardT"});
  groups->addWidget(retard, 0, Qt::AlignTop);
  column->addStretch();
  page->addStretch();
  PlaceRemainingFields(PageN2O, sheet, page);
}

}  // namespace velmor::ui::detail

// Page 11 "Tuning": closed-loop lambda tuning and the output tests.
#include <QPushButton>
#include <QVBoxLayout>

#include "link/output_tests.h"
#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

QPushButton* MakeTestButton(const TestButton& t, QWidget* parent) {
  auto* b = new QPushButton(t.Caption, parent);
  b->setObjectName(t.Name);
  b->setMinimumWidth(90);
  return b;
}

}  // namespace

void BuildTuningPage(QWidget* sheet) {
  QBoxLayout* outer = SheetLayout(sheet);
  auto* column = new QVBoxLayout;
  outer->addLayout(column);

  auto* caution = MakeNamedLabel("LabelLadeniCaution", "Caution - For experienced user only!", sheet);
  QFont bold = caution->font();
  bold.setBold(true);
  caution->setFont(bold);
  caution->setStyleSheet("color: red;");
  column->addWidget(caution);

  auto* page = new QHBoxLayout;
  column->addLayout(page);

  QGroupBox* ladeni = MakeGroup("GroupBoxLadeni", "Tunning", sheet);
  FormRows rows(PageTuning, ladeni);
  rows.AddWide(MakeCheckBox("CheckBoxLadeniPovoleno", EnglishCaption("CheckBoxLadeniPovoleno", "Tunning on"), ladeni));
  rows.Add({"RadioGroupLadeniMode", "UpDownLadeniLambda", "UpDownLadeniHyster", "UpDownLadeniRpm", "UpDownLadeniTps",
            "UpDownLadeniCas", "UpDownLadeniKrok", "UpDownLadeniKanal", "UpDownLadeniMaxAcc"});
  QLabel* status = MakeMonitorLabel("LabelLadeniMsg", ladeni);
  status->setMinimumWidth(260);
  status->setAutoFillBackground(true);
  rows.AddWide(status);
  page->addWidget(ladeni, 0, Qt::AlignTop);

  // Output tests: every button of the request-bit table, grouped by what it
  // drives; the engine-speed and servo tests next to their parameters.
  QGroupBox* tests = MakeGroup("GroupBoxTestOut", "Output tests", sheet);
  auto* testColumn = new QVBoxLayout(tests);
  QGroupBox* injectors = MakeGroup("GroupBoxTestJet", "Injectors", tests);
  auto* injectorGrid = new QGridLayout(injectors);
  testColumn->addWidget(injectors);
  auto* ignition = new QHBoxLayout;
  testColumn->addLayout(ignition);
  auto* relays = new QHBoxLayout;
  testColumn->addLayout(relays);
  auto* rpm = new QWidget(tests);
  FormRows rpmRow(PageTuning, rpm);
  rpmRow.Add({"UpDownTestRpm"});
  rpmRow.Layout()->setContentsMargins(0, 0, 0, 0);
  testColumn->addWidget(rpm);
  auto* servo = new QGridLayout;
  testColumn->addLayout(servo);
  auto* servoTime = new QWidget(tests);
  FormRows(PageTuning, servoTime).Add({"UpDownTestServo"});
  servoTime->layout()->setContentsMargins(0, 0, 0, 0);
  testColumn->addWidget(servoTime);

  int jet = 0, servoButton = 0;
  for (const auto& t : kTestButtons) {
    const std::string_view name = t.Name;
    if (name.starts_with("ButtonTestJet")) {
      // Cylinders across, the A and B injectors of a cylinder one above the other.
      injectorGrid->addWidget(MakeTestButton(t, injectors), jet / 4, jet % 4);
      ++jet;
    } else if (name.starts_with("ButtonTestIgn")) {
      ignition->addWidget(MakeTestButton(t, tests));
    } else if (name.starts_with("ButtonTestServo")) {
      servo->addWidget(MakeTestButton(t, tests), servoButton / 2, servoButton % 2);
      ++servoButton;
    } else if (name == "ButtonTestRpm") {
      rpmRow.Layout()->addWidget(MakeTestButton(t, rpm), 0, 2, Qt::AlignLeft);
    } else {
      relays->addWidget(MakeTestButton(t, tests));
    }
  }
  ignition->addStretch();
  testColumn->addStretch();
  page->addWidget(tests, 0, Qt::AlignTop);
  page->addStretch();
  column->addStretch();
  PlaceRemainingFields(PageTuning, sheet, outer);
}

}  // namespace velmor::ui::detail

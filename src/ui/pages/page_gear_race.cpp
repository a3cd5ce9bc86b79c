// Pages 9 "Gear" and 10 "Race": the per-gear tables with a row per gear.
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

constexpr int kGears = 6;

int GearRowTop(int row) { return 39 * row + 65; }

// The gear number in front of each row, named by the gear (1..6) because the
// operating-point highlight and the gear-count rules refer to them that way.
void GearRowLabels(QGroupBox* group, const char* prefix) {
  for (int i = 0; i < kGears; ++i) {
    auto* l = MakeLabel(QString("%1%2").arg(prefix).arg(i + 1), QString::number(i + 1), group);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setGeometry(4, GearRowTop(i), 16, 21);
  }
}

QLabel* Header(const char* name, const QString& text, QGroupBox* group, int left, int bottom, int width) {
  auto* l = MakeNamedLabel(name, text, group);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  const int h = 2 * l->fontMetrics().lineSpacing();
  l->setGeometry(left, bottom - h, width, h);
  return l;
}

}  // namespace

void BuildGearPage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);

  auto* settings = new QVBoxLayout;
  page->addLayout(settings);
  if (const FieldDef* f = Field(PageGear, "RadioGroupGearSystem")) settings->addWidget(MakeFieldControl(*f, sheet));
  settings->addWidget(RowsWidget(PageGear, sheet, {"UpDownPocetGear"}));
  QGroupBox* speed = MakeGroup("GroupBoxPulsuProSpeed", "Setting of speedometer", sheet);
  FormRows(PageGear, speed).Add({"RadioGroupSpeedMode", "UpDownPulsuProSpeed"});
  settings->addWidget(speed);
  QGroupBox* learning = MakeGroup("GroupBoxGearAuto", "Automatic gear learning", sheet);
  FormRows(PageGear, learning)
      .Add({"UpDownGearAutoTime", "UpDownGearAutoRpm", "UpDownGearAutoTps", "UpDownGearAutoBand"});
  settings->addWidget(learning);
  settings->addStretch();

  // Rpm/speed ratio per gear, each with a button that takes the ratio the
  // unit measures now.
  QGroupBox* ratio = MakeGroup("GroupBoxRpmSpeedProGear", "Rpm/Speed ratio [x10]", sheet);
  GearRowLabels(ratio, "LabelPomerRpmSpeed");
  for (int i = 0; i < kGears; ++i) {
    auto* b = new QPushButton(QString("Gear %1").arg(i + 1), ratio);
    b->setObjectName(QString("ButtonGear%1").arg(i + 1));
    b->setGeometry(88, GearRowTop(i) - 1, 64, 23);
  }

  QGroupBox* kor = MakeGroup("GroupBoxGearKor", "Correction per gear", sheet);
  Header("LabelGearKorAdv", "Adv. [°]", kor, 24, 60, 70);
  Header("LabelGearKorJet", "Inj. [%]", kor, 102, 60, 70);
  GearRowLabels(kor, "LabelGearKor");

  PlaceGridFields(PageGear, sheet);
  FitGroup(ratio);
  FitGroup(kor);

  auto* live = new QVBoxLayout;
  page->addLayout(live);
  live->addWidget(MakeMonitorLabel("LabelMonPomerRpmSpeed", sheet));
  auto* tables = new QHBoxLayout;
  live->addLayout(tables);
  tables->addWidget(ratio, 0, Qt::AlignTop);
  tables->addWidget(kor, 0, Qt::AlignTop);

  // The ratios the unit has learned per gear.
  QGroupBox* learned = MakeGroup("GroupBoxMonAutoGear", "Learned ratio", sheet);
  for (int i = 0; i < kGears; ++i) {
    auto* gear = MakeLabel(QString("LabelMonGearAuto%1").arg(i + 1), QString::number(i + 1), learned);
    gear->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    gear->setGeometry(4, GearRowTop(i), 16, 21);
    QLabel* value = MakeMonitorLabel(qPrintable(QString("LabelMonPomerRpmSpeedAuto%1").arg(i + 1)), learned);
    value->setGeometry(28, GearRowTop(i), 70, 21);
  }
  FitGroup(learned, 110);
  tables->addWidget(learned, 0, Qt::AlignTop);
  live->addStretch();
  page->addStretch();
  PlaceRemainingFields(PageGear, sheet, page);
}

void BuildRacePage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);

  QGroupBox* clutch = MakeGroup("GroupBoxClutch", "Shift light and clutch master", sheet);
  // One heading for both shift-light columns (first and second rpm), centred
  // over the pair so that neither column stands without one.
  Header("LabelPilotLight", "Gear Shift Light [rpm]", clutch, 24, 60, 150)
      ->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  Header("LabelClutchTime", "Clutch master time [ms]", clutch, 254, 60, 132);
  Header("LabelClutchPause", "Clutch master pause [ms]", clutch, 394, 60, 132);
  GearRowLabels(clutch, "LabelRaceGear");
  PlaceGridFields(PageRace, sheet);
  FitGroup(clutch);
  page->addWidget(clutch, 0, Qt::AlignTop);

  auto* settings = new QVBoxLayout;
  page->addLayout(settings);
  if (const FieldDef* f = Field(PageRace, "RadioGroupClutchMode")) settings->addWidget(MakeFieldControl(*f, sheet));
  settings->addWidget(RowsWidget(PageRace, sheet, {"UpDownClutchMinRpm", "UpDownClutchJet", "UpDownClutchAdv"}));
  QGroupBox* display = MakeGroup("GroupBoxDisplay", "Display on Bike", sheet);
  FormRows(PageRace, display).Add({"CheckBoxTempDisplay"});
  settings->addWidget(display);
  settings->addStretch();
  page->addStretch();
  PlaceRemainingFields(PageRace, sheet, page);
}

}  // namespace velmor::ui::detail

// Pages 4 "Position", 5 "Corrections" and 6 "Sensors": mostly the table grids
// at their fixed positions, with the declared fields beside them.
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

QLabel* HeaderLabel(const char* name, const QString& text, QGroupBox* group, int left, int top,
                    int width) {
  auto* l = MakeNamedLabel(name, text, group);
  l->setGeometry(left, top, width, l->fontMetrics().height());
  return l;
}

// A column header over a column of field pairs ending at `right`: it may run
// to two lines and reaches left as far as `left`, ending flush with the
// column like the numbers under it, so long words of some languages still fit.
QLabel* ColumnHeader(const char* name, const QString& text, QGroupBox* group, int left, int right, int bottom) {
  auto* l = MakeNamedLabel(name, text, group);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignRight | Qt::AlignBottom);
  const int h = 2 * l->fontMetrics().lineSpacing();
  l->setGeometry(left, bottom - h, right - left, h);
  return l;
}

// A fixed value shown where the table has a cell (the after-start table's
// first time and last correction), drawn like a cell so it can be highlighted.
QLabel* FixedCell(const char* name, const QString& text, QWidget* parent) {
  auto* l = MakeLabel(name, text, parent);
  l->setFixedSize(48, 21);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setContentsMargins(0, 0, 4, 0);
  l->setFrameShape(QFrame::StyledPanel);
  return l;
}

QString FivePointText(int row) { return QString("%1 °C").arg(-10 + 30 * row, 3); }

}  // namespace

// ---------------------------------------------------------------------------
// 4 Position

void BuildPositionPage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);
  auto* column = new QVBoxLayout;
  page->addLayout(column);

  QGroupBox* g = MakeGroup("GroupBoxPolohaA", "Position of Injection A", sheet);
  HeaderLabel("LabelPolohaA_1", "[rpm]", g, 6, 28, 36);
  HeaderLabel("LabelPolohaA_2", "[°]", g, 6, 58, 36);
  PlaceGridFields(PagePosition, sheet);
  auto* step = new StepButtons(g);
  step->setObjectName("CSpinButtonPolohaA");
  step->setGeometry(44, 88, 17, 23);
  auto* all = MakeCheckBox("CheckBoxAll_PolohaA", EnglishCaption("CheckBoxAll_PolohaA", "All"), g);
  all->setGeometry(70, 90, 80, 20);
  FitGroup(g);
  column->addWidget(g, 0, Qt::AlignLeft);

  if (const FieldDef* f = Field(PagePosition, "RadioGroupPolohaA"))
    column->addWidget(MakeFieldControl(*f, sheet), 0, Qt::AlignLeft);
  column->addStretch();
  page->addStretch();
  PlaceRemainingFields(PagePosition, sheet, page);
}

// ---------------------------------------------------------------------------
// 5 Corrections

void BuildCorrectionsPage(QWidget* sheet) {
  QBoxLayout* outer = SheetLayout(sheet);
  auto* column = new QVBoxLayout;
  outer->addLayout(column);
  auto* page = new QHBoxLayout;
  column->addLayout(page);

  QGroupBox* kor = MakeGroup("GroupBoxKorVodaVzduch", "Temperature Corrections of injection [%]", sheet);
  ColumnHeader("LabelVoda2", "Coolant", kor, 14, 85 + 56, 50);
  ColumnHeader("LabelVzduch2", "Inlet Air", kor, 85 + 56 + 6, 165 + 56, 50);
  AddGridRowLabels(kor, 5, 14, 60, [](int i) { return 38 * i + 53 + 3; }, FivePointText);

  QGroupBox* ign = MakeGroup("GroupBoxIgnVoda", "Temperature Corrections of advance [°]", sheet);
  ColumnHeader("LabelVoda3", "Coolant", ign, 14, 85 + 56, 62);
  AddGridRowLabels(ign, 5, 14, 60, [](int i) { return 39 * i + 65 + 3; }, FivePointText);

  PlaceGridFields(PageCorrections, sheet);
  FitGroup(kor, 250);
  FitGroup(ign, 200);
  page->addWidget(kor, 0, Qt::AlignTop);
  page->addWidget(ign, 0, Qt::AlignTop);

  // One above the other: side by side their French titles take more than
  // the page's width.
  auto* right = new QVBoxLayout;
  page->addLayout(right);
  QGroupBox* akcel = MakeGroup("GroupBoxAkcel", "Acceleration Injection", sheet);
  FormRows(PageCorrections, akcel).Add({"UpDownAkcelPrah", "UpDownAkcelJet"});
  right->addWidget(akcel);
  QGroupBox* start = MakeGroup("GroupBoxStartJet", "Start Injection", sheet);
  FormRows(PageCorrections, start).Add({"UpDownStartJet"});
  right->addWidget(start);

  QGroupBox* acc = MakeGroup("GroupBoxAccK", "Acceleration inj. correction", sheet);
  FormRows(PageCorrections, acc).Add({"UpDownAccKPlus", "UpDownAccKMinus", "UpDownAccT0", "UpDownAccT100"});
  right->addWidget(acc);
  right->addStretch();
  page->addStretch();

  // After-start correction along its time axis: five points, the first at
  // 0 s, the last at 100 %.
  QGroupBox* sytic = MakeGroup("GroupBoxSytic", "Starting Corrections [%]", sheet);
  auto* grid = new QGridLayout(sytic);
  grid->setHorizontalSpacing(10);
  grid->addWidget(MakeNamedLabel("LabelSyticCas", "Time [s]", sytic), 0, 0);
  grid->addWidget(MakeNamedLabel("LabelSyticKorekce", "Corrections for -10°C [%]", sytic), 1, 0);
  grid->addWidget(FixedCell("LabelSyticCas0", "0", sytic), 0, 1);
  grid->addWidget(FixedCell("LabelSyticKorekce4", "100", sytic), 1, 5);
  for (int i = 0; i < 4; ++i) {
    if (const FieldDef* f = Field(PageCorrections, "UpDownSyticCas" + std::to_string(i + 1)))
      grid->addWidget(MakeFieldControl(*f, sytic, 40), 0, i + 2);
    if (const FieldDef* f = Field(PageCorrections, "UpDownSyticKorekce" + std::to_string(i)))
      grid->addWidget(MakeFieldControl(*f, sytic, 40), 1, i + 1);
  }
  auto* bottom = new QHBoxLayout;
  column->addLayout(bottom);
  bottom->addWidget(sytic);
  bottom->addStretch();
  column->addStretch();
  PlaceRemainingFields(PageCorrections, sheet, outer);
}

// ---------------------------------------------------------------------------
// 6 Sensors

void BuildSensorsPage(QWidget* sheet) {
  QBoxLayout* page = SheetLayout(sheet);

  QGroupBox* temp = MakeGroup("GroupBoxCidloTVodaVzduch", "Characteristic of temperature sensors [mV]", sheet);
  HeaderLabel("LabelVoda1", "Water", temp, 75, 40, 76);
  HeaderLabel("LabelVzduch1", "Air", temp, 155, 40, 76);
  AddGridRowLabels(temp, 9, 24, 48, [](int i) { return 37 * i + 65 + 3; }, TemperatureRowText);

  QGroupBox* lambda = MakeGroup("GroupBoxCidloLambda", "Lambda sensor characteristic", sheet);
  HeaderLabel("LabelCidloLambdaAf", "A/F [x10]", lambda, 30, 22, 76);
  HeaderLabel("LabelCidloLambdaNap", "[mV]", lambda, 110, 22, 60);
  AddGridRowLabels(lambda, 5, 10, 16, [](int i) { return 22 + 30 * i + 25 + 3; },
                   [](int i) { return QString::number(i + 1); });

  PlaceGridFields(PageSensors, sheet);
  FitGroup(temp, 240);
  FitGroup(lambda, 190);
  page->addWidget(temp, 0, Qt::AlignTop);

  auto* middle = new QVBoxLayout;
  page->addLayout(middle);
  QGroupBox* aps = MakeGroup("GroupApsSensor", "Pressure sensor - AP", sheet);
  FormRows(PageSensors, aps).Add({"UpDownApsTlak1", "UpDownApsNapeti1", "UpDownApsTlak2", "UpDownApsNapeti2"});
  middle->addWidget(aps);

  // The throttle calibration points, each with a button that takes the
  // voltage the unit measures now.
  QGroupBox* tps = MakeGroup("GroupBoxTps", "Throttle sensor - TPS", sheet);
  FormRows tpsRows(PageSensors, tps);
  const std::pair<const char*, const char*> kCapture[] = {{"UpDownTps0", "ButtonTps0"},
                                                          {"UpDownTps100", "ButtonTps100"}};
  for (const auto& [field, button] : kCapture) {
    const FieldDef* f = Field(PageSensors, field);
    if (!f) continue;
    tpsRows.AddField(*f);
    auto* b = new QPushButton(f->ControlName == "UpDownTps0" ? "TPS 0%" : "TPS 100%", tps);
    b->setObjectName(button);
    tpsRows.Layout()->addWidget(b, tpsRows.Rows() - 1, 2, Qt::AlignLeft);
  }
  middle->addWidget(tps);
  middle->addStretch();

  auto* right = new QVBoxLayout;
  page->addLayout(right);
  if (const FieldDef* f = Field(PageSensors, "RadioGroupCidloLambdaMode")) right->addWidget(MakeFieldControl(*f, sheet));
  right->addWidget(lambda);
  right->addStretch();
  page->addStretch();
  PlaceRemainingFields(PageSensors, sheet, page);
}

}  // namespace velmor::ui::detail

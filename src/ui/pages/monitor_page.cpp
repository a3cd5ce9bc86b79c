// Page 12 "Monitor": the live values of the unit, grouped by what they tell
// the tuner, the live-gauge strip and the lambda bar scale.
#include <QHash>
#include <QSet>
#include <QVBoxLayout>

#include "lang/control_texts.h"
#include "link/monitor.h"
#include "ui/pages/page_common.h"
#include "ui/pages/pages.h"

namespace velmor::ui::detail {
namespace {

// What a live label shows before the first monitor frame.
const QHash<QString, QString>& InitialTexts() {
  static const QHash<QString, QString> texts = [] {
    QHash<QString, QString> t;
    for (const LabelText& p : NoReadingTexts(LanguageCode::English))
      t.insert(QString::fromUtf8(p.label.data(), static_cast<int>(p.label.size())), QString::fromStdString(p.text));
    return t;
  }();
  return texts;
}

// Live labels that sit on the pages whose settings they belong to, and the
// version warning, which the window shows above the pages.
bool OnOtherPage(const QString& name) {
  return name == "LabelIdleKorAdv" || name == "LabelLadeniMsg" || name.startsWith("LabelMonPomerRpmSpeed") ||
         name == "LabelVersion";
}

QGroupBox* LabelGroup(const char* name, const QString& title, QWidget* parent,
                      std::initializer_list<const char*> labels) {
  QGroupBox* g = MakeGroup(name, title, parent);
  auto* column = new QVBoxLayout(g);
  column->setSpacing(2);
  for (const char* label : labels) column->addWidget(MakeMonitorLabel(label, g));
  return g;
}

Gauge* MakeGauge(const char* name, QWidget* parent) {
  auto* g = new Gauge(name, parent);
  g->SetRange(0, kMonGaugeMax);
  g->setFixedHeight(16);
  return g;
}

// A live value over its bar gauge.
// `width` leaves room for the longest text the label takes (with the
// extended monitor's millivolts).
QWidget* GaugeCell(const char* labelName, const char* gaugeName, int width, QWidget* parent) {
  auto* cell = new QWidget(parent);
  auto* column = new QVBoxLayout(cell);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  QLabel* label = MakeMonitorLabel(labelName, cell);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  column->addWidget(label);
  Gauge* gauge = MakeGauge(gaugeName, cell);
  gauge->setFixedWidth(width - 20);
  column->addWidget(gauge);
  column->addStretch();
  cell->setMinimumWidth(width);
  return cell;
}

// The lambda gauge with its three colour labels under it; the view refresh
// sizes them from the gauge's left and width, so all three share its parent
// and are placed by position, not by a layout.
QWidget* LambdaCell(QWidget* parent) {
  auto* cell = new QWidget(parent);
  QLabel* label = MakeMonitorLabel("LabelLambda", cell);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  const int h = label->fontMetrics().height();
  label->setGeometry(0, 0, 220, h);
  Gauge* gauge = MakeGauge("CGaugeLambda", cell);
  constexpr int kWidth = 180;
  gauge->setGeometry(0, h + 2, kWidth, 16);
  const std::pair<const char*, QColor> kBands[] = {
      {"LabelLambdaBlue", Qt::blue}, {"LabelLambdaGreen", QColor(0, 255, 0)}, {"LabelLambdaRed", Qt::red}};
  int left = 0;
  for (int i = 0; i < 3; ++i) {
    auto* band = MakeLabel(kBands[i].first, QString(), cell);
    band->setAutoFillBackground(true);
    QPalette pal = band->palette();
    pal.setColor(QPalette::Window, kBands[i].second);
    band->setPalette(pal);
    const int width = i < 2 ? kWidth / 3 : kWidth - left;
    band->setGeometry(left, h + 20, width, 5);
    left += width;
  }
  cell->setFixedSize(220, h + 27);
  return cell;
}

QWidget* LiveGauges(QWidget* parent) {
  auto* strip = new QWidget(parent);
  strip->setObjectName(kLiveGaugesName);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(GaugeCell("LabelRpm", "CGaugeRpm", 150, strip));
  row->addWidget(GaugeCell("LabelTps", "CGaugeTps", 170, strip));
  row->addWidget(LambdaCell(strip), 0, Qt::AlignTop);
  row->addWidget(GaugeCell("LabelVoda", "CGaugeVoda", 200, strip));
  row->addWidget(MakeCheckBox("CheckBoxExtMonitor", EnglishCaption("CheckBoxExtMonitor", "Detailed representation"), strip),
                 0, Qt::AlignTop);
  row->addStretch();
  return strip;
}

}  // namespace

QLabel* MakeMonitorLabel(const char* name, QWidget* parent) {
  return MakeLabel(name, InitialTexts().value(name), parent);
}

void BuildMonitorPage(QWidget* sheet) {
  QBoxLayout* outer = SheetLayout(sheet);
  auto* page = new QVBoxLayout;
  outer->addLayout(page);
  page->addWidget(LiveGauges(sheet));

  auto* columns = new QHBoxLayout;
  page->addLayout(columns);

  auto* first = new QVBoxLayout;
  columns->addLayout(first);
  first->addWidget(LabelGroup("GroupBoxMonAdvance", QString::fromStdString(CatalogText(MsgKey::TxtAdvance, LanguageCode::English)),
                              sheet, {"LabelMon_Ign1", "LabelMon_Ign2", "LabelMon_Ign"}));
  QGroupBox* inj = LabelGroup("GroupBoxMonInj", "Injection", sheet,
                              {"LabelMon_Jet_1A", "LabelMon_Jet_2A", "LabelMon_Jet_A", "LabelMaxInjProcent"});
  inj->layout()->addWidget(MakeGauge("CGaugeDuty", inj));
  first->addWidget(inj);
  first->addWidget(LabelGroup("GroupBoxMonKor", "Corrections", sheet,
                              {"LabelKorVodaJet", "LabelKorVzduch", "LabelKorTlak", "LabelKorSytic", "LabelKorNapeti",
                               "LabelKorVodaIgn", "LabelKorAccJet"}));
  first->addStretch();

  auto* second = new QVBoxLayout;
  columns->addLayout(second);
  QGroupBox* engine = LabelGroup("GroupBoxMonEngine", "Engine", sheet,
                                 {"LabelTlak", "LabelVzduch", "LabelNapeti", "LabelMonFuelMv"});
  auto* engineColumn = static_cast<QVBoxLayout*>(engine->layout());
  engineColumn->addWidget(MakeGauge("CGaugeFuel", engine));
  for (const char* name : {"LabelMonPinEngine14In", "LabelMonSpeed", "LabelGear", "LabelMon_PolohaA", "LabelSnimacCmps"})
    engineColumn->addWidget(MakeMonitorLabel(name, engine));
  second->addWidget(engine);
  QGroupBox* bar = MakeGroup("GroupBoxLambdaBar", "Setting of Lambda bar graph", sheet);
  FormRows(PageMonitor, bar).Add({"UpDownLambdaBar0", "UpDownLambdaBar1", "UpDownLambdaBar2", "UpDownLambdaBar3"});
  second->addWidget(bar);
  second->addStretch();

  auto* third = new QVBoxLayout;
  columns->addLayout(third);
  third->addWidget(LabelGroup("GroupBoxMonInput", "Input to ground", sheet,
                              {"LabelMonTlStartIn", "LabelMonClutchIn", "LabelMonNeutral", "LabelMonSideStand",
                               "LabelMonStartLimiterIn", "LabelMonClutchMasterIn", "LabelMonRpmLambdaIn",
                               "LabelMonPinEngine23In", "LabelMonPinBody11In"}));
  third->addWidget(LabelGroup("GroupBoxMonUnit", "Ignition", sheet, {"LabelPocetProgramovani"}));
  third->addStretch();

  auto* fourth = new QVBoxLayout;
  columns->addLayout(fourth);
  fourth->addWidget(LabelGroup("GroupBoxMonOutput", "Outputs", sheet,
                               {"LabelMonTlStartOut", "LabelMonStartLimiterOut", "LabelMonIgnLimiter",
                                "LabelMonJetLimiter", "LabelMonRetardLimiter", "LabelMonRpmLambdaOut", "LabelN2oOn",
                                "LabelMonClutchOut", "LabelMonPilotLight", "LabelMonLambdaHeat", "LabelMonFan1",
                                "LabelMonFan2", "LabelMonBlokOut", "LabelOilOk"}));
  // Raw values the unit reports for its developers (shown in test mode only).
  QGroupBox* test = MakeGroup("GroupBoxMonTest", "Test", sheet);
  auto* testGrid = new QGridLayout(test);
  for (int i = 0; i < 8; ++i)
    testGrid->addWidget(MakeMonitorLabel(qPrintable(QString("LabelTest%1").arg(i + 1)), test), i % 4, i / 4);
  fourth->addWidget(test);
  fourth->addStretch();
  columns->addStretch();

  // A warning about the unit itself, across the page where it cannot be missed.
  auto* warnings = new QHBoxLayout;
  page->addLayout(warnings);
  for (const char* name : {"LabelEeDataErr"}) {
    QLabel* l = MakeMonitorLabel(name, sheet);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    warnings->addWidget(l);
  }
  warnings->addStretch();
  page->addStretch();

  // Any live label of the decoder this page has not placed (one added to the
  // decoder later) still gets a place.
  QGroupBox* more = nullptr;
  for (int i = 0; i < kMonLabelCount; ++i) {
    const QString name = MonLabelName(static_cast<MonLabel>(i));
    if (OnOtherPage(name) || sheet->findChild<QLabel*>(name)) continue;
    if (!more) {
      more = new QGroupBox(sheet);
      more->setObjectName("GroupBoxMonMore");
      new QVBoxLayout(more);
      columns->insertWidget(columns->count() - 1, more, 0, Qt::AlignTop);
    }
    more->layout()->addWidget(MakeMonitorLabel(qPrintable(name), more));
  }
  for (int i = 0; i < kMonGaugeCount; ++i) {
    const char* name = MonGaugeName(static_cast<MonGauge>(i));
    if (!sheet->findChild<Gauge*>(name)) page->addWidget(MakeGauge(name, sheet));
  }
  PlaceRemainingFields(PageMonitor, sheet, outer);
}

}  // namespace velmor::ui::detail

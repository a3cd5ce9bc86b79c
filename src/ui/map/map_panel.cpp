#include "ui/map/map_panel.h"

#include <QVBoxLayout>
#include <algorithm>

#include "lang/control_texts.h"
#include "model/fields.h"
#include "ui/pages/page_common.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {
namespace {

constexpr int kCellWidth = 40;
constexpr int kAxisTop = 21;
constexpr int kStepTop = 378;  // MapStepButton; the bottom line hangs off it
constexpr int kAllTop = kStepTop + 7;

constexpr int ColumnLeft(int column) { return 62 * column + 44; }
constexpr int RowTop(int row) { return 30 * row + 53; }
constexpr int RowLabelLeft(int row) { return row <= 2 ? 16 : (row <= 8 ? 10 : 4); }

QLabel* PlacedLabel(const QString& name, const QString& text, QWidget* parent, int left, int top) {
  auto* l = MakeLabel(name, text, parent);
  l->adjustSize();
  l->move(left, top);
  return l;
}

QCheckBox* PanelCheckBox(const QString& name, const QString& text, QWidget* parent, int left, int width) {
  auto* c = MakeCheckBox(name, text, parent);
  c->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
  c->setGeometry(left, kAllTop, width, 20);
  return c;
}

// A field pair whose edit box and spinner are children of the panel itself,
// at fixed positions: the map view moves and resizes them one by one.
FieldPairWidgets Place(const FieldDef& f, QWidget* panel, int left, int top, int editWidth) {
  FieldPairWidgets w{};
  MakeFieldPair(f, panel, editWidth, &w);
  QWidget* box = w.Edit->parentWidget();
  w.Edit->setParent(panel);
  w.Spinner->setParent(panel);
  delete box;
  w.Edit->setGeometry(left, top, editWidth, 21);
  w.Spinner->setGeometry(left + editWidth, top, 16, 21);
  return w;
}

void Fill(QWidget* sheet, QWidget* panel) {
  QLayout* layout = sheet->layout();
  if (!layout) {
    layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
  }
  layout->addWidget(panel);
}

}  // namespace

MapPanelWidgets BuildMapPanel(QWidget* advanceSheet, int pageControlWidth) {
  MapPanelWidgets m;
  auto* panel = new QGroupBox(advanceSheet);
  panel->setObjectName("MapPanel");
  m.Panel = panel;

  m.RpmLabel = PlacedLabel("LabelMapRpm", "RPM", panel, 13, 16);
  m.TpsLabel = PlacedLabel("LabelMapTps", "TPS", panel, 7, 37);
  for (int j = 0; j < kMapRows; ++j) {
    m.TpsRowLabel[j] = PlacedLabel(QString("TpsRowLabel%1").arg(j), QString("%1%").arg(kTpsRows[j]), panel,
                                   RowLabelLeft(j), 30 * j + 56);
  }

  // The map editor's fields are the same controls on all three map pages;
  // the advance page's rows of the table name and range them.
  const int stepLeft = pageControlWidth - 96;
  int extraLeft[3] = {20 + 70 + 55 + 165, 0, 20 + 70};
  extraLeft[1] = extraLeft[0] + 55;
  for (const FieldDef& f : FieldsOfPage(PageAdvance)) {
    FieldPairWidgets w{};
    switch (f.Grid) {
      case FieldGrid::RpmAxis:
        if (f.Column < 0 || f.Column >= kMapColumns) break;
        w = Place(f, panel, ColumnLeft(f.Column), kAxisTop, kCellWidth);
        m.AxisEdit[f.Column] = w.Edit;
        m.AxisSpin[f.Column] = w.Spinner;
        break;
      case FieldGrid::MapCells:
        if (f.Cell < 0 || f.Cell >= kMapCells) break;
        w = Place(f, panel, ColumnLeft(f.Column), RowTop(f.Row), kCellWidth);
        m.CellEdit[f.Cell] = w.Edit;
        m.CellSpin[f.Cell] = w.Spinner;
        break;
      case FieldGrid::MapExtra:
        if (f.Column < 0 || f.Column >= 3) break;
        w = Place(f, panel, extraLeft[f.Column], kAllTop - 2, 30);
        m.ExtraEdit[f.Column] = w.Edit;
        m.ExtraSpin[f.Column] = w.Spinner;
        break;
      default:
        if (f.Kind == ControlKind::CheckBox && f.ControlName == "CheckBoxTps_Uni")
          m.Tps = PanelCheckBox("CheckBoxTps_Uni", "TPS", panel, 20, 50);
        break;
    }
  }

  // Each cell's injection time in ms, shown over the cell in place of the
  // percentage; small enough that "11.920 " fits the cell's width.
  for (int k = 0; k < kMapCells; ++k) {
    auto* l = MakeLabel(QString("CellTimeLabel%1").arg(k), "11.92", panel);
    QFont small = l->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    l->setFont(small);
    l->setGeometry(ColumnLeft(k % kMapColumns) + 5, RowTop(k / kMapColumns) + 5, kCellWidth,
                   std::min(l->fontMetrics().height(), 15));
    m.CellTimeLabel[k] = l;
  }

  for (int i = 0; i < kMapColumns; ++i) {
    auto* b = new StepButtons(panel);
    b->setObjectName(QString("ColumnStepButton%1").arg(i));
    b->setGeometry(62 * i + 59, 350, 17, 23);
    m.ColumnStep[i] = b;
  }
  m.MapStep = new StepButtons(panel);
  m.MapStep->setObjectName("MapStepButton");
  m.MapStep->setGeometry(stepLeft, kStepTop, 20, 25);

  const QString all = detail::EnglishCaption(kMapAllCheckBoxName, "All");
  m.All = PanelCheckBox(QString::fromUtf8(kMapAllCheckBoxName.data(), static_cast<int>(kMapAllCheckBoxName.size())),
                        all, panel, stepLeft + 40, 52);
  // As wide as its longest caption ("Alles"), and inside the panel's least
  // width: the window's smallest width never cuts it off.
  int allWidth = m.All->width();
  for (int l = 0; l < kLanguageCount; ++l) {
    for (const ControlText& t : ControlTexts(static_cast<LanguageCode>(l))) {
      if (t.component != kMapAllCheckBoxName || t.property != TextProperty::Caption) continue;
      m.All->setText(QString::fromStdString(t.text));
      allWidth = std::max(allWidth, m.All->sizeHint().width());
    }
  }
  m.All->setText(all);
  if (!m.Tps) m.Tps = PanelCheckBox("CheckBoxTps_Uni", "TPS", panel, 20, 50);
  m.Ms = PanelCheckBox("CheckBoxZobrMs_Uni", "Ms", panel, 740, 50);

  // Labels 0 and 1 name the advance page's extra fields (the map view sets
  // their texts and moves them); 2 to 4 stay empty.
  for (int j = 0; j < 5; ++j) {
    auto* l = MakeLabel(QString("MapHeaderLabel%1").arg(j), QString(), panel);
    l->setGeometry(50 * j + 50, kAllTop + 2, j == 0 ? 115 : 220, l->fontMetrics().height());
    m.HeaderLabel[j] = l;
  }
  auto* mode = MakeLabel("MapHeaderLabel5", "  1->2     ", panel);
  QFont big = mode->font();
  big.setPointSize(14);
  mode->setFont(big);
  SetBackground(mode, Colour::Yellow);
  mode->adjustSize();
  mode->move(10, kAllTop - 2);
  m.HeaderLabel[5] = mode;

  m.TopBevel = new QFrame(panel);
  m.TopBevel->setObjectName("MapTopBevel");
  m.TopBevel->setFrameShape(QFrame::HLine);
  m.TopBevel->setFrameShadow(QFrame::Sunken);
  const int bevelRight = ColumnLeft(kMapColumns - 1) + kCellWidth + 16;
  m.TopBevel->setGeometry(ColumnLeft(0), RowTop(0) - 6, bevelRight - ColumnLeft(0), 2);

  // Its right edge stays where the panel's extent ends, so that the wider
  // caption costs the window no width.
  const int allRight = std::max(bevelRight, m.All->x() + 40);
  m.All->setGeometry(allRight - allWidth, m.All->y(), allWidth, m.All->height());
  panel->setMinimumSize(allRight + 4, kStepTop + 25 + 6);
  Fill(advanceSheet, panel);
  return m;
}

void PutMapPanelOn(const MapPanelWidgets& map, QWidget* sheet) {
  if (!map.Panel || !sheet || map.Panel->parentWidget() == sheet) return;
  const bool visible = !map.Panel->isHidden();
  map.Panel->setParent(sheet);
  Fill(sheet, map.Panel);
  map.Panel->setVisible(visible);
}

}  // namespace velmor::ui

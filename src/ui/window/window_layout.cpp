#include "ui/window/window_layout.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "lang/control_texts.h"
#include "model/fields.h"
#include "ui/pages/pages.h"
#include "ui/widgets/up_down.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {
namespace {

// The sheets in tab order with their object names and English captions.
struct SheetDef {
  std::string_view Name;
  const char* Caption;
};
const SheetDef kSheets[PageCount] = {
    {"TabSheet_Bike", "Bike"},        {kAdvanceSheetName, "Advance"}, {kInj1ASheetName, "Inj-1A"},
    {kInj2ASheetName, "Inj-2A"},      {"TabSheet_Poloha", "Position"}, {"TabSheet_Korekce", "Corrections"},
    {"TabSheet_Cidla", "Sensors"},    {"TabSheet_Idle", "Idle"},     {"TabSheet_Gas", "N2O"},
    {"TabSheet_Gear", "Gear"},        {"TabSheet_Race", "Race"},     {"TabSheet_Ladeni", "Tuning"},
    {"TabSheet_Monitor", "Monitor"},
};

}  // namespace


std::string_view SheetName(int page) { return page >= 0 && page < PageCount ? kSheets[page].Name : ""; }

void BuildTopArea(QWidget* central, WindowControls& c) {
  // Two rows: the commands with the transfer status, then what is connected
  // (the link's warnings, the port and the unit's identity). Every text here
  // is cut to the room it has, so no text of any language or unit can widen
  // the window beyond the screen.
  auto* top = new QWidget(central);
  top->setObjectName("PanelTop");
  auto* rows = new QVBoxLayout(top);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(2);
  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  rows->addLayout(row);
  // The buttons form one group that the printout hides, leaving the row to
  // the header line.
  auto* toolBar = new QWidget(top);
  toolBar->setObjectName("GroupBoxToolBar");
  auto* toolRow = new QHBoxLayout(toolBar);
  toolRow->setContentsMargins(0, 0, 0, 0);
  toolRow->setSpacing(4);
  auto tool = [&](const char* name, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(toolBar);
    b->setObjectName(name);
    b->setIcon(central->window()->style()->standardIcon(icon));
    b->setAutoRaise(true);
    b->setIconSize(QSize(20, 20));
    toolRow->addWidget(b);
    return b;
  };
  tool("SpeedButtonOpen", QStyle::SP_DialogOpenButton);
  tool("SpeedButton6", QStyle::SP_FileIcon);
  tool("SpeedButtonSave", QStyle::SP_DialogSaveButton);
  tool("SpeedButtonPrint", QStyle::SP_FileDialogDetailedView);
  tool("SpeedButtonZpet", QStyle::SP_ArrowBack);
  tool("SpeedButtonZnovu", QStyle::SP_ArrowForward);
  toolRow->addSpacing(12);
  for (auto [name, caption] : {std::pair{"ButtonRead", "&Read"}, std::pair{"ButtonVerify", "&Verify"},
                               std::pair{"ButtonProgram", "&Program"}}) {
    auto* b = new QPushButton(caption, toolBar);
    b->setObjectName(name);
    toolRow->addWidget(b);
  }
  row->addWidget(toolBar);
  row->addWidget(MakeCheckBox("CheckBoxProgHned", "Programming after change", top));
  row->addSpacing(12);

  auto* status = new QWidget(top);
  auto* statusLayout = new QVBoxLayout(status);
  statusLayout->setContentsMargins(0, 0, 0, 0);
  statusLayout->setSpacing(1);
  c.StatusLabel = new ElidedLabel("LabelHlaseni", status, 80);
  c.TransferGauge = new Gauge("CGaugeProgram", status);
  c.TransferGauge->setFixedHeight(8);
  c.TransferGauge->setMinimumWidth(80);
  statusLayout->addWidget(c.StatusLabel);
  statusLayout->addWidget(c.TransferGauge);
  row->addWidget(status, 1);

  auto* link = new QHBoxLayout;
  link->setSpacing(8);
  rows->addLayout(link);
  c.ConnectionLabel = new ElidedLabel("LabelSpojeni", top, 60);
  c.ConnectionLabel->setText("No connection with PC");
  c.ConnectionLabel->setStyleSheet("color: red; font-weight: bold;");
  // Painted red with white text while the unit's program does not match.
  c.VersionLabel = new ElidedLabel("LabelVersion", top, 60);
  c.PortLabel = new ElidedLabel("LabelCom", top, 60);
  c.PortLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  link->addWidget(c.ConnectionLabel, 1);
  link->addWidget(c.VersionLabel, 1);
  link->addWidget(c.PortLabel);
  c.DiagnoseButton = new QPushButton(top);
  c.DiagnoseButton->setObjectName("ButtonDiagnose");
  c.DiagnoseButton->hide();
  link->addWidget(c.DiagnoseButton);

  auto* ver = new QGroupBox(top);
  ver->setObjectName("GroupBoxVerze");
  auto* verLayout = new QHBoxLayout(ver);
  verLayout->setContentsMargins(6, 0, 6, 0);
  const int verWidths[] = {160, 80, 70};
  for (int i = 0; i < 3; ++i) {
    c.IdentityLabels[i] = new ElidedLabel(QString("LabelVerze%1").arg(i + 1), ver, verWidths[i] / 2);
    c.IdentityLabels[i]->setMaximumWidth(verWidths[i]);
    verLayout->addWidget(c.IdentityLabels[i]);
  }
  link->addWidget(ver);
  static_cast<QVBoxLayout*>(central->layout())->addWidget(top);
}

void BuildPages(QWidget* central, WindowControls& c) {
  c.Pages = new QTabWidget(central);
  c.Pages->setObjectName("PageControl1");
  for (int p = 0; p < PageCount; ++p) {
    auto* sheet = new QWidget;
    sheet->setObjectName(Utf8(kSheets[p].Name));
    c.Sheets[p] = sheet;
    c.Pages->addTab(sheet, kSheets[p].Caption);
  }
  c.Map = BuildMapPanel(c.Sheets[PageAdvance]);
  // A page wider or taller than the screen (long texts of a language) scrolls
  // inside its sheet instead of widening the window.
  for (int p = 0; p < PageCount; ++p) {
    if (IsMapPage(p)) continue;
    auto* fill = new QVBoxLayout(c.Sheets[p]);
    fill->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(c.Sheets[p]);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget;
    BuildPage(p, content);
    // A control keeps its place when the view shows or hides another one
    // beside it, so a click lands where the tuner aimed.
    for (QWidget* w : content->findChildren<QWidget*>()) {
      QSizePolicy policy = w->sizePolicy();
      policy.setRetainSizeWhenHidden(true);
      w->setSizePolicy(policy);
    }
    scroll->setWidget(content);
    fill->addWidget(scroll);
  }
  auto* layout = static_cast<QVBoxLayout*>(central->layout());
  // Engine speed, throttle, lambda and coolant stay in sight above every
  // page, so the tuner sees the engine while editing a map.
  if (auto* gauges = c.Pages->findChild<QWidget*>(kLiveGaugesName)) {
    gauges->setParent(nullptr);  // leaves the monitor page's layout
    layout->addWidget(gauges);
  }
  layout->addWidget(c.Pages, 1);
  // The grids' 40-pixel boxes hold five digits only in a slightly smaller font.
  for (QLineEdit* e : c.Pages->findChildren<QLineEdit*>()) {
    if (e->width() <= 42) {
      QFont f = e->font();
      f.setPointSizeF(f.pointSizeF() * 0.85);
      e->setFont(f);
    }
  }
}

void LookUpControls(QWidget* window, WindowControls& c) {
  const auto fields = EditorFields();
  c.Fields.assign(fields.size(), FieldControls{});
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    FieldControls& fc = c.Fields[i];
    QWidget* scope = IsMapPage(f.Page) ? static_cast<QWidget*>(c.Map.Panel) : c.Sheets[f.Page];
    if (!scope) continue;
    if (!f.EditName.empty()) fc.Edit = scope->findChild<QLineEdit*>(QString::fromStdString(f.EditName));
    if (f.Kind == ControlKind::FieldPair) {
      fc.Spinner = scope->findChild<UpDown*>(QString::fromStdString(f.ControlName));
    } else if (f.Kind != ControlKind::MenuGroup) {
      fc.Control = scope->findChild<QWidget*>(QString::fromStdString(f.ControlName));
    }
  }
  for (int i = 0; i < kMonLabelCount; ++i) {
    c.MonitorLabels[i] = window->findChild<QLabel*>(MonLabelName(static_cast<MonLabel>(i)));
  }
  for (int i = 0; i < kMonGaugeCount; ++i) {
    c.MonitorGauges[i] = window->findChild<Gauge*>(MonGaugeName(static_cast<MonGauge>(i)));
  }
  for (int i = 0; i < kMonEditCount; ++i) {
    c.MonitorEdits[i] = window->findChild<QLineEdit*>(MonEditName(static_cast<MonEdit>(i)));
  }
  for (int id = 0; id < HighlightCount; ++id) {
    c.HighlightWidgets[id] = window->findChild<QWidget*>(Utf8(HighlightName(id)));
  }
  c.ProgramAfterChange = window->findChild<QCheckBox*>("CheckBoxProgHned");
  c.TuningEnabled = window->findChild<QCheckBox*>("CheckBoxLadeniPovoleno");
  c.ExtendedMonitor = window->findChild<QCheckBox*>("CheckBoxExtMonitor");
  c.GasEnabled = window->findChild<QCheckBox*>("CheckBoxGas");
  c.AllPositions = window->findChild<QCheckBox*>("CheckBoxAll_PolohaA");
  c.BikeModel = window->findChild<QComboBox*>("ComboBoxBike");
  c.Note = window->findChild<QPlainTextEdit*>("Memo1");
  c.UndoAction = window->findChild<QAction*>("MenuZpet");
  c.RedoAction = window->findChild<QAction*>("MenuZnovu");
  c.PressureVoltageEdits = {window->findChild<QLineEdit*>("EditApsNapeti1"),
                            window->findChild<QLineEdit*>("EditApsNapeti2")};
}

}  // namespace velmor::ui

#include "form_hlav.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "form_about.h"
#include "history_keeper.h"
#include "log_menu.h"
#include "log_viewer.h"
#include "log_recorder.h"
#include "map_panel.h"
#include "map_selection.h"
#include "map_surface.h"
#include "lang/control_texts.h"
#include "lang/language.h"
#include "editor/names.h"
#include "files/memo.h"
#include "model/defaults.h"
#include "up_down.h"
#include "widgets.h"

namespace velmor::ui {
namespace {

// A label placed by position (not by a layout) grows with its new text.
void SetLabelText(QLabel* l, const QString& text) {
  l->setText(text);
  QLayout* layout = l->parentWidget() ? l->parentWidget()->layout() : nullptr;
  if (!layout || layout->indexOf(l) < 0) l->adjustSize();
}

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

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

bool IsMapPage(int page) { return page >= PageAdvance && page <= PageInj2; }

// Declared edit boxes that commit when the focus leaves them, and those that
// commit on a click; the remaining declared ones commit on Enter only.
const char* const kCommitOnLeave[] = {
    "EditFan1",        "EditFan2",         "EditRpmKorekce",   "EditRpmPulsu",      "EditRetardLimiterRpm",
    "EditRetardLimiterAdv", "EditStartLimiter", "EditIgnLimiter", "EditJetLimiter",  "EditPocetGear",
    "EditGearAutoTime", "EditGearAutoRpm",  "EditGearAutoTps",  "EditGearAutoBand",  "EditPulsuProSpeed",
    "EditClutchMinRpm", "EditClutchJet",    "EditClutchAdv",
};
const char* const kCommitOnClick[] = {
    "EditBuzeni",       "EditApsTlak1",     "EditApsNapeti1",   "EditApsTlak2",     "EditTps0",
    "EditTps100",       "EditIdleRpmMez",   "EditIdleTpsMez",   "EditIdleHyster",   "EditIdleStepPerioda",
    "EditIdleAdvNaRpm", "EditIdleMaxAdv",   "EditIdleAdvNaCas", "EditIdleStepPuls", "EditIdleStart",
    "EditGas1",         "EditGas2",         "EditGasD",         "EditGasT",         "EditGasJetKor1",
    "EditGasJetKor2",   "EditRetard1",      "EditRetard2",      "EditRetardD",      "EditRetardT",
    "EditLadeniHyster", "EditLadeniRpm",    "EditLadeniTps",    "EditLadeniCas",    "EditLadeniLambda",
    "EditLadeniKanal",  "EditLadeniKrok",   "EditLadeniMaxAcc", "EditTestRpm",      "EditTestServo",
    "EditLambdaBar0",   "EditLambdaBar1",   "EditLambdaBar2",   "EditLambdaBar3",
};

}  // namespace

TFormHlav::TFormHlav(SerialPort& port, FormOptions options, QWidget* parent)
    : QMainWindow(parent), port_(port), options_(std::move(options)) {
  setObjectName("FormHlav");
  AskYesNoCancel = [this](const QString& text) {
    return QMessageBox::question(this, windowTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  };
  ShowMessageBox = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
  ChooseFile = [this](bool save, const QString& start) {
    return save ? QFileDialog::getSaveFileName(this, QString(), start, "Ignition Parametrs(*.ign)")
                : QFileDialog::getOpenFileName(this, QString(), start,
                                               "Ignition Parametrs(*.ign);;All Files (*.*)");
  };
  statePaths_ = StatePathsIn(options_.ConfigDir);
  defaultDataFile_ = QDir(Q(options_.ProgramDir)).filePath("data.ign").toStdString();

  playback_ = std::make_unique<LogPlaybackPort>(port_);
  link_ = std::make_unique<LinkEngine>(image_, *playback_, static_cast<LinkHost&>(*this));

  auto* central = new QWidget(this);
  central->setObjectName("PanelMain");
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->setSpacing(4);
  setCentralWidget(central);
  BuildMenus();
  BuildTopArea(central);
  BuildPages();
  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar1");
  setStatusBar(status);
  logRecorder_ = new LogRecorder(*this, *link_, [this] { return language_; });
  AddLogCommands(*this, *logRecorder_);
  CacheFieldControls();
  WireEvents();
  BuildMapSelection();
  about_ = new TFormAbout([this] { return language_; }, this);

  FormCreate();

  timer1_.setTimerType(Qt::PreciseTimer);
  timer1_.setInterval(55);
  connect(&timer1_, &QTimer::timeout, this, &TFormHlav::Timer1Timer);
  if (options_.StartTimer) timer1_.start();
}

TFormHlav::~TFormHlav() {
  // A log viewer that is still open stops its playback when it goes, which
  // needs the window whole: close it before the window's parts are gone.
  for (LogViewer* viewer : findChildren<LogViewer*>()) delete viewer;
}

void TFormHlav::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  auto menu = [&](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
  };
  auto item = [this](QMenu* m, const char* name, const char* caption, QKeySequence key, auto handler) {
    QAction* a = m->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };

  QMenu* file = menu("MenuFile", "&File");
  item(file, "MenuNew", "&New", QKeySequence("Ctrl+N"), [this] { MenuNewClick(); });
  item(file, "MenuNewActPage", "New for actual page", QKeySequence("Ctrl+Alt+N"), [this] { MenuNewActPageClick(); });
  item(file, "MenuOpen", "&Open", QKeySequence("F3"), [this] { MenuOpenClick(false); });
  item(file, "MenuOpenExeDir", "Open from exe dir", QKeySequence("Ctrl+F3"), [this] { MenuOpenClick(true); });
  item(file, "MenuOpenActPage", "Open for actual page", QKeySequence("Shift+F3"), [this] { MenuOpenActPageClick(); });
  item(file, "MenuSave", "&Save", QKeySequence("F2"), [this] { MenuSaveClick(false); });
  item(file, "MenuSaveExeDir", "Save to exe dir", QKeySequence("Ctrl+F2"), [this] { MenuSaveClick(true); });
  item(file, "MenuPrint", "&Print", QKeySequence("Ctrl+P"), [this] { SpeedButtonPrintClick(); });
  file->addSeparator();
  item(file, "MenuExit", "E&xit", QKeySequence(), [this] { close(); });

  QMenu* com = menu("MenuCom", "&Com");
  for (int i = 0; i < 21; ++i) {
    const QString caption = i < 20 ? QString("Com %1").arg(i + 1) : QString("Com Auto");
    QAction* a = com->addAction(caption);
    a->setObjectName(i < 20 ? QString("MenuCom%1").arg(i + 1) : QString("MenuComAuto"));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, i] { link_->MenuCom1Click(i); ApplyLinkStatus(); });
    comActions_.push_back(a);
  }

  QMenu* device = menu("MenuDevice", "&Ignition");
  item(device, "MenuRead", "&Read", QKeySequence("F7"), [this] { link_->MenuReadClick(); ApplyLinkStatus(); });
  item(device, "MenuVerify", "&Verify", QKeySequence("F8"), [this] { link_->MenuVerifyClick(); ApplyLinkStatus(); });
  item(device, "MenuProgram", "&Program", QKeySequence("F9"), [this] { history_->ProgramClick([this] { link_->MenuProgramClick(); ApplyLinkStatus(); }); });
  history_ = new HistoryKeeper(*this, file, device);

  QMenu* mode = menu("Menu_Jet123Mode", "Jet 12");
  const char* const modeNames[] = {"Menu_Jet123Normal", "Menu_Jet123Coupled", "Menu_Jet123Stejny"};
  const char* const modeCaptions[] = {"Separate", "Coupled", " 1 = 2"};
  for (int value = 0; value < 3; ++value) {
    QAction* a = item(mode, modeNames[value], modeCaptions[value], QKeySequence(), [this, value] { SetMapMode(value); });
    a->setCheckable(true);
  }

  QMenu* tools = menu("MenuTools", "Tools");
  item(tools, "MenuToolsMinus", "Minus ", QKeySequence("F4"), [this] { StepMapClick(StepDirection::Down); });
  item(tools, "MenuToolsPlus", "Plus", QKeySequence("F5"), [this] { StepMapClick(StepDirection::Up); });
  item(tools, "MenuZpet", "Undo", QKeySequence("Ctrl+Z"), [this] { UndoRedoCommand(false); });
  item(tools, "MenuZnovu", "Redo", QKeySequence("Ctrl+Alt+Z"), [this] { UndoRedoCommand(true); });
  item(tools, "MenuLadeniOn", "Tunning On-Off", QKeySequence("F6"), [this] {
    if (auto* c = Find<QCheckBox>("CheckBoxLadeniPovoleno")) c->setChecked(!c->isChecked());
    RefreshView();
  });
  AddMapSurfaceCommand(*this, tools);

  QMenu* lang = menu("MenuLanguage", "&Language");
  const char* langNames[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
  const char* langCaptions[] = {"&English", "&German", "&French", "&Czech"};
  for (int i = 0; i < 4; ++i) {
    QAction* a = item(lang, langNames[i], langCaptions[i], QKeySequence(),
                      [this, i] { SetLanguage(static_cast<LanguageCode>(i)); });
    a->setCheckable(true);
  }

  QMenu* help = menu("MenuHelp", "&Help");
  item(help, "MenuContens", "&Contents...", QKeySequence("F1"), [this] { MenuContensClick(); });
  item(help, "MenuAbout", "&About...", QKeySequence(), [this] { MenuAboutClick(); });
}

void TFormHlav::BuildTopArea(QWidget* central) {
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
    b->setIcon(style()->standardIcon(icon));
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
  labelHlaseni_ = new ElidedLabel("LabelHlaseni", status, 80);
  gaugeProgram_ = new Gauge("CGaugeProgram", status);
  gaugeProgram_->setFixedHeight(8);
  gaugeProgram_->setMinimumWidth(80);
  statusLayout->addWidget(labelHlaseni_);
  statusLayout->addWidget(gaugeProgram_);
  row->addWidget(status, 1);

  auto* link = new QHBoxLayout;
  link->setSpacing(8);
  rows->addLayout(link);
  labelSpojeni_ = new ElidedLabel("LabelSpojeni", top, 60);
  labelSpojeni_->setText("No connection with PC");
  labelSpojeni_->setStyleSheet("color: red; font-weight: bold;");
  // Painted red with white text while the unit's program does not match.
  labelVersion_ = new ElidedLabel("LabelVersion", top, 60);
  labelCom_ = new ElidedLabel("LabelCom", top, 60);
  labelCom_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  link->addWidget(labelSpojeni_, 1);
  link->addWidget(labelVersion_, 1);
  link->addWidget(labelCom_);

  auto* ver = new QGroupBox(top);
  ver->setObjectName("GroupBoxVerze");
  auto* verLayout = new QHBoxLayout(ver);
  verLayout->setContentsMargins(6, 0, 6, 0);
  const int verWidths[] = {160, 80, 70};
  for (int i = 0; i < 3; ++i) {
    labelVerze_[i] = new ElidedLabel(QString("LabelVerze%1").arg(i + 1), ver, verWidths[i] / 2);
    labelVerze_[i]->setMaximumWidth(verWidths[i]);
    verLayout->addWidget(labelVerze_[i]);
  }
  link->addWidget(ver);
  static_cast<QVBoxLayout*>(central->layout())->addWidget(top);
}

void TFormHlav::BuildPages() {
  pageControl_ = new QTabWidget(centralWidget());
  pageControl_->setObjectName("PageControl1");
  for (int p = 0; p < PageCount; ++p) {
    auto* sheet = new QWidget;
    sheet->setObjectName(Q(kSheets[p].Name));
    sheets_[p] = sheet;
    pageControl_->addTab(sheet, kSheets[p].Caption);
  }
  map_ = BuildMapPanel(sheets_[PageAdvance]);
  // A page wider or taller than the screen (long texts of a language) scrolls
  // inside its sheet instead of widening the window.
  for (int p = 0; p < PageCount; ++p) {
    if (IsMapPage(p)) continue;
    auto* fill = new QVBoxLayout(sheets_[p]);
    fill->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(sheets_[p]);
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
  auto* central = static_cast<QVBoxLayout*>(centralWidget()->layout());
  // Engine speed, throttle, lambda and coolant stay in sight above every
  // page, so the tuner sees the engine while editing a map.
  if (auto* gauges = findChild<QWidget*>(kLiveGaugesName)) {
    gauges->setParent(nullptr);  // leaves the monitor page's layout
    central->addWidget(gauges);
  }
  central->addWidget(pageControl_, 1);
  // The grids' 40-pixel boxes hold five digits only in a slightly smaller font.
  for (QLineEdit* e : pageControl_->findChildren<QLineEdit*>()) {
    if (e->width() <= 42) {
      QFont f = e->font();
      f.setPointSizeF(f.pointSizeF() * 0.85);
      e->setFont(f);
    }
  }
}

void TFormHlav::CacheFieldControls() {
  const auto fields = EditorFields();
  fieldControls_.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    FieldControls& c = fieldControls_[i];
    QWidget* scope = IsMapPage(f.Page) ? static_cast<QWidget*>(map_.Panel) : sheets_[f.Page];
    if (!scope) continue;
    if (!f.EditName.empty()) c.Edit = scope->findChild<QLineEdit*>(QString::fromStdString(f.EditName));
    if (f.Kind == ControlKind::FieldPair) {
      c.Spinner = scope->findChild<UpDown*>(QString::fromStdString(f.ControlName));
    } else if (f.Kind != ControlKind::MenuGroup) {
      c.Control = scope->findChild<QWidget*>(QString::fromStdString(f.ControlName));
    }
  }
  for (int i = 0; i < kMonLabelCount; ++i) monLabels_[i] = findChild<QLabel*>(MonLabelName(static_cast<MonLabel>(i)));
  for (int i = 0; i < kMonGaugeCount; ++i) monGauges_[i] = findChild<Gauge*>(MonGaugeName(static_cast<MonGauge>(i)));
  for (int i = 0; i < kMonEditCount; ++i) monEdits_[i] = findChild<QLineEdit*>(MonEditName(static_cast<MonEdit>(i)));
  for (int id = 0; id < HighlightCount; ++id) highlightWidgets_[id] = findChild<QWidget*>(Q(HighlightName(id)));
}

void TFormHlav::WireEvents() {
  // Every spinner commits the page on an arrow click.
  for (UpDown* s : findChildren<UpDown*>()) connect(s, &UpDown::Clicked, this, [this] { Commit(); });
  // Every edit box commits on Enter. The boxes built for the grids and the
  // map editor also commit on a click and when the focus leaves them; the
  // declared ones on one of the two, as listed.
  for (QLineEdit* e : pageControl_->findChildren<QLineEdit*>()) e->installEventFilter(this);
  const auto named = [this](const char* name) { return Find<QLineEdit>(name); };
  for (const char* name : kCommitOnLeave) {
    if (QLineEdit* e = named(name)) commitOnLeave_.insert(e);
  }
  for (const char* name : kCommitOnClick) {
    if (QLineEdit* e = named(name)) commitOnClick_.insert(e);
  }
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].Grid != FieldGrid::None && fieldControls_[i].Edit) {
      commitOnClick_.insert(fieldControls_[i].Edit);
      commitOnLeave_.insert(fieldControls_[i].Edit);
    }
  }
  // Enter commits from these two check boxes as well.
  for (const char* name : {"CheckBoxTempDisplay", "CheckBoxGas"}) {
    if (auto* c = Find<QCheckBox>(name)) c->installEventFilter(this);
  }
  if (auto* combo = Find<QComboBox>("ComboBoxBike")) {
    combo->installEventFilter(this);
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, &TFormHlav::ComboBoxBikeChange);
  }
  // Check boxes commit with the view when released over the box.
  for (QCheckBox* c : findChildren<QCheckBox*>()) {
    const QString name = c->objectName();
    if (name == "CheckBoxTps_Uni" || name == "CheckBoxZobrMs_Uni") {
      connect(c, &QCheckBox::clicked, this, [this] {
        map_.Panel->hide();
        TransferPage();
        RefreshView();
        map_.Panel->show();
        AfterChange();
      });
    } else {
      connect(c, &QCheckBox::clicked, this, [this] { CommitWithView(); });
    }
  }
  // Radio groups write their byte and follow up.
  auto radio = [this](const char* name, auto handler) {
    if (auto* r = Find<RadioGroup>(name)) connect(r, &RadioGroup::Clicked, this, handler);
  };
  auto byteFrom = [this](const char* name, int offset) {
    if (auto* r = Find<RadioGroup>(name); r && r->ItemIndex() >= 0) image_.P(offset) = static_cast<std::uint8_t>(r->ItemIndex());
  };
  if (auto* r = Find<RadioGroup>("RadioGroupPolohaA")) r->SetTabStop(false);
  radio("RadioGroupPolohaA", [=, this] { byteFrom("RadioGroupPolohaA", 56); PushUndo(); });
  radio("RadioGroupPinEngine23", [=, this] { byteFrom("RadioGroupPinEngine23", 38); PushUndo(); });
  radio("RadioGroupPinEngine14", [=, this] { byteFrom("RadioGroupPinEngine14", 39); PushUndo(); });
  radio("RadioGroupPinBody11", [=, this] { byteFrom("RadioGroupPinBody11", 40); PushUndo(); });
  // The shared handler stores only the groups of the page shown: a group on
  // another page still shows the image as it was when that page was last
  // shown, and storing it would undo a file opened or a unit read since.
  const auto shownByteFrom = [=, this](const char* name, int offset) {
    if (auto* r = Find<RadioGroup>(name); r && sheets_[pageIndex_]->isAncestorOf(r)) byteFrom(name, offset);
  };
  const auto gearSystem = [=, this] {
    shownByteFrom("RadioGroupGearSystem", 136);
    shownByteFrom("RadioGroupClutchMode", 120);
    shownByteFrom("RadioGroupSpeedMode", 138);
    shownByteFrom("RadioGroupIdleMode", 333);
    RefreshView();
    PushUndo();
  };
  radio("RadioGroupGearSystem", gearSystem);
  radio("RadioGroupSpeedMode", gearSystem);
  radio("RadioGroupClutchMode", gearSystem);
  // A group whose click refreshes the page takes the page's typed values
  // first, as leaving their boxes would, so the refresh does not drop them.
  radio("RadioGroupIdleMode", [=, this] {
    if (link_->AcceptsPageCommit()) TransferPage();
    byteFrom("RadioGroupIdleMode", 333);
    RefreshPage();
  });
  radio("RadioGroupLadeniMode", [=, this] {
    byteFrom("RadioGroupLadeniMode", 290);
    RefreshView();
    PushUndo();
  });
  radio("RadioGroupCidloLambdaMode", [=, this] {
    if (link_->AcceptsPageCommit()) TransferPage();
    byteFrom("RadioGroupCidloLambdaMode", 302);
    ApplyLambdaTableDefault(image_);
    RefreshPage();
    PushUndo();
  });

  auto button = [this](const char* name, auto handler) {
    if (auto* b = Find<QAbstractButton>(name)) connect(b, &QAbstractButton::clicked, this, handler);
  };
  button("ButtonRead", [this] { link_->MenuReadClick(); ApplyLinkStatus(); });
  button("ButtonVerify", [this] { link_->MenuVerifyClick(); ApplyLinkStatus(); });
  button("ButtonProgram", [this] { history_->ProgramClick([this] { link_->MenuProgramClick(); ApplyLinkStatus(); }); });
  button("SpeedButton6", [this] { MenuNewClick(); });
  button("SpeedButtonZpet", [this] { UndoRedoCommand(false); });
  button("SpeedButtonZnovu", [this] { UndoRedoCommand(true); });
  button("SpeedButtonPrint", [this] { SpeedButtonPrintClick(); });
  button("ButtonTps0", [this] {
    if (CaptureTps0(image_, link_->Live().TpsMillivolts)) AfterChange();
  });
  button("ButtonTps100", [this] {
    if (CaptureTps100(image_, link_->Live().TpsMillivolts)) AfterChange();
  });
  for (int gear = 1; gear <= kGearCount; ++gear) {
    if (auto* b = findChild<QAbstractButton*>(Q(EditorNames::ButtonGear(gear)))) {
      connect(b, &QAbstractButton::clicked, this, [this, gear] {
        CaptureGearRatio(image_, gear, link_->Live().RpmSpeedRatio);
        AfterChange();
      });
    }
  }
  for (int col = 0; col < kMapColumns; ++col) {
    connect(map_.ColumnStep[col], &StepButtons::Up, this, [this, col] { StepColumnClick(col, StepDirection::Up); });
    connect(map_.ColumnStep[col], &StepButtons::Down, this, [this, col] { StepColumnClick(col, StepDirection::Down); });
  }
  connect(map_.MapStep, &StepButtons::Up, this, [this] { StepMapClick(StepDirection::Up); });
  connect(map_.MapStep, &StepButtons::Down, this, [this] { StepMapClick(StepDirection::Down); });
  if (auto* idle = Find<StepButtons>("IdleStepButton")) {
    connect(idle, &StepButtons::Up, this, [this] { StepIdleClick(StepDirection::Up); });
    connect(idle, &StepButtons::Down, this, [this] { StepIdleClick(StepDirection::Down); });
  }
  if (auto* pos = Find<StepButtons>("CSpinButtonPolohaA")) {
    connect(pos, &StepButtons::Up, this, [this] { StepPositionClick(StepDirection::Up); });
    connect(pos, &StepButtons::Down, this, [this] { StepPositionClick(StepDirection::Down); });
  }
  // The tool buttons take the program directory's data file with Ctrl held.
  const auto ctrl = [] { return (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) != 0; };
  button("SpeedButtonOpen", [=, this] { MenuOpenClick(ctrl()); });
  button("SpeedButtonSave", [=, this] { MenuSaveClick(ctrl()); });
  for (QPushButton* b : findChildren<QPushButton*>()) {
    if (b->objectName().startsWith("ButtonTest")) {
      connect(b, &QPushButton::clicked, this, [this, b] { link_->ButtonTestClick(b->objectName().toStdString()); });
    }
  }
  connect(pageControl_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index < 0) return;
    map_.Panel->hide();
    pageIndex_ = index;
    RefreshPage();
    map_.Panel->show();
  });
  memo_ = Find<QPlainTextEdit>("Memo1");
  if (memo_) memo_->installEventFilter(this);
}

bool TFormHlav::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (const int undo = edit ? UndoKeyOf(key) : -1; undo >= 0) {
        UndoRedoCommand(undo == 1);
        return true;
      }
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && watched != memo_) {
        focusNextChild();
        Commit();
        return true;  // the control never sees the Enter
      }
      break;
    }
    case QEvent::ShortcutOverride:
      // An edit box would take Ctrl+Z for its own text undo, and the Undo
      // command's shortcut is off while nothing is recorded yet: the box
      // claims the keys, so they arrive below as a key press, always.
      if (edit && UndoKeyOf(static_cast<QKeyEvent*>(event)) >= 0) {
        event->accept();
        return true;
      }
      break;
    case QEvent::MouseButtonPress:
      if (edit && commitOnClick_.contains(edit)) Commit();
      break;
    case QEvent::FocusOut:
      if (edit && commitOnLeave_.contains(edit)) Commit();
      break;
    case QEvent::Leave:
      if (memo_ && watched == memo_) {
        const QByteArray text = memo_->toPlainText().toUtf8();
        WriteNoteText(image_, std::string_view(text.constData(), text.size()));
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormHlav::FormCreate() {
  image_.P(0) = 0;
  ApplyDefaults(image_, tables_, DefaultsScope::Whole);
  resize(1000, 700);
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->geometry();
    move((g.width() - width()) / 2, (g.height() - height()) / 2);
  }
  LoadSettings();
  pageControl_->blockSignals(true);
  pageControl_->setCurrentIndex(pageIndex_);
  pageControl_->blockSignals(false);
  map_.Panel->hide();
  RefreshPage();
  map_.Panel->show();
  gaugeProgram_->SetRange(0, kGaugeMax);
  ApplyModelFixedBytes(image_);
  BuildModelBaseTables(image_, tables_);
  language_ = LanguageFromCommandLine(std::span<const std::string>(options_.Arguments), language_);
  link_->State().TicksSinceReply = 18;
  Normalise();
  ApplyLanguage();
  RefreshPage();
  InitUndo(*undo_, image_, pageIndex_);
  UpdateUndoButtons();
  link_->Port().SilentOpen = false;
  link_->OpenPort();
  ApplyLanguage();
  RefreshPage();
  link_->HideStatus();
  ApplyLinkStatus();
  if (auto* l = Find<QLabel>("LabelEeDataErr")) l->hide();
  testMode_ = ReadTestMode(statePaths_);
  for (int i = 1; i <= 8; ++i) {
    if (auto* l = findChild<QLabel*>(QString("LabelTest%1").arg(i))) l->setVisible(testMode_);
  }
  if (auto* box = findChild<QWidget*>("GroupBoxMonTest")) box->setVisible(testMode_);
  RefreshView();
  OpenCommandLineFiles();
}

// ---------------------------------------------------------------------------
// Transfer and refresh: loops over the field table.

void TFormHlav::TransferField(const FieldDef& f, int index) {
  const FieldControls& c = fieldControls_[index];
  switch (f.Kind) {
    case ControlKind::FieldPair:
      if (c.Spinner) StoreShownValue(f, c.Spinner->ReadValue(), image_, tables_);
      break;
    case ControlKind::CheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(c.Control)) StoreShownValue(f, box->isChecked() ? 1 : 0, image_);
      break;
    case ControlKind::RadioGroup:
      if (auto* r = qobject_cast<RadioGroup*>(c.Control)) StoreShownValue(f, r->ItemIndex(), image_);
      break;
    case ControlKind::ComboBox:
      if (auto* combo = qobject_cast<QComboBox*>(c.Control)) StoreShownValue(f, combo->currentIndex(), image_);
      break;
    case ControlKind::Memo:
      if (auto* memo = qobject_cast<QPlainTextEdit*>(c.Control)) {
        const QByteArray text = memo->toPlainText().toUtf8();
        WriteNoteText(image_, std::string_view(text.constData(), text.size()));
      }
      break;
    case ControlKind::MenuGroup:
      break;
  }
}

void TFormHlav::RefreshField(const FieldDef& f, int index) {
  const FieldControls& c = fieldControls_[index];
  switch (f.Kind) {
    case ControlKind::FieldPair:
      if (c.Spinner) {
        if (f.Range != RangeRule::Fixed) {
          const FieldRange r = RangeOf(f, image_);
          c.Spinner->SetRange(r.Min, r.Max);
          c.Spinner->SetIncrement(r.Step);
        }
        c.Spinner->SetField(ShownValue(f, image_, tables_));
      }
      break;
    case ControlKind::CheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(c.Control)) box->setChecked(RawValue(f, image_) != 0);
      break;
    case ControlKind::RadioGroup:
      if (auto* r = qobject_cast<RadioGroup*>(c.Control)) r->SetItemIndex(RawValue(f, image_));
      break;
    case ControlKind::ComboBox:
      if (auto* combo = qobject_cast<QComboBox*>(c.Control)) {
        const int model = RawValue(f, image_);
        if (model < kBikeModelCount) {
          combo->setCurrentIndex(model);
        } else {
          combo->setCurrentIndex(kBikeModelCount);
          // Once per file opened or unit read, not on every refresh (each
          // tuning read refreshes the page).
          if (!bikeWarned_) ShowMessageBox(Q(texts_[MsgKey::MsgBikeNotSupported]));
          bikeWarned_ = true;
        }
      }
      break;
    case ControlKind::Memo:
      if (auto* memo = qobject_cast<QPlainTextEdit*>(c.Control)) memo->setPlainText(Q(NoteText(image_)));
      break;
    case ControlKind::MenuGroup:
      break;
  }
}

void TFormHlav::TransferPage() {
  if (refreshing_) return;
  if (IsMapPage(pageIndex_)) {
    TransferMapPage(pageIndex_);
    return;
  }
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    if (f.Page == pageIndex_ && f.Flow == FieldFlow::TransferAndRefresh) TransferField(f, static_cast<int>(i));
  }
}

void TFormHlav::TransferMapPage(int page) {
  const int axis = MapAxisOffset(page);
  const std::uint8_t mode = image_.P(47);
  std::array<std::uint8_t, kMapColumns> newAxis{};
  for (int i = 0; i < kMapColumns; ++i) newAxis[i] = static_cast<std::uint8_t>(map_.AxisSpin[i]->ReadValue() / 100);
  Map150 cells{};
  for (int k = 0; k < kMapCells; ++k) cells[k] = static_cast<std::uint16_t>(map_.CellSpin[k]->ReadValue());

  if (page == PageInj1 && mode == MapModeCoupled) {
    ApplyCoupledEdit(image_, tables_, newAxis, cells);
  } else {
    for (int i = 0; i < kMapColumns; ++i) image_.P(axis + i) = newAxis[i];
    RebuildBaseTimes(image_, tables_);
    if (page == PageAdvance) {
      for (int k = 0; k < kMapCells; ++k) image_.P(kAdvanceMap + k) = static_cast<std::uint8_t>(cells[k]);
    } else if (page == PageInj1) {
      tables_.PercentMap1 = cells;
      ScaleToTime(tables_.PercentMap1, tables_.BaseTime1, kInj1FirstWord, image_);
      if (mode == MapModeEqual) CopyMap1ToMap2(image_, tables_);
    } else {
      tables_.PercentMap2 = cells;
      ScaleToTime(tables_.PercentMap2, tables_.BaseTime2, kInj2FirstWord, image_);
    }
  }
  if (page == PageAdvance) {
    const auto fields = EditorFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const FieldDef& f = fields[i];
      if (f.Page == PageAdvance && (f.Grid == FieldGrid::MapExtra || f.Kind == ControlKind::CheckBox)) {
        TransferField(f, static_cast<int>(i));
      }
    }
  }
  allCellsFlags_[page] = map_.All->isChecked() ? 1 : 0;
}

void TFormHlav::RefreshPage() {
  refreshing_ = true;
  const IdentityTexts& id = link_->Identity();
  labelVerze_[0]->setText(Q(id.Name));
  labelVerze_[1]->setText(Q(id.Date));
  labelVerze_[2]->setText(Q(id.Time));
  // No empty box where the unit's identity will be once it is received.
  labelVerze_[0]->parentWidget()->setVisible(!(id.Name.empty() && id.Date.empty() && id.Time.empty()));
  if (image_.P(47) == MapModeEqual) CopyMap1ToMap2(image_, tables_);
  pageIndex_ = pageControl_->currentIndex();
  if (IsMapPage(pageIndex_)) {
    RefreshMapPage(pageIndex_);
  } else {
    const auto fields = EditorFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const FieldDef& f = fields[i];
      if (f.Page == pageIndex_ && f.Flow != FieldFlow::OwnHandler) RefreshField(f, static_cast<int>(i));
    }
    if (pageIndex_ == PageBike) {
      if (auto* k = Find<QLineEdit>("EditRpmKorekce")) {
        if (auto* s = Find<UpDown>("UpDownRpmKorekce")) k->setText(QString::number(s->Position()));
      }
      if (auto* prog = Find<QCheckBox>("CheckBoxProgHned")) {
        prog->setStyleSheet(prog->isChecked() ? "background-color: red;" : "");
      }
    }
  }
  RefreshView();
  refreshing_ = false;
  emit ImageShown();
}

void TFormHlav::RefreshMapPage(int page) {
  if (map_.Panel->parentWidget() != sheets_[page]) PutMapPanelOn(map_, sheets_[page]);
  RebuildBaseTimes(image_, tables_);
  if (page != PageAdvance) {
    const bool first = page == PageInj1;
    TimeToPercent(image_, first ? kInj1FirstWord : kInj2FirstWord, first ? tables_.BaseTime1 : tables_.BaseTime2,
                  first ? tables_.PercentMap1 : tables_.PercentMap2);
  }
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    if (f.Page != page) continue;
    const FieldControls& c = fieldControls_[i];
    if (f.Grid == FieldGrid::MapCells && c.Spinner) {
      // Cells are always rewritten, with the range of the page shown.
      c.Spinner->SetRange(f.Min, f.Max);
      c.Spinner->SetIncrement(f.Step);
      c.Spinner->SetValueAndText(ShownValue(f, image_, tables_));
    } else if (f.Flow != FieldFlow::OwnHandler) {
      if (c.Spinner) {
        c.Spinner->SetRange(f.Min, f.Max);
        c.Spinner->SetIncrement(f.Step);
      }
      RefreshField(f, static_cast<int>(i));
    }
  }
  map_.All->setChecked(allCellsFlags_[page] != 0);
  if (mapSelection_) mapSelection_->MapRefreshed();
}

void TFormHlav::Normalise() {
  // The pass also limits the persisted selections (the port ones the link owns).
  PersistedSelection selection = CurrentSelection();
  const NormaliseResult r = velmor::Normalise(image_, selection);
  AdoptSelection(selection);
  for (const char* name : {"EditApsNapeti1", "EditApsNapeti2"}) {
    if (auto* e = Find<QLineEdit>(name)) SetBackground(e, r.PressureVoltagesEqual ? Colour::Red : Colour::Window);
  }
}

void TFormHlav::AfterChange() {
  Normalise();
  RefreshPage();
  PushUndo();
}

void TFormHlav::PushUndo() {
  const ProgrammingSwitches switches{Find<QCheckBox>("CheckBoxProgHned")->isChecked(), TuningOn()};
  const PushResult r = velmor::PushUndo(*undo_, image_, pageIndex_, link_->State().BlockFlags, switches);
  if (r.Changed) UpdateUndoButtons();
  if (r.StartProgramming) {
    link_->StartProgramming();
    ApplyLinkStatus();
  }
}

void TFormHlav::UndoRedo(bool redo) {
  const ProgrammingSwitches switches{Find<QCheckBox>("CheckBoxProgHned")->isChecked(), TuningOn()};
  const RestoreResult r = redo ? Redo(*undo_, image_, pageIndex_, link_->State().BlockFlags, switches)
                               : velmor::Undo(*undo_, image_, pageIndex_, link_->State().BlockFlags, switches);
  if (!r.Moved) return;
  // Hiding the page takes the focus from its edit box, which commits on
  // leaving; its text still shows the value just taken back.
  restoring_ = true;
  if (r.Page >= 0 && r.Page != pageIndex_) {
    ActivatePage(r.Page);  // the tab switch refreshes the page
  }
  RefreshPage();
  restoring_ = false;
  UpdateUndoButtons();
  if (r.StartProgramming) {
    link_->StartProgramming();
    ApplyLinkStatus();
  }
}

int TFormHlav::UndoKeyOf(const QKeyEvent* key) const {
  const QKeySequence keys(key->keyCombination());
  if (keys == Find<QAction>("MenuZpet")->shortcut()) return 0;
  if (keys == Find<QAction>("MenuZnovu")->shortcut()) return 1;
  return -1;
}

void TFormHlav::UndoRedoCommand(bool redo) {
  // A value typed but not yet committed is committed first, as leaving its
  // box would, so that the undo takes back what the tuner sees.
  auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (typing && typing->isModified() && pageControl_->isAncestorOf(typing)) {
    typing->setModified(false);
    Commit();
  }
  UndoRedo(redo);
}

void TFormHlav::TransactionEnded(LinkTransaction kind, LinkOutcome outcome) {
  history_->TransactionEnded(kind, outcome);
}

void TFormHlav::UnitBlockTaken(int block) { TakeUnitBlock(*undo_, image_, tables_, block); }

void TFormHlav::UpdateUndoButtons() {
  for (const ControlState& s : UndoButtonStates(*undo_)) ApplyControlState(s);
}

void TFormHlav::StepMapClick(StepDirection dir) {
  if (UnitTunesMap(image_, pageIndex_, TuningOn())) return;
  if (pageIndex_ == PagePosition) {
    StepPositionClick(dir);
    return;
  }
  if (mapSelection_ && mapSelection_->StepSelection(dir)) return;
  const auto* all = Find<QCheckBox>("CheckBoxAll_PolohaA");
  if (StepMap(image_, tables_, pageIndex_, allCellsFlags_[pageIndex_] != 0, dir, link_->Live(), point_,
              all && all->isChecked())) {
    AfterChange();
  }
}

void TFormHlav::StepPositionClick(StepDirection dir) {
  TransferPage();
  const auto* all = Find<QCheckBox>("CheckBoxAll_PolohaA");
  StepPosition(image_, all && all->isChecked(), point_.PositionIndex, dir);
  AfterChange();
}

void TFormHlav::StepColumnClick(int column, StepDirection dir) {
  if (UnitTunesMap(image_, pageIndex_, TuningOn())) return;
  if (StepColumn(image_, tables_, pageIndex_, column, dir)) AfterChange();
}

void TFormHlav::StepIdleClick(StepDirection dir) {
  if (StepIdle(image_, dir)) AfterChange();
}

void TFormHlav::Commit() {
  if (restoring_ || !link_->AcceptsPageCommit()) return;
  TransferPage();
  AfterChange();
}

void TFormHlav::CommitWithView() {
  if (restoring_ || !link_->AcceptsPageCommit()) return;
  TransferPage();
  RefreshView();
  AfterChange();
}

void TFormHlav::RefreshView() {
  ViewInputs in;
  in.Page = pageIndex_;
  in.MsMode = map_.Ms->isChecked();
  in.TuningOn = TuningOn();
  in.TestsLocked = link_->Live().TestsLocked;
  if (Gauge* g = monGauges_[static_cast<int>(MonGauge::CGaugeLambda)]) {
    in.LambdaGaugeLeft = g->x();
    in.LambdaGaugeWidth = g->width();
  }
  velmor::RefreshView(image_, in, *view_);
  for (const ControlState& state : view_->States()) ApplyControlState(state);
  if (showFirstMapInstead_) {
    showFirstMapInstead_ = false;
    pageControl_->blockSignals(true);
    pageControl_->setCurrentIndex(PageInj1);
    pageControl_->setTabVisible(PageInj2, false);
    pageControl_->blockSignals(false);
    map_.Panel->hide();
    RefreshPage();
    map_.Panel->show();
    return;
  }
  const bool tuned = UnitTunesMap(image_, pageIndex_, in.TuningOn);
  if (tuned && !tunedMapHinted_) statusBar()->showMessage(Q(texts_[MsgKey::TxtUnitTunesMap]));
  tunedMapHinted_ = tuned;
}

QObject* TFormHlav::ByName(std::string_view name) {
  auto it = byName_.find(name);
  if (it != byName_.end()) return it->second;
  const QString qname = Q(name);
  QObject* o = findChild<QWidget*>(qname);
  if (!o) o = findChild<QAction*>(qname);
  byName_.emplace(name, o);
  return o;
}

void TFormHlav::ApplyControlState(const ControlState& s) {
  QObject* o = ByName(s.Name);
  if (!o) return;
  const QString text = s.Has(SetTextKey) ? Q(texts_[s.TextKey]) : Q(s.Text());
  if (auto* a = qobject_cast<QAction*>(o)) {
    if (s.Has(SetVisible)) a->setVisible(s.Visible);
    if (s.Has(SetEnabled)) a->setEnabled(s.Enabled);
    if (s.Has(SetChecked)) a->setChecked(s.Checked);
    if (s.Has(SetText) || s.Has(SetTextKey)) a->setText(text);
    return;
  }
  auto* w = static_cast<QWidget*>(o);
  const int tab = pageControl_->indexOf(w);
  if (tab >= 0) {
    // A sheet is shown or hidden as its tab. The second injection map hidden
    // while shown gives way to the first, as the map-mode command does.
    if (s.Has(SetVisible) && !s.Visible && tab == PageInj2 && pageControl_->currentIndex() == PageInj2) {
      showFirstMapInstead_ = true;  // after this view is applied
      return;
    }
    if (s.Has(SetVisible)) pageControl_->setTabVisible(tab, s.Visible);
    if (s.Has(SetEnabled)) pageControl_->setTabEnabled(tab, s.Enabled);
    return;
  }
  if (s.Has(SetVisible) && w->isVisibleTo(w->parentWidget()) != s.Visible) w->setVisible(s.Visible);
  if (s.Has(SetEnabled)) w->setEnabled(s.Enabled);
  if (s.Has(SetChecked)) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(s.Checked);
  }
  if (s.Has(SetText) || s.Has(SetTextKey)) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
      SetLabelText(l, text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      b->setText(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
      e->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      g->setTitle(text);
    }
  }
  if (s.Has(SetColour)) SetBackground(w, s.Colour);
  if (s.Has(SetLeft) || s.Has(SetTop)) {
    w->move(s.Has(SetLeft) ? s.Left : w->x(), s.Has(SetTop) ? s.Top : w->y());
  }
  if (s.Has(SetWidth)) w->resize(s.Width, w->height());
  if (auto* spin = qobject_cast<UpDown*>(w)) {
    if (s.Has(SetMin) || s.Has(SetMax)) spin->SetRange(s.Has(SetMin) ? s.Min : spin->Min(), s.Has(SetMax) ? s.Max : spin->Max());
    if (s.Has(SetIncrement)) spin->SetIncrement(s.Increment);
  }
}

void TFormHlav::ShowOperatingPoint() {
  velmor::ShowOperatingPoint(image_, pageIndex_, map_.Ms->isChecked(), link_->Live(), point_, highlight_);
  ApplyHighlight(shownHighlight_, highlight_, [this](int id, bool lit) {
    QWidget* w = highlightWidgets_[id];
    if (!w) return;
    if (HighlightKindOf(id) == HighlightKind::BoldCaption) {
      QFont f = w->font();
      f.setBold(lit);
      w->setFont(f);
    } else if (lit || !mapSelection_ || !mapSelection_->RestoreCellColour(w)) {
      SetBackground(w, lit ? Colour::Lime : (HighlightKindOf(id) == HighlightKind::Edit ? Colour::Window : Colour::Normal));
    }
  });
  emit ImageShown();
}

// ---------------------------------------------------------------------------
// Language.

void TFormHlav::SetLanguage(LanguageCode language) {
  language_ = language;
  ApplyLanguage();
  RefreshPage();
}

void TFormHlav::ApplyLanguage() {
  const LanguageCode lang = LanguageFromByte(static_cast<unsigned>(language_));
  for (int i = 0; i < 4; ++i) {
    if (auto* a = Find<QAction>(kLanguageMenuItems[i].data())) a->setChecked(i == static_cast<int>(lang));
  }
  texts_ = ResolveTexts(lang);
  // The link renders the live display again in the new language: the last
  // frame's values, or the placeholders while no unit answers.
  link_->SetLanguage(lang);
  ApplyMonitorView();
  for (const ControlText& t : ControlTexts(lang)) {
    const QString name = Q(t.component);
    const QString text = Q(t.text);
    if (t.property == TextProperty::Hint) {
      const QString tip = Q(HintTooltipText(t.text));
      const QString status = Q(HintStatusText(t.text));
      if (auto* a = findChild<QAction*>(name)) {
        a->setToolTip(tip);
        a->setStatusTip(status);
      }
      if (auto* w = findChild<QWidget*>(name)) {
        w->setToolTip(tip);
        w->setStatusTip(status);
      }
      continue;
    }
    if (t.property == TextProperty::Items || t.property == TextProperty::Item) {
      if (auto* r = findChild<RadioGroup*>(name)) {
        if (t.property == TextProperty::Items) {
          QStringList items;
          for (std::string_view s : SplitItemList(t.text)) items << Q(s);
          r->SetItems(items);
        } else {
          r->SetItem(t.item, text);
        }
      }
      continue;
    }
    // Captions: sheets are tabs, menus are actions, the rest are widgets.
    if (QWidget* w = findChild<QWidget*>(name)) {
      const int tab = pageControl_->indexOf(w);
      if (tab >= 0) {
        pageControl_->setTabText(tab, text);
      } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
      } else if (auto* l = qobject_cast<QLabel*>(w)) {
        SetLabelText(l, text);
      } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(text);
      } else if (auto* m = qobject_cast<QMenu*>(w)) {
        m->setTitle(text);
      }
    } else if (auto* a = findChild<QAction*>(name)) {
      a->setText(text);
    }
  }
  UpdateCaption();
  history_->ApplyLanguage(lang);
}

void TFormHlav::UpdateCaption() { setWindowTitle(Q(MainWindowCaption(currentFileName_))); }

// ---------------------------------------------------------------------------
// The tick and the link's view.

void TFormHlav::Timer1Timer() { link_->Tick(); }

void TFormHlav::ApplyLinkStatus() {
  const LinkStatus& s = link_->Status();
  // An error's whole text (which blocks a failed Program wrote) may not fit
  // the label: the status bar holds it as well.
  if (s.Red && s.Visible && Q(s.Text) != labelHlaseni_->text()) statusBar()->showMessage(Q(s.Text));
  labelHlaseni_->setText(Q(s.Text));
  SetBackground(labelHlaseni_, s.Red ? Colour::Red : Colour::Normal);
  labelHlaseni_->setVisible(s.Visible);
  gaugeProgram_->SetProgress(s.GaugePosition);
  gaugeProgram_->setVisible(s.GaugeVisible);
  labelSpojeni_->setVisible(s.NoConnectionVisible);
  labelVersion_->setVisible(s.VersionVisible);
  labelCom_->setText(Q(s.LabelCom));
  for (int i = 0; i < static_cast<int>(comActions_.size()); ++i) comActions_[i]->setChecked(i == s.CheckedComItem);
}

void TFormHlav::MonitorDecoded() {
  if (logRecorder_) logRecorder_->MonitorDecoded();
  ApplyMonitorView();
  RefreshView();
}

void TFormHlav::ApplyMonitorView() {
  const MonitorView& v = link_->Monitor();
  for (int i = 0; i < kMonLabelCount; ++i) {
    QLabel* l = monLabels_[i];
    const LabelView& lv = v.Labels[i];
    if (!l) continue;
    if (lv.SetText) l->setText(Q(lv.Text.View()));
    if (lv.SetColour) SetBackground(l, lv.TextColour);
    if (lv.SetVisible) l->setVisible(lv.Visible);
  }
  for (int i = 0; i < kMonGaugeCount; ++i) {
    Gauge* g = monGauges_[i];
    const GaugeView& gv = v.Gauges[i];
    if (!g) continue;
    if (gv.SetPosition) g->SetProgress(gv.Position);
    if (gv.SetBarColour) g->SetBarColour(ToQColor(gv.BarColour));
  }
  for (int i = 0; i < kMonEditCount; ++i) {
    if (monEdits_[i] && v.Edits[i].SetColour) SetBackground(monEdits_[i], v.Edits[i].BackColour);
  }
}

void TFormHlav::ShowMessage(std::string_view text, std::string_view detail) {
  QString message = Q(text);
  if (!detail.empty()) message += "\n" + Q(detail);
  ShowMessageBox(message);
}

bool TFormHlav::TuningOn() const {
  auto* c = Find<QCheckBox>("CheckBoxLadeniPovoleno");
  return c && c->isChecked();
}
bool TFormHlav::ExtendedMonitor() const {
  auto* c = Find<QCheckBox>("CheckBoxExtMonitor");
  return c && c->isChecked();
}
bool TFormHlav::GasEnabled() const {
  auto* c = Find<QCheckBox>("CheckBoxGas");
  return c && c->isChecked();
}

void TFormHlav::ClearFileName() {
  bikeWarned_ = false;  // a Read or New: a new configuration to warn about
  currentFileName_.clear();
  UpdateCaption();
}

// ---------------------------------------------------------------------------
// Commands.

void TFormHlav::MenuNewClick() {
  auto* combo = Find<QComboBox>("ComboBoxBike");
  if (combo && combo->currentIndex() >= kBikeModelCount) return;
  if (AskYesNoCancel(Q(texts_[MsgKey::MsgAskDefaults])) != QMessageBox::Yes) return;
  ApplyDefaults(image_, tables_, DefaultsScope::Whole);
  link_->HideStatus();
  ClearFileName();
  AfterChange();
}

void TFormHlav::MenuNewActPageClick() {
  if ((pageIndex_ == PageInj1 || pageIndex_ == PageInj2) && image_.P(47) == MapModeCoupled) return;
  auto* combo = Find<QComboBox>("ComboBoxBike");
  if (combo && combo->currentIndex() >= kBikeModelCount) return;
  if (AskYesNoCancel(Q(texts_[MsgKey::MsgAskDefaultsPage])) != QMessageBox::Yes) return;
  ApplyDefaults(image_, tables_, DefaultsScope::Page, pageIndex_);
  link_->HideStatus();
  ClearFileName();
  AfterChange();
}

void TFormHlav::ComboBoxBikeChange(int index) {
  // The separator item is no model: nothing is asked and nothing changes.
  DefaultsAnswer answer = DefaultsAnswer::Cancel;
  if (index >= 0 && index < kBikeModelCount) {
    const QMessageBox::StandardButton b = AskYesNoCancel(Q(texts_[MsgKey::MsgAskDefaults]));
    answer = b == QMessageBox::Yes ? DefaultsAnswer::Yes : b == QMessageBox::No ? DefaultsAnswer::No
                                                                              : DefaultsAnswer::Cancel;
  }
  // The maps take the new model's base times before the change is
  // normalised, shown and recorded: recomputed afterwards they would escape
  // the undo history and programming after change, and in " 1 = 2" the
  // refresh would first turn map 2's percentages into the old times.
  if (!ChangeBikeModel(image_, tables_, index, answer)) {
    if (auto* combo = Find<QComboBox>("ComboBoxBike")) {
      combo->setCurrentIndex(image_.P(0) < kBikeModelCount ? image_.P(0) : kBikeModelCount);
    }
    return;
  }
  if (answer == DefaultsAnswer::Yes) {
    link_->HideStatus();
    ClearFileName();
  }
  AfterChange();
  ApplyLanguage();
}

void TFormHlav::SetMapMode(int mode) {
  image_.P(47) = static_cast<std::uint8_t>(mode);
  if (mode != MapModeNormal) {
    for (int i = 0; i < kMapColumns; ++i) image_.P(kInj2Axis + i) = image_.P(kInj1Axis + i);
  }
  if (mode != MapModeEqual) {
    Normalise();
  } else if (pageIndex_ == PageInj2) {
    pageIndex_ = PageInj1;
    pageControl_->blockSignals(true);
    pageControl_->setCurrentIndex(PageInj1);
    pageControl_->blockSignals(false);
  }
  map_.Panel->hide();
  RefreshPage();
  map_.Panel->show();
  PushUndo();
}

void TFormHlav::MenuContensClick() {
  // Beside the program, or in the data directory of an installed program.
  const QString name = Q(texts_[MsgKey::HelpFileName]);
  QString path = QDir(Q(options_.ProgramDir)).filePath(name);
  if (!QFileInfo::exists(path)) path = QDir(Q(options_.ProgramDir)).filePath("../share/velmor/" + name);
  if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    ShowMessageBox(Q(texts_[MsgKey::MsgHelpOpenError]));
  }
}

void TFormHlav::MenuAboutClick() { about_->exec(); }

// ---------------------------------------------------------------------------
// Printing: the window itself, prepared for paper.

void TFormHlav::SetPrinting(bool printing) {
  printing_ = printing;
  std::vector<QWidget*> hide;
  for (const char* name : {"StatusBar1", "GroupBoxToolBar", "LabelSpojeni", "LabelLambdaBlue", "LabelLambdaGreen",
                           "LabelLambdaRed", "CheckBoxExtMonitor", "CGaugeRpm", "CGaugeTps", "CGaugeLambda",
                           "CGaugeVoda", "CSpinButtonPolohaA", "CheckBoxAll_PolohaA", "UpDownStartJet",
                           "UpDownAkcelPrah", "UpDownAkcelJet", "UpDownTps0", "UpDownTps100", "ButtonTps0",
                           "ButtonTps100", "UpDownFan1", "UpDownFan2", "UpDownGas1", "UpDownGas2", "UpDownGasD",
                           "UpDownGasT", "UpDownRetard1", "UpDownRetard2", "UpDownRetardD", "UpDownRetardT",
                           "UpDownSyticCas1", "UpDownSyticCas2", "UpDownSyticCas3", "UpDownSyticCas4",
                           "UpDownSyticKorekce0", "UpDownSyticKorekce1", "UpDownSyticKorekce2",
                           "UpDownSyticKorekce3"}) {
    if (auto* w = findChild<QWidget*>(name)) hide.push_back(w);
  }
  // The map editor's gadgets and the spinners of the position and
  // correction grids.
  for (UpDown* u : map_.Panel->findChildren<UpDown*>()) hide.push_back(u);
  for (StepButtons* b : map_.Panel->findChildren<StepButtons*>()) hide.push_back(b);
  hide.insert(hide.end(), {map_.All, map_.Tps, map_.Ms});
  for (int p : {PagePosition, PageCorrections}) {
    for (UpDown* u : sheets_[p]->findChildren<UpDown*>()) {
      const QString n = u->objectName();
      if (n.startsWith("UpDownPolohaA") || n.startsWith("UpDownKorVoda") || n.startsWith("UpDownKorVzduch")) {
        hide.push_back(u);
      }
    }
  }
  for (QWidget* w : hide) w->setVisible(!printing);
  for (QLabel* l : map_.TpsRowLabel) SetBackground(l, Colour::White);
  for (int p = 0; p < PageCount; ++p) {
    if (p != pageIndex_) pageControl_->setTabVisible(p, !printing);
  }
  QPalette pal = palette();
  pal.setColor(QPalette::Window, printing ? QColor(Qt::white) : QApplication::palette().color(QPalette::Window));
  setPalette(pal);
}

void TFormHlav::SpeedButtonPrintClick() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  // The header line goes through the link's status so that the tick hides
  // it 200 ticks later like any status text.
  link_->ShowStatus((Q(texts_[MsgKey::TxtPrintDateTime]) + locale.toString(now.date(), QLocale::ShortFormat) +
                     "    " + locale.toString(now.time(), QLocale::LongFormat))
                        .toStdString(),
                    false);
  SetBackground(labelHlaseni_, Colour::White);
  labelSpojeni_->hide();
  gaugeProgram_->hide();
  SetPrinting(true);
  // Lay the window out without the hidden controls before it is drawn, so
  // the header line takes the room the tool bar leaves.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

  QPrinter printer(QPrinter::HighResolution);
  QString pdf;
  if (QPrinterInfo::defaultPrinter().isNull()) {
    // No printer on this system: the page goes to a PDF the user is told of.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty()) dir = QDir::homePath();
    QDir().mkpath(dir);
    pdf = QDir(dir).filePath(QString("Velmor-%1.pdf").arg(now.toString("yyyyMMdd-HHmmss")));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
  }
  printer.setPageOrientation(QPageLayout::Landscape);
  bool ok = false;
  {
    QPainter painter;
    if (painter.begin(&printer)) {
      QWidget* client = centralWidget();
      const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
      const double scale = std::min(double(page.width()) / client->width(), double(page.height()) / client->height());
      painter.scale(scale, scale);
      client->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
      ok = painter.end();
    }
  }
  SetPrinting(false);
  RefreshView();
  if (!pdf.isEmpty()) {
    // Said in words, and kept in the status bar after the label has moved on
    // to the link's next text.
    const QString where = (ok ? Q(texts_[MsgKey::TxtSavedAsPdf]) : Q(texts_[MsgKey::MsgFileOpenError]) + " ") + pdf;
    link_->ShowStatus(where.toStdString(), !ok);
    statusBar()->showMessage(where);
  }
  lastPrintFile_ = ok ? pdf.toStdString() : std::string();
}

void TFormHlav::ActivatePage(int page) { pageControl_->setCurrentIndex(page); }

void TFormHlav::closeEvent(QCloseEvent* event) {
  link_->ClosePort();
  history_->Closing();
  TransferPage();
  Normalise();
  SaveSettings();
  event->accept();
}

PersistedSelection TFormHlav::CurrentSelection() const {
  return {static_cast<std::uint8_t>(language_), link_->Port().PortSelection, link_->Port().ScanIndex};
}

void TFormHlav::AdoptSelection(const PersistedSelection& selection) {
  language_ = LanguageFromByte(selection.Language);
  link_->Port().PortSelection = selection.PortSelection;
  link_->Port().ScanIndex = selection.ScanIndex;
}

void TFormHlav::LoadSettings() {
  // Every key defaults to what the window holds now; the port selection
  // starts at 1 so that a missing key gives COM1.
  Settings settings;
  settings.Left = x();
  settings.Top = y();
  settings.Width = width();
  settings.Height = height();
  settings.Selection = CurrentSelection();
  settings.Selection.PortSelection = 1;
  settings.PageIndex = pageIndex_;
  const LoadSettingsStatus loaded = velmor::LoadSettings(statePaths_, settings, image_, allCellsFlags_);
  // The rectangle goes to the windowing system only after it is made to fit
  // the screen it lands on: a huge size cannot be drawn, and a position from
  // a bigger or a second screen would leave the window out of reach.
  const WindowRect wanted{settings.Left, settings.Top, settings.Width, settings.Height};
  auto toInt = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
  QScreen* screen = QGuiApplication::screenAt(QPoint(toInt(wanted.Left + wanted.Width / 2LL),
                                                     toInt(wanted.Top + wanted.Height / 2LL)));
  if (!screen) screen = QGuiApplication::screenAt(QPoint(wanted.Left, wanted.Top));
  if (!screen) screen = QGuiApplication::primaryScreen();
  // Without any screen, the size the window is created with stands in.
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1000, 700);
  const WindowRect fitted = FitWindowRect(wanted, {area.x(), area.y(), area.width(), area.height()});
  setGeometry(fitted.Left, fitted.Top, fitted.Width, fitted.Height);
  if (const std::string message = SetAsideMessage(statePaths_, loaded); !message.empty()) {
    // Once the window runs: tests answer boxes through the hook, which they
    // can set only after construction.
    QTimer::singleShot(0, this, [this, message] { ShowMessageBox(Q(message)); });
  }
  AdoptSelection(settings.Selection);
  currentFileName_ = settings.File;
  dialogFileName_ = settings.IniDir;
  pageIndex_ = std::clamp(settings.PageIndex, 0, PageCount - 1);
  if (auto* c = Find<QCheckBox>("CheckBoxZobrMs_Uni")) c->setChecked(settings.CheckBoxZobrMsUni);
  if (auto* c = Find<QCheckBox>("CheckBoxExtMonitor")) c->setChecked(settings.CheckBoxExtMonitor);
  if (auto* c = Find<QCheckBox>("CheckBoxAll_PolohaA")) c->setChecked(settings.CheckBoxAllPolohaA);
  history_->SetReviewBeforeProgram(settings.ReviewBeforeProgram);
}

void TFormHlav::SaveSettings() {
  Settings settings;
  const QRect g = geometry();
  settings.Left = g.x();
  settings.Top = g.y();
  settings.Width = g.width();
  settings.Height = g.height();
  settings.Selection = CurrentSelection();
  settings.File = currentFileName_;
  settings.IniDir = dialogFileName_;
  settings.PageIndex = pageIndex_;
  auto checked = [this](const char* name) {
    auto* c = Find<QCheckBox>(name);
    return c && c->isChecked();
  };
  settings.CheckBoxZobrMsUni = checked("CheckBoxZobrMs_Uni");
  settings.CheckBoxExtMonitor = checked("CheckBoxExtMonitor");
  settings.CheckBoxAllPolohaA = checked("CheckBoxAll_PolohaA");
  settings.ReviewBeforeProgram = history_->ReviewBeforeProgram();
  const SaveSettingsStatus status = velmor::SaveSettings(statePaths_, settings, image_, allCellsFlags_);
  // Otherwise the session's settings would be lost without a word.
  if (!status.Ok()) ShowMessageBox(Q(SaveFailureMessage(statePaths_, status)));
}

// ---------------------------------------------------------------------------
// Parameter files.

void TFormHlav::ShowMessageKeys(const std::vector<MsgKey>& keys) {
  for (MsgKey key : keys) ShowMessageBox(Q(texts_[key]));
}

void TFormHlav::MenuSaveClick(bool fromExeDir) {
  if (fromExeDir) dialogFileName_ = defaultDataFile_;
  QString path = ChooseFile(true, Q(dialogFileName_));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".ign";
  TransferPage();
  Normalise();
  RefreshPage();
  const IdentityTexts& id = link_->Identity();
  const IgnVersionTexts versions{id.Date, id.Time, id.Name, TFormAbout::BuildDateText().toStdString(),
                                 TFormAbout::BuildTimeText().toStdString()};
  const WriteStatus status = SaveParameterFile(path.toStdString(), image_, versions);
  if (!status.Ok) {
    ShowMessage(texts_[MsgKey::MsgFileOpenError], status.Reason);
    return;
  }
  currentFileName_ = dialogFileName_ = path.toStdString();
  UpdateCaption();
}

void TFormHlav::MenuOpenClick(bool fromExeDir) {
  if (fromExeDir) dialogFileName_ = defaultDataFile_;
  OpenFile(IgnScope::WholeFile);
}

void TFormHlav::MenuOpenActPageClick() {
  if (PageReadRefused(image_, pageIndex_)) return;
  OpenFile(IgnScope::Page);
}

void TFormHlav::OpenFile(IgnScope scope) {
  const QString path = ChooseFile(false, Q(dialogFileName_));
  if (!path.isEmpty()) OpenParameterFile(path, scope);
  link_->HideStatus();
}

void TFormHlav::OpenParameterFile(const QString& path, IgnScope scope) {
  const IgnReadResult r = ReadParameterFile(path.toStdString(), image_, tables_, scope, pageIndex_);
  if (r.Outcome == IgnReadOutcome::CannotOpen) {
    ShowMessageBox(Q(texts_[MsgKey::MsgFileOpenError]));
  } else {
    ShowMessageKeys(r.Messages);
  }
  if (r.Loaded()) {
    bikeWarned_ = false;
    // The percent view follows the maps just read, whatever page is shown.
    RefreshPercentMaps(image_, tables_);
    AfterChange();
    currentFileName_ = dialogFileName_ = path.toStdString();
    UpdateCaption();
  }
}

}  // namespace velmor::ui

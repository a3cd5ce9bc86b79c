#include "ui/window/form_hlav.h"
#include "lang/edit_texts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/window/commit_filter.h"
#include "editor/names.h"
#include "ui/window/field_binder.h"
#include "files/memo.h"
#include "ui/window/edit_commands.h"
#include "ui/window/file_commands.h"
#include "ui/window/help_commands.h"
#include "ui/history/history_keeper.h"
#include "ui/log/log_menu.h"
#include "ui/log/log_viewer.h"
#include "ui/log/log_recorder.h"
#include "ui/map/map_panel.h"
#include "ui/map/map_selection.h"
#include "lang/control_texts.h"
#include "lang/language.h"
#include "model/defaults.h"
#include "ui/print/page_printer.h"
#include "ui/port/port_doctor_dialog.h"
#include "ui/widgets/up_down.h"
#include "ui/window/view_applier.h"
#include "ui/window/window_settings.h"
#include "ui/window/window_menus.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

TFormHlav::TFormHlav(SerialPort& port, FormOptions options, QWidget* parent)
    : QMainWindow(parent), port_(port), options_(std::move(options)) {
  setObjectName("FormHlav");
  WindowDialogs& given = options_.Dialogs;
  AskYesNoCancel = given.AskYesNoCancel ? std::move(given.AskYesNoCancel) : [this](const QString& text) {
    return QMessageBox::question(this, windowTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  };
  ShowMessageBox = given.ShowMessageBox ? std::move(given.ShowMessageBox) : [this](const QString& text) {
    QMessageBox::information(this, windowTitle(), text);
  };
  ChooseFile = given.ChooseFile ? std::move(given.ChooseFile) : [this](bool save, const QString& start) {
    return save ? QFileDialog::getSaveFileName(this, QString(), start, "Ignition Parametrs(*.ign)")
                : QFileDialog::getOpenFileName(this, QString(), start,
                                               "Ignition Parametrs(*.ign);;All Files (*.*)");
  };
  OpenDocument = given.OpenDocument ? std::move(given.OpenDocument) : SystemDocumentOpener(this);
  statePaths_ = StatePathsIn(options_.ConfigDir);

  playback_ = std::make_unique<LogPlaybackPort>(port_);
  WindowLinkHost::Hooks answers;
  answers.TransferPage = [this] { TransferPage(); };
  answers.Normalise = [this] { Normalise(); };
  answers.RefreshPage = [this] { RefreshPage(); };
  answers.MonitorDecoded = [this] { MonitorDecoded(); };
  answers.ClearFileName = [this] { files_->ClearFileName(); };
  answers.StatusChanged = [this] { ApplyLinkStatus(); };
  answers.ShowOperatingPoint = [this] { ShowOperatingPoint(); };
  answers.UpdateCaption = [this] { UpdateCaption(); };
  answers.History = [this] { return history_; };
  answers.Printing = [this] { return printer_ && printer_->Printing(); };
  answers.Building = [this] { return creating_; };
  answers.Doctor = [this] { return portDoctor_; };
  answers.Message = [this](const QString& text) { ShowMessageBox(text); };
  linkHost_ = std::make_unique<WindowLinkHost>(controls_, document_, *undo_, std::move(answers), this);
  link_ = std::make_unique<LinkEngine>(document_.Image, *playback_, *linkHost_);

  auto* central = new QWidget(this);
  central->setObjectName("PanelMain");
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->setSpacing(4);
  setCentralWidget(central);
  menus_ = std::make_unique<WindowMenus>(*this, MenuCommands());
  controls_.PortActions = menus_->PortActions();
  BuildTopArea(central, controls_);
  if (!options_.DiagnosePorts) {
    delete controls_.DiagnoseButton;
    controls_.DiagnoseButton = nullptr;
  }
  history_ = new HistoryKeeper(*this, menus_->File(), menus_->Device());
  AddMapSurfaceCommand(*this, menus_->Tools());
  portDoctor_ = new PortDoctor(*this, menus_->Ports(), controls_.DiagnoseButton,
                               options_.DiagnosePorts, [this] {
                                 const int item = link_->Port().PortSelection;
                                 return item == kPortAuto ? 0 : item + 1;
                               });
  BuildPages(central, controls_);
  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar1");
  setStatusBar(status);
  logRecorder_ = new LogRecorder(*this, *link_, [this] { return language_; });
  AddLogCommands(*this, *logRecorder_);
  LookUpControls(this, controls_);
  fields_ = std::make_unique<FieldBinder>(document_.Image, document_.Tables, controls_, allCellsFlags_);
  fields_->UnsupportedModelShown = [this] {
    // Once per file opened or unit read, not on every refresh (each tuning
    // read refreshes the page).
    if (!bikeWarned_) ShowMessageBox(Utf8(texts_[MsgKey::MsgBikeNotSupported]));
    bikeWarned_ = true;
  };
  fields_->MapRefreshed = [this] {
    if (mapSelection_) mapSelection_->MapRefreshed();
  };
  applier_ = std::make_unique<ViewApplier>(*this, controls_);
  PrintSurface paper{.Window = this,
                     .Client = central,
                     .Pages = controls_.Pages,
                     .WhiteLabels = {controls_.Map.TpsRowLabel.begin(), controls_.Map.TpsRowLabel.end()},
                     .Header = controls_.StatusLabel,
                     .MakeRoom = {controls_.ConnectionLabel, controls_.TransferGauge},
                     .StatusBar = status};
  printer_ = std::make_unique<PagePrinter>(std::move(paper), *link_, texts_,
                                           PagePrinter::Hooks{.Page = [this] { return pageIndex_; },
                                                              .Refresh = [this] { RefreshView(); }});
  EditCommands::Hooks editHooks;
  editHooks.Page = [this] { return pageIndex_; };
  editHooks.SetPage = [this](int page) { pageIndex_ = page; };
  editHooks.Language = [this] { return language_; };
  editHooks.Selection = [this] { return mapSelection_; };
  editHooks.ShowPage = [this] { ShowPage(); };
  editHooks.RefreshPageHidden = [this] { RefreshPageHidden(); };
  editHooks.UpdateCaption = [this] { UpdateCaption(); };
  editHooks.ApplyLinkStatus = [this] { ApplyLinkStatus(); };
  editHooks.WithSelection = [this](const std::function<void()>& operation) {
    settings_->WithSelection([&] {
      operation();
      return true;
    });
  };
  editHooks.StatusMessage = [this](const QString& text) { statusBar()->showMessage(text); };
  editHooks.Ask = [this](const QString& text) { return AskYesNoCancel(text); };
  editHooks.ClearFileName = [this] { files_->ClearFileName(); };
  editHooks.ApplyLanguage = [this] { ApplyLanguage(); };
  editHooks.TransferPage = [this] { TransferPage(); };
  edits_ = std::make_unique<EditCommands>(
      EditCommands::State{document_, *undo_, *link_, *playback_, controls_, *fields_, *applier_, texts_, point_,
                          allCellsFlags_},
      std::move(editHooks));
  FileCommands::Hooks fileHooks;
  fileHooks.Page = [this] { return pageIndex_; };
  fileHooks.Ask = [this](const QString& text) { return AskYesNoCancel(text); };
  fileHooks.Save = [this](const std::string& path) {
    return settings_->WithSelection([&] { return document_.Save(path, FileVersions(link_->Identity())); });
  };
  fileHooks.ShowNormalised = [this](const NormaliseResult& normalised) { applier_->ApplyNormalised(normalised); };
  fileHooks.ShowPage = [this] { ShowPage(); };
  fileHooks.UpdateCaption = [this] { UpdateCaption(); };
  fileHooks.ShowMessage = [this](std::string_view text, std::string_view detail) {
    linkHost_->ShowMessage(text, detail);
  };
  fileHooks.StatusMessage = [this](const QString& text) { statusBar()->showMessage(text); };
  fileHooks.NewConfiguration = [this] { bikeWarned_ = false; };
  files_ = new FileCommands(*this, document_, controls_, texts_, options_.ProgramDir, std::move(fileHooks), this);
  WireEvents();
  BuildMapSelection();
  settings_ = std::make_unique<WindowSettings>(
      statePaths_,
      WindowSettings::State{*this, document_, *link_, controls_, language_, pageIndex_, allCellsFlags_, *history_,
                            *files_, mapSelection_},
      [this](const QString& text) { ShowMessageBox(text); });
  help_ = new HelpCommands(options_.ProgramDir, texts_,
                           {.Language = [this] { return language_; },
                            .Message = [this](const QString& text) { ShowMessageBox(text); },
                            .OpenDocument = [this](const QString& path,
                                                   std::function<void()> failed) { OpenDocument(path, std::move(failed)); }},
                           this);

  FormCreate();

  tickTimer_.setTimerType(Qt::PreciseTimer);
  tickTimer_.setInterval(55);
  connect(&tickTimer_, &QTimer::timeout, this, &TFormHlav::Timer1Timer);
  if (options_.StartTimer) tickTimer_.start();
}

TFormHlav::~TFormHlav() {
  // A log viewer that is still open stops its playback when it goes, which
  // needs the window whole: close it before the window's members are gone.
  for (LogViewer* viewer : findChildren<LogViewer*>()) delete viewer;
  // Closing the widget moves the focus, and the filter would commit into a
  // window whose members are already gone.
  delete commitFilter_;
}

void TFormHlav::FormCreate() {
  document_.Image.P(0) = 0;
  ApplyDefaults(document_.Image, document_.Tables, DefaultsScope::Whole);
  resize(1000, 700);
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->geometry();
    move((g.width() - width()) / 2, (g.height() - height()) / 2);
  }
  settings_->Load();
  controls_.Pages->blockSignals(true);
  controls_.Pages->setCurrentIndex(pageIndex_);
  controls_.Pages->blockSignals(false);
  RefreshPageHidden();
  controls_.TransferGauge->SetRange(0, kGaugeMax);
  ApplyModelFixedBytes(document_.Image);
  BuildModelBaseTables(document_.Image, document_.Tables);
  language_ = LanguageFromCommandLine(std::span<const std::string>(options_.Arguments), language_);
  link_->State().TicksSinceReply = kStartTicksSinceReply;
  Normalise();
  ApplyLanguage();
  RefreshPage();
  InitUndo(*undo_, document_.Image, pageIndex_);
  edits_->UpdateUndoButtons();
  link_->Port().SilentOpen = false;
  link_->OpenPort();
  ApplyLanguage();
  RefreshPage();
  link_->HideStatus();
  ApplyLinkStatus();
  if (auto* l = findChild<QLabel*>("LabelEeDataErr")) l->hide();
  testMode_ = ReadTestMode(statePaths_);
  for (int i = 1; i <= 8; ++i) {
    if (auto* l = findChild<QLabel*>(QString("LabelTest%1").arg(i))) l->setVisible(testMode_);
  }
  if (auto* box = findChild<QWidget*>("GroupBoxMonTest")) box->setVisible(testMode_);
  RefreshView();
  files_->OpenCommandLineFiles(options_.Arguments);
  creating_ = false;
}

// ---------------------------------------------------------------------------
// The page and its view.

void TFormHlav::TransferPage() {
  if (refreshing_ || edits_->Restoring()) return;
  ChangeTune([this] {
    fields_->TransferPage(pageIndex_);
    return true;
  });
}

void TFormHlav::RefreshPage() {
  document_.Refresh();
  ShowPage();
}

void TFormHlav::ShowPage() {
  refreshing_ = true;
  applier_->ApplyIdentity(link_->Identity());
  pageIndex_ = controls_.Pages->currentIndex();
  fields_->RefreshPage(pageIndex_);
  RefreshView();
  refreshing_ = false;
  emit ImageShown();
}

void TFormHlav::RefreshPageHidden() {
  controls_.Map.Panel->hide();
  RefreshPage();
  controls_.Map.Panel->show();
}

void TFormHlav::Normalise() {
  applier_->ApplyNormalised(settings_->WithSelection([this] { return document_.Normalise(); }));
}

void TFormHlav::RefreshView() {
  ViewInputs in;
  in.Page = pageIndex_;
  in.MsMode = controls_.Map.Ms->isChecked();
  in.TuningOn = linkHost_->TuningOn();
  in.TestsLocked = link_->Live().TestsLocked;
  in.PlayingLog = playback_->Playing();
  if (Gauge* g = controls_.MonitorGauges[static_cast<int>(MonGauge::CGaugeLambda)]) {
    in.LambdaGaugeLeft = g->x();
    in.LambdaGaugeWidth = g->width();
  }
  velmor::RefreshView(document_.Image, in, *viewModel_);
  for (const ControlState& state : viewModel_->States()) applier_->Apply(state, texts_);
  if (applier_->TakeSecondMapHidden()) {
    controls_.Pages->blockSignals(true);
    controls_.Pages->setCurrentIndex(PageInj1);
    controls_.Pages->setTabVisible(PageInj2, false);
    controls_.Pages->blockSignals(false);
    RefreshPageHidden();
    return;
  }
  const bool tuned = UnitTunesMap(document_.Image, pageIndex_, in.TuningOn);
  if (tuned && !tunedMapHinted_) statusBar()->showMessage(Utf8(texts_[MsgKey::TxtUnitTunesMap]));
  tunedMapHinted_ = tuned;
}

void TFormHlav::ShowOperatingPoint() {
  velmor::ShowOperatingPoint(document_.Image, pageIndex_, controls_.Map.Ms->isChecked(), link_->Live(), point_, highlight_);
  applier_->ApplyHighlight(shownHighlight_, highlight_, mapSelection_);
  emit ImageShown();
}

void TFormHlav::ActivatePage(int page) { controls_.Pages->setCurrentIndex(page); }

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
    if (auto* a = findChild<QAction*>(Utf8(kLanguageMenuItems[i]))) a->setChecked(i == static_cast<int>(lang));
  }
  texts_ = ResolveTexts(lang);
  qtTranslations_.Use(lang);
  if (options_.LanguageChanged) options_.LanguageChanged(lang);
  // The link renders the live display again in the new language: the last
  // frame's values, or the placeholders while no unit answers.
  link_->SetLanguage(lang);
  applier_->ApplyMonitor(link_->Monitor());
  ApplyControlTexts(this, controls_.Pages, lang);
  UpdateCaption();
  history_->ApplyLanguage(lang);
  portDoctor_->ApplyLanguage(lang);
  // The Log menu's title shows in the menu bar before the menu is opened.
  if (logRecorder_) logRecorder_->Retranslate();
}

void TFormHlav::UpdateCaption() {
  // A file is named plainly only while the tune equals it; unsaved changes
  // mark the caption as desktop programs do.
  const bool changed = document_.Changed();
  const std::string file = !changed                     ? document_.FileName
                           : document_.FileName.empty() ? std::string("*")
                                                        : EditCaption(EditText::ChangedFile, language_, document_.FileName);
  setWindowTitle(Utf8(MainWindowCaption(file)));
}

// ---------------------------------------------------------------------------
// The tick and the link's view.

void TFormHlav::Timer1Timer() { link_->Tick(); }

void TFormHlav::ApplyLinkStatus() { applier_->ApplyLinkStatus(link_->Status(), statusBar()); }

void TFormHlav::MonitorDecoded() {
  if (logRecorder_) logRecorder_->MonitorDecoded();
  applier_->ApplyMonitor(link_->Monitor());
  RefreshView();
}


// ---------------------------------------------------------------------------
// Printing: the window itself, prepared for paper, by the print room.

void TFormHlav::SpeedButtonPrintClick() { printer_->Print(); }

void TFormHlav::closeEvent(QCloseEvent* event) {
  link_->ClosePort();
  history_->Closing();
  TransferPage();
  Normalise();
  settings_->Save();
  event->accept();
}

// ---------------------------------------------------------------------------
// Parameter files, by FileCommands.

void TFormHlav::ShowReadMessages(const IgnReadResult& read) { files_->ShowReadMessages(read); }
void TFormHlav::MenuOpenClick(bool fromExeDir) { files_->MenuOpenClick(fromExeDir); }
void TFormHlav::MenuOpenActPageClick() { files_->MenuOpenActPageClick(); }
void TFormHlav::MenuSaveClick(bool fromExeDir) { files_->MenuSaveClick(fromExeDir); }

// ---------------------------------------------------------------------------
// The tune's edits, by EditCommands.

EditResult TFormHlav::ChangeTune(const std::function<bool()>& change, int page) {
  return edits_->ChangeTune(change, page);
}

EditResult TFormHlav::ApplyEdit(const Edit& edit) { return edits_->ApplyEdit(edit); }

}  // namespace velmor::ui

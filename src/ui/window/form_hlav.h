// The main window. It owns the program's state for its whole life (the
// document: image, derived tables and file name; the link engine, the
// language, the settings), refreshes the page and the view from it, and
// wires the commands to the classes that carry them out: WindowMenus builds
// the menu bar, EditCommands takes every change through the document's gate
// (undo, the step tools), FileCommands opens and saves, HelpCommands answers
// F1 and About, WindowSettings keeps the settings file and WindowLinkHost
// answers the link engine. Each is handed the window's state by reference
// and its few own steps as hooks. The controls are built and looked up once
// by window_layout; the events that commit a page are the commit filter's;
// the printout is the print room's PagePrinter. The dialogs the window asks
// through come with its options (WindowDialogs), so a test answers them from
// the start.
//
// Object names and settings keys keep the original design's Czech stems
// (LabelHlaseni, CheckBoxProgHned): docs/GLOSSARY.md explains them.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <functional>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "lang/catalog.h"
#include "link/engine.h"
#include "log/log_playback.h"
#include "model/derived.h"
#include "model/fields.h"
#include "model/image.h"
#include "model/normalise.h"
#include "files/ign_file.h"
#include "files/settings.h"
#include "editor/document.h"
#include "editor/operating_point.h"
#include "editor/tools.h"
#include "editor/undo.h"
#include "editor/view.h"
#include "ui/print/page_printer.h"
#include "ui/window/guide_window.h"
#include "ui/window/qt_translations.h"
#include "ui/session/session.h"
#include "ui/window/window_layout.h"
#include "ui/window/window_link_host.h"
#include "ui/window/window_menus.h"
#include "ui/window/window_settings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTabWidget;

namespace velmor::ui {

class CommitFilter;
class EditCommands;
class FieldBinder;
class FileCommands;
class HelpCommands;
class HistoryKeeper;
class LogRecorder;
class MapSelection;
class PortDoctor;
class ViewApplier;

// The window's modal dialogs. An empty one is the real Qt dialog; tests hand
// in automatic answers, which the window uses from its first line on, so
// that nothing modal can appear while it is built.
struct WindowDialogs {
  // A question: Yes, No or Cancel.
  std::function<QMessageBox::StandardButton(const QString&)> AskYesNoCancel{};
  // A message with one OK button.
  std::function<void(const QString&)> ShowMessageBox{};
  // The open or save dialog starting at `start`; empty is a cancel.
  std::function<QString(bool save, const QString& start)> ChooseFile{};
  // Opens a help document with the desktop's viewer (F1).
  DocumentOpener OpenDocument{};
};

// Where the window keeps its files and how it answers questions.
struct FormOptions {
  std::string ConfigDir;        // settings, last-run image, test-mode marker
  std::string ProgramDir;       // data.ign and the help documents
  std::vector<std::string> Arguments;  // command line without the program name
  bool StartTimer = true;       // the 55 ms tick
  // The port doctor's report of port n (0 = every port); without it the
  // window offers no port diagnostics.
  std::function<std::string(int number)> DiagnosePorts;
  // The window's language, at start and on every change: what is told
  // outside the window (the port's reasons, the doctor's report) follows.
  std::function<void(LanguageCode language)> LanguageChanged;
  WindowDialogs Dialogs;
};

class TFormHlav : public QMainWindow, public Session {
  Q_OBJECT
 public:
  TFormHlav(SerialPort& port, FormOptions options, QWidget* parent = nullptr);
  ~TFormHlav() override;

  // State, for the command-line tool's checks and the tests.
  ParameterImage& Image() override { return document_.Image; }
  DerivedTables& Tables() override { return document_.Tables; }
  LinkEngine& Link() override { return *link_; }
  // The port the link talks through: the unit's, or a log being played.
  LogPlaybackPort& Playback() override { return *playback_; }
  LanguageCode Language() const override { return language_; }
  int PageIndex() const { return pageIndex_; }
  const std::string& CurrentFileName() const override { return document_.FileName; }
  QMainWindow& Window() override { return *this; }
  HistoryKeeper& History() { return *history_; }

  // Operations of the window, public for the command wiring and the tests.
  // Commits what the page's controls show as an edit (the link too: before a
  // Program or Verify).
  void TransferPage() override;
  void RefreshPage();
  // Every change to the tune goes through here: `change` changes the image
  // as the tool always has; the difference becomes an edit, the image goes
  // back, and the document applies the edit through its gate. False from
  // `change` means the tool did nothing. `page` is where the change lies,
  // for undo and redo to show; -1 for the page shown.
  EditResult ChangeTune(const std::function<bool()>& change, int page = -1) override;
  // An edit built elsewhere (a log's corrections): the document's gate, then
  // what it says on the status bar and the page.
  EditResult ApplyEdit(const Edit& edit) override;
  void ApplyLanguage();
  void SetLanguage(LanguageCode language);  // the language menu items
  void Timer1Timer();
  void ActivatePage(int page) override;
  // A log playback started or stopped: the unit's commands follow.
  void PlaybackChanged() override { RefreshView(); }
  // Printing of the page shown; the PDF path when no printer exists.
  void SpeedButtonPrintClick();
  const UndoRing& Undo() const { return *undo_; }
  const OperatingPoint& Point() const { return point_; }
  // The PDF the last printout went to (empty when it went to a printer).
  const std::string& LastPrintFile() const { return printer_->LastPrintFile(); }

  // The dialogs the window was made with (FormOptions::Dialogs), with the
  // session's ShowMessageBox and ChooseFile; a test may replace one later.
  std::function<QMessageBox::StandardButton(const QString&)> AskYesNoCancel;
  DocumentOpener OpenDocument;

  // What a read of a parameter file has to say (an older version, a cut-off
  // file, sections it lacks): a message box each, the last one kept on the
  // status bar. A file that could not be read says so.
  void ShowReadMessages(const IgnReadResult& read) override;

  // File commands (also the tool buttons; `fromExeDir` is the Ctrl variant),
  // carried out by FileCommands.
  void MenuOpenClick(bool fromExeDir) override;
  void MenuOpenActPageClick();
  void MenuSaveClick(bool fromExeDir);

 signals:
  // The page was refreshed from the image, or a tick placed the operating
  // point: views beside the window (the 3D view) follow.
  void ImageShown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Construction. What each menu item runs, and which control runs which
  // command (form_events.cpp).
  WindowMenus::Commands MenuCommands();
  void WireEvents();
  void FormCreate();
  // Blocks of map cells and their edits (form_map_selection.cpp).
  void BuildMapSelection();

  // The page's controls from the image as the document holds it.
  void ShowPage();
  void RefreshView();
  // Refreshes the page with the map editor hidden, so that it repaints once.
  void RefreshPageHidden();
  void ApplyLinkStatus();
  void UpdateCaption();

  // What the link tells the window, through WindowLinkHost.
  void Normalise();
  void MonitorDecoded();
  void ShowOperatingPoint();


  SerialPort& port_;
  FormOptions options_;
  std::unique_ptr<LogPlaybackPort> playback_;
  Document document_;
  std::unique_ptr<UndoRing> undo_ = std::make_unique<UndoRing>();
  std::unique_ptr<WindowLinkHost> linkHost_;  // outlives the link it answers
  std::unique_ptr<LinkEngine> link_;
  LanguageCode language_ = LanguageCode::English;
  QtTranslations qtTranslations_;
  ResolvedTexts texts_;
  StatePaths statePaths_;
  int pageIndex_ = PageGear;
  std::array<std::uint8_t, PageCount> allCellsFlags_{};
  bool refreshing_ = false;
  bool tunedMapHinted_ = false;  // the status bar said the unit tunes the map shown
  bool bikeWarned_ = false;      // the unsupported-model message of this load was shown
  bool testMode_ = false;
  bool creating_ = true;  // FormCreate runs: the window is not shown yet

  WindowControls controls_;  // built and looked up once
  std::unique_ptr<WindowMenus> menus_;
  std::unique_ptr<PagePrinter> printer_;
  std::unique_ptr<FieldBinder> fields_;
  std::unique_ptr<ViewApplier> applier_;
  std::unique_ptr<EditCommands> edits_;
  FileCommands* files_ = nullptr;  // a child of the window
  std::unique_ptr<WindowSettings> settings_;
  CommitFilter* commitFilter_ = nullptr;  // a child of the window
  MapSelection* mapSelection_ = nullptr;
  HelpCommands* help_ = nullptr;  // a child of the window
  HistoryKeeper* history_ = nullptr;
  PortDoctor* portDoctor_ = nullptr;
  std::unique_ptr<ViewModel> viewModel_ = std::make_unique<ViewModel>();
  OperatingPoint point_;
  HighlightSet highlight_;
  HighlightBits shownHighlight_;
  QTimer tickTimer_;
  LogRecorder* logRecorder_ = nullptr;  // a child of the window
};

// Tools → "3D view": the command, and the view made when first asked for,
// following the window from then on (form_map_surface.cpp).
void AddMapSurfaceCommand(TFormHlav& window, QMenu* tools);

}  // namespace velmor::ui

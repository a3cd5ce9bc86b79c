// The window's settings: its rectangle, the page, the language and port
// choices and a few switches, kept in the settings file between runs.
#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "ui/window/form_hlav.h"
#include "ui/map/map_selection.h"
#include "ui/window/file_commands.h"
#include "ui/history/history_keeper.h"
#include "ui/widgets/widgets.h"
#include "editor/program_review.h"

namespace velmor::ui {
namespace {

bool Checked(const QCheckBox* box) { return box && box->isChecked(); }

}  // namespace

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
  const LoadSettingsStatus loaded = velmor::LoadSettings(statePaths_, settings, document_.Image, allCellsFlags_);
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
    // Once the window runs: the box stands in front of the window rather
    // than on an empty screen.
    QTimer::singleShot(0, this, [this, message] { ShowMessageBox(Utf8(message)); });
  }
  AdoptSelection(settings.Selection);
  document_.FileName = settings.File;
  // The last-run tune under the name of its file: unsaved changes of the
  // last session stay marked, and a file changed since is not taken for it.
  ParameterImage inFile;
  document_.Saved = !settings.File.empty() && LoadComparableImage(settings.File, document_.Image, inFile).Loaded()
                        ? inFile
                        : ParameterImage{};
  if (settings.File.empty()) document_.Saved = document_.Image;
  files_->SetDialogFileName(settings.IniDir);
  pageIndex_ = std::clamp(settings.PageIndex, 0, PageCount - 1);
  controls_.Map.Ms->setChecked(settings.CellsInMs);
  if (QCheckBox* c = controls_.ExtendedMonitor) c->setChecked(settings.ExtendedMonitor);
  if (QCheckBox* c = controls_.AllPositions) c->setChecked(settings.AllPositions);
  history_->SetReviewBeforeProgram(settings.ReviewBeforeProgram);
  if (mapSelection_) mapSelection_->SetHeatColours(settings.HeatColours);
  link_->SetFastMonitor(settings.FastMonitor);
  if (auto* fast = findChild<QAction*>("MenuFastMonitor")) fast->setChecked(settings.FastMonitor);
}

void TFormHlav::SaveSettings() {
  Settings settings;
  const QRect g = geometry();
  settings.Left = g.x();
  settings.Top = g.y();
  settings.Width = g.width();
  settings.Height = g.height();
  settings.Selection = CurrentSelection();
  settings.File = document_.FileName;
  settings.IniDir = files_->DialogFileName();
  settings.PageIndex = pageIndex_;
  settings.CellsInMs = Checked(controls_.Map.Ms);
  settings.ExtendedMonitor = Checked(controls_.ExtendedMonitor);
  settings.AllPositions = Checked(controls_.AllPositions);
  settings.ReviewBeforeProgram = history_->ReviewBeforeProgram();
  settings.HeatColours = mapSelection_ && mapSelection_->HeatColours();
  settings.FastMonitor = link_->FastMonitor();
  const SaveSettingsStatus status = velmor::SaveSettings(statePaths_, settings, document_.Image, allCellsFlags_);
  // Otherwise the session's settings would be lost without a word.
  if (!status.Ok()) ShowMessageBox(Utf8(SaveFailureMessage(statePaths_, status)));
}

}  // namespace velmor::ui

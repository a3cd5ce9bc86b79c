#include "ui/window/window_settings.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "ui/map/map_selection.h"
#include "ui/window/file_commands.h"
#include "ui/history/history_keeper.h"
#include "ui/widgets/widgets.h"
#include "editor/program_review.h"

namespace velmor::ui {
WindowSettings::WindowSettings(StatePaths paths, State state, std::function<void(const QString&)> message)
    : paths_(std::move(paths)), w_(state), message_(std::move(message)) {}

PersistedSelection WindowSettings::CurrentSelection() const {
  return {static_cast<std::uint8_t>(w_.Language), w_.Link.Port().PortSelection, w_.Link.Port().ScanIndex};
}

void WindowSettings::AdoptSelection(const PersistedSelection& selection) {
  w_.Language = LanguageFromByte(selection.Language);
  w_.Link.Port().PortSelection = selection.PortSelection;
  w_.Link.Port().ScanIndex = selection.ScanIndex;
}

void WindowSettings::Load() {
  // Every key defaults to what the window holds now; the port selection
  // starts at 1 so that a missing key gives COM1.
  Settings settings;
  settings.Left = w_.Window.x();
  settings.Top = w_.Window.y();
  settings.Width = w_.Window.width();
  settings.Height = w_.Window.height();
  settings.Selection = CurrentSelection();
  settings.Selection.PortSelection = 1;
  settings.PageIndex = w_.Page;
  const LoadSettingsStatus loaded = velmor::LoadSettings(paths_, settings, w_.Doc.Image, w_.AllCells);
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
  w_.Window.setGeometry(fitted.Left, fitted.Top, fitted.Width, fitted.Height);
  if (const std::string message = SetAsideMessage(paths_, loaded); !message.empty()) {
    // Once the window runs: the box stands in front of the window rather
    // than on an empty screen.
    QTimer::singleShot(0, &w_.Window, [this, message] { message_(Utf8(message)); });
  }
  AdoptSelection(settings.Selection);
  w_.Doc.FileName = settings.File;
  // The last-run tune under the name of its file: unsaved changes of the
  // last session stay marked, and a file changed since is not taken for it.
  ParameterImage inFile;
  w_.Doc.Saved = !settings.File.empty() && LoadComparableImage(settings.File, w_.Doc.Image, inFile).Loaded()
                        ? inFile
                        : ParameterImage{};
  if (settings.File.empty()) w_.Doc.Saved = w_.Doc.Image;
  w_.Files.SetDialogFileName(settings.IniDir);
  w_.Page = std::clamp(settings.PageIndex, 0, PageCount - 1);
  w_.Controls.Map.Ms->setChecked(settings.CellsInMs);
  if (QCheckBox* c = w_.Controls.ExtendedMonitor) c->setChecked(settings.ExtendedMonitor);
  if (QCheckBox* c = w_.Controls.AllPositions) c->setChecked(settings.AllPositions);
  w_.History.SetReviewBeforeProgram(settings.ReviewBeforeProgram);
  if (w_.Selection) w_.Selection->SetHeatColours(settings.HeatColours);
  w_.Link.SetFastMonitor(settings.FastMonitor);
  if (auto* fast = w_.Window.findChild<QAction*>("MenuFastMonitor")) fast->setChecked(settings.FastMonitor);
}

void WindowSettings::Save() {
  Settings settings;
  const QRect g = w_.Window.geometry();
  settings.Left = g.x();
  settings.Top = g.y();
  settings.Width = g.width();
  settings.Height = g.height();
  settings.Selection = CurrentSelection();
  settings.File = w_.Doc.FileName;
  settings.IniDir = w_.Files.DialogFileName();
  settings.PageIndex = w_.Page;
  settings.CellsInMs = Checked(w_.Controls.Map.Ms);
  settings.ExtendedMonitor = Checked(w_.Controls.ExtendedMonitor);
  settings.AllPositions = Checked(w_.Controls.AllPositions);
  settings.ReviewBeforeProgram = w_.History.ReviewBeforeProgram();
  settings.HeatColours = w_.Selection && w_.Selection->HeatColours();
  settings.FastMonitor = w_.Link.FastMonitor();
  const SaveSettingsStatus status = velmor::SaveSettings(paths_, settings, w_.Doc.Image, w_.AllCells);
  // Otherwise the session's settings would be lost without a word.
  if (!status.Ok()) message_(Utf8(SaveFailureMessage(paths_, status)));
}

}  // namespace velmor::ui

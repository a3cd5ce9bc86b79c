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
namespace {

bool Checked(const QCheckBox* box) { return box && box->isChecked(); }

}  // namespace

WindowSettings::WindowSettings(StatePaths paths, Parts parts, std::function<void(const QString&)> message)
    : paths_(std::move(paths)), p_(parts), message_(std::move(message)) {}

PersistedSelection WindowSettings::CurrentSelection() const {
  return {static_cast<std::uint8_t>(p_.Language), p_.Link.Port().PortSelection, p_.Link.Port().ScanIndex};
}

void WindowSettings::AdoptSelection(const PersistedSelection& selection) {
  p_.Language = LanguageFromByte(selection.Language);
  p_.Link.Port().PortSelection = selection.PortSelection;
  p_.Link.Port().ScanIndex = selection.ScanIndex;
}

void WindowSettings::Load() {
  // Every key defaults to what the window holds now; the port selection
  // starts at 1 so that a missing key gives COM1.
  Settings settings;
  settings.Left = p_.Window.x();
  settings.Top = p_.Window.y();
  settings.Width = p_.Window.width();
  settings.Height = p_.Window.height();
  settings.Selection = CurrentSelection();
  settings.Selection.PortSelection = 1;
  settings.PageIndex = p_.Page;
  const LoadSettingsStatus loaded = velmor::LoadSettings(paths_, settings, p_.Doc.Image, p_.AllCells);
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
  p_.Window.setGeometry(fitted.Left, fitted.Top, fitted.Width, fitted.Height);
  if (const std::string message = SetAsideMessage(paths_, loaded); !message.empty()) {
    // Once the window runs: the box stands in front of the window rather
    // than on an empty screen.
    QTimer::singleShot(0, &p_.Window, [this, message] { message_(Utf8(message)); });
  }
  AdoptSelection(settings.Selection);
  p_.Doc.FileName = settings.File;
  // The last-run tune under the name of its file: unsaved changes of the
  // last session stay marked, and a file changed since is not taken for it.
  ParameterImage inFile;
  p_.Doc.Saved = !settings.File.empty() && LoadComparableImage(settings.File, p_.Doc.Image, inFile).Loaded()
                        ? inFile
                        : ParameterImage{};
  if (settings.File.empty()) p_.Doc.Saved = p_.Doc.Image;
  p_.Files.SetDialogFileName(settings.IniDir);
  p_.Page = std::clamp(settings.PageIndex, 0, PageCount - 1);
  p_.Controls.Map.Ms->setChecked(settings.CellsInMs);
  if (QCheckBox* c = p_.Controls.ExtendedMonitor) c->setChecked(settings.ExtendedMonitor);
  if (QCheckBox* c = p_.Controls.AllPositions) c->setChecked(settings.AllPositions);
  p_.History.SetReviewBeforeProgram(settings.ReviewBeforeProgram);
  if (p_.Selection) p_.Selection->SetHeatColours(settings.HeatColours);
  p_.Link.SetFastMonitor(settings.FastMonitor);
  if (auto* fast = p_.Window.findChild<QAction*>("MenuFastMonitor")) fast->setChecked(settings.FastMonitor);
}

void WindowSettings::Save() {
  Settings settings;
  const QRect g = p_.Window.geometry();
  settings.Left = g.x();
  settings.Top = g.y();
  settings.Width = g.width();
  settings.Height = g.height();
  settings.Selection = CurrentSelection();
  settings.File = p_.Doc.FileName;
  settings.IniDir = p_.Files.DialogFileName();
  settings.PageIndex = p_.Page;
  settings.CellsInMs = Checked(p_.Controls.Map.Ms);
  settings.ExtendedMonitor = Checked(p_.Controls.ExtendedMonitor);
  settings.AllPositions = Checked(p_.Controls.AllPositions);
  settings.ReviewBeforeProgram = p_.History.ReviewBeforeProgram();
  settings.HeatColours = p_.Selection && p_.Selection->HeatColours();
  settings.FastMonitor = p_.Link.FastMonitor();
  const SaveSettingsStatus status = velmor::SaveSettings(paths_, settings, p_.Doc.Image, p_.AllCells);
  // Otherwise the session's settings would be lost without a word.
  if (!status.Ok()) message_(Utf8(SaveFailureMessage(paths_, status)));
}

}  // namespace velmor::ui

// Takes the pictures of the user guide with the window of this very build,
// in one language, talking to a unit (at build time the simulated one): the
// start, a Read, every page, a block of the advance map and its menu, the
// menus, the 3D view where OpenGL draws, tuning, a log recorded, a ride viewed
// and analysed, the history and a compare. Each is saved as OUTDIR/guide-*.png or
// OUTDIR/page-<page>.png, the names the guide's pictures have.
//   velmor-guide-pictures OUTDIR DEVICE [LANGUAGEWORD]
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

#include "ui/window/form_hlav.h"
#include "editor/document.h"
#include "files/ign_file.h"
#include "log/log_format.h"
#include "log/log_paths.h"
#include "ui/log/log_recorder.h"
#include "ui/map/map_selection.h"
#include "ui/map/map_surface.h"
#include "port_devices.h"
#include "qt_serial_port.h"
#include "sim_unit.h"

namespace {

using velmor::ui::TFormHlav;

// The pages in tab order, as the guide names their pictures.
constexpr std::array<const char*, velmor::PageCount> kPageKeys = {
    "bike", "advance", "inj1", "inj2", "position", "corrections", "sensors",
    "idle", "n2o",     "gear", "race", "tuning",   "monitor"};

// Sleeps between events instead of spinning: the window's 55 ms tick wakes
// the loop often enough for every wait below.
void RunEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents); }

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) RunEvents();
}

// Runs the events until `done` holds or `ms` have passed; whether it held.
bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    RunEvents();
  }
  return true;
}

class Camera {
 public:
  explicit Camera(QString out) : out_(std::move(out)) {}

  void Save(QWidget* w, const QString& name) {
    if (!w) {
      std::fprintf(stderr, "velmor-guide-pictures: nothing to show for %s\n", qPrintable(name));
      failed_ = true;
      return;
    }
    const QString path = QString("%1/%2.png").arg(out_, name);
    if (!w->grab().save(path)) {
      std::fprintf(stderr, "velmor-guide-pictures: cannot write %s\n", qPrintable(path));
      failed_ = true;
    }
  }

  // A popup menu as it shows itself.
  void SaveMenu(QMenu* menu, const QString& name) {
    if (!menu) return Save(nullptr, name);
    menu->popup(QPoint(0, 0));
    Settle(150);
    Save(menu, name);
    menu->hide();
  }

  const QString& Out() const { return out_; }
  bool Failed() const { return failed_; }

 private:
  QString out_;
  bool failed_ = false;
};

// The ride the log viewer and the analysis show: six minutes of the
// simulated unit sweeping map 1 of `image` (three rounds, enough rows for
// every cell it holds) on a warm engine that needs 8 % more fuel from 20 %
// throttle up, so that those cells read lean. A row every 330 ms, as the
// unit's frames come, and 20 s without any after three minutes: a pulled
// cable, which the viewer shows as a gap. A recording of a few seconds from
// the cold engine at start-up would leave the analysis empty. The tune it
// was ridden on goes beside it, as the recorder keeps it.
QString WriteRide(const velmor::ParameterImage& image, const QString& dir) {
  velmor::ParameterImage trueTune = image;
  for (int k = velmor::MapCell(4, 0); k < velmor::kMapCells; ++k) {
    const int word = velmor::kInj1Map + 2 * k;
    trueTune.SetWord(word, static_cast<std::uint16_t>(std::min(0xFFFF, (trueTune.Word(word) * 108 + 50) / 100)));
  }
  velmor::sim::SimOptions options;
  options.TrueTune = trueTune;
  velmor::sim::SimUnit unit(options);
  unit.Memory() = image;
  velmor::LinkFrame poll{};
  poll[0] = velmor::kPollCommand;
  const QString path = dir + "/ride.csv";
  if (!velmor::SaveParameterFile(velmor::RiddenTunePath(path.toStdString()), image, velmor::FileVersions()).Ok)
    return {};
  velmor::LogWriter writer;
  if (!writer.Open(path.toStdString())) return {};
  for (int ms = 0; ms <= 6 * 60 * 1000; ms += 330) {
    if (ms > 180000 && ms < 200000) continue;
    const velmor::LinkFrame frame = unit.MonitorReply(ms, poll);
    writer.Add(velmor::LogRowFromMonitorFrame(frame.data(), ms));
  }
  return writer.Close() ? path : QString();
}

void Trigger(QWidget& window, const char* action) {
  if (auto* a = window.findChild<QAction*>(action)) a->trigger();
  else std::fprintf(stderr, "velmor-guide-pictures: no action %s\n", action);
}

void ShowPage(TFormHlav& window, int page) {
  window.ActivatePage(page);
  Settle(150);
}

int TakePictures(const QString& out, const char* device, const char* languageWord) {
  QDir().mkpath(out);
  Camera camera(out);
  QTemporaryDir state;
  // Logs and history go to a scratch folder, not the user's.
  qputenv("VELMOR_DATA_DIR", state.filePath("data").toLocal8Bit());
  velmor::platform::PortDevices devices;
  devices.SetOverride(1, device);
  velmor::platform::QtSerialPort port(devices);
  velmor::ui::FormOptions options;
  options.ConfigDir = state.path().toStdString();
  options.ProgramDir = state.path().toStdString();
  if (languageWord) options.Arguments.emplace_back(languageWord);
  options.Dialogs.AskYesNoCancel = [](const QString&) { return QMessageBox::Yes; };
  options.Dialogs.ShowMessageBox = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
  TFormHlav window(port, options);
  window.resize(1000, 720);
  window.show();

  // The engine running, as the unit reports it. The fast monitor fills the
  // recording below in seconds, where the idle poll's three frames a second
  // would keep the build waiting.
  if (auto* fast = window.findChild<QAction*>("MenuFastMonitor")) fast->setChecked(true);
  ShowPage(window, velmor::PageMonitor);
  if (!WaitFor([&] { return window.Link().MonitorFrames() > 5; }, 10000)) {
    std::fprintf(stderr, "velmor-guide-pictures: the unit on %s does not answer\n", device);
    return 1;
  }
  camera.Save(&window, "guide-start");

  // Read the unit; the history keeps it.
  Trigger(window, "MenuRead");
  if (!WaitFor([&] { return window.Link().Outcome() == velmor::LinkOutcome::VerifyOk; }, 20000)) {
    std::fprintf(stderr, "velmor-guide-pictures: the Read did not end in a good verify\n");
    return 1;
  }
  ShowPage(window, velmor::PageBike);
  camera.Save(&window, "guide-read");
  camera.SaveMenu(window.findChild<QMenu*>("MenuDevice"), "guide-menu-ignition");

  // Every page, with both injection maps of their own so that Inj. 2 shows.
  Trigger(window, "Menu_Jet123Normal");
  for (int page = 0; page < velmor::PageCount; ++page) {
    ShowPage(window, page);
    camera.Save(&window, QString("page-%1").arg(kPageKeys[static_cast<std::size_t>(page)]));
  }

  // A block of the advance map with heat colours, and its menu.
  ShowPage(window, velmor::PageAdvance);
  auto* selection = window.findChild<velmor::ui::MapSelection*>("MapSelection");
  if (!selection) return camera.Save(nullptr, "guide-map-block"), 1;
  selection->SetHeatColours(true);
  selection->SelectBlock(velmor::CellBlock::Spanning(3, 4, 6, 9));
  Settle(300);
  camera.Save(&window, "guide-map-block");
  QMenu* blockMenu = selection->BuildMenu(&window);
  camera.SaveMenu(blockMenu, "guide-map-menu");
  delete blockMenu;
  camera.SaveMenu(window.findChild<QMenu*>("MenuTools"), "guide-menu-tools");

  // The 3D view of the advance map with the block raised by 3 degrees; it
  // draws only where OpenGL does (not on the offscreen platform).
  selection->Apply({velmor::MapOperation::Add, 3});
  Trigger(window, "Menu3DView");
  Settle(1000);
  if (auto* view = window.findChild<velmor::ui::MapSurfaceView*>("FormMapSurface")) {
    // What the screen shows; the graph's own off-screen render ignores the camera.
    if (view->Graph()) view->screen()->grabWindow(view->winId()).save(camera.Out() + "/guide-3d-view.png");
    view->hide();
  }

  ShowPage(window, velmor::PageTuning);
  camera.Save(&window, "guide-tuning");

  // A log: a recording, then a longer ride viewed and analysed.
  ShowPage(window, velmor::PageMonitor);
  Trigger(window, "MenuLogRecord");
  auto* recorder = window.findChild<velmor::ui::LogRecorder*>("LogRecorder");
  if (!recorder) return camera.Save(nullptr, "guide-recording"), 1;
  if (!WaitFor([&] { return recorder->Rows() >= 60; }, 15000))
    std::fprintf(stderr, "velmor-guide-pictures: the recording has only %d rows\n", static_cast<int>(recorder->Rows()));
  camera.Save(&window, "guide-recording");
  Trigger(window, "MenuLogStop");
  Settle(200);
  const QString ride = WriteRide(window.Image(), velmor::ui::LogRecorder::LogsDirectory());
  if (ride.isEmpty()) return camera.Save(nullptr, "guide-log-viewer"), 1;
  recorder->ChooseLog = [ride] { return ride; };
  Trigger(window, "MenuLogOpen");
  QWidget* viewer = window.findChild<QWidget*>("FormLogViewer");
  if (viewer) viewer->resize(window.size());
  Settle(800);
  camera.Save(viewer, "guide-log-viewer");
  // Analyse... of the viewer: the ride shown.
  if (viewer) {
    if (auto* analyse = viewer->findChild<QAbstractButton*>("ButtonLogViewerAnalyse")) analyse->click();
    viewer->hide();
  }
  Settle(800);
  QWidget* analysis = window.findChild<QWidget*>("DialogLogAnalysis");
  camera.Save(analysis, "guide-log-analysis");
  if (analysis) analysis->hide();

  // History and compare: the editor, with the raised block, against the tune read.
  ShowPage(window, velmor::PageAdvance);
  Trigger(window, "MenuHistory");
  Settle(500);
  camera.Save(window.findChild<QWidget*>("HistoryDialog"), "guide-history");
  if (auto* compare = window.findChild<QAbstractButton*>("ButtonHistoryCompare")) compare->click();
  Settle(500);
  // The map's grid, where the raised block shows with the legend above it.
  QWidget* compare = window.findChild<QWidget*>("CompareDialog");
  if (auto* tabs = compare ? compare->findChild<QTabWidget*>("TabCompare") : nullptr) {
    tabs->setCurrentIndex(tabs->count() - 1);
    Settle(200);
  }
  camera.Save(compare, "guide-compare");
  return camera.Failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: velmor-guide-pictures OUTDIR DEVICE [LANGUAGEWORD]\n");
    return 2;
  }
  return TakePictures(argv[1], argv[2], argc > 3 ? argv[3] : nullptr);
}

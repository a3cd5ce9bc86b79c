// Saves a picture of every page of the window, talking to a unit (or the
// simulated one) on the device given, and prints the Inj. 1 page, so the
// pages and the printout can be looked at:
//   window_screenshots OUTDIR [LANGUAGEWORD] [DEVICE] [SECONDS-PER-PAGE]
// With --guide it walks through the user guide's scenes instead (start-up,
// Read, a block of the map with heat colours, the 3D view, tuning, a log
// recorded, viewed and analysed, history and compare) and saves them as
// guide-*.png:
//   window_screenshots --guide OUTDIR DEVICE
#include <QApplication>
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QMessageBox>
#include <QtDataVisualization/Q3DSurface>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "form_hlav.h"
#include "log_recorder.h"
#include "map_selection.h"
#include "map_surface.h"
#include "qt_serial_port.h"

namespace {

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget* w, const QString& out, const char* name) {
  if (!w) {
    std::fprintf(stderr, "no picture for %s\n", name);
    return;
  }
  const QString path = QString("%1/guide-%2.png").arg(out, name);
  w->grab().save(path);
  std::printf("%s\n", qPrintable(path));
}

void Trigger(QWidget& window, const char* action) {
  if (auto* a = window.findChild<QAction*>(action)) a->trigger();
  else std::fprintf(stderr, "no action %s\n", action);
}

// A popup menu as it shows itself.
void SaveMenu(QMenu* menu, const QString& out, const char* name) {
  if (!menu) return;
  menu->popup(QPoint(0, 0));
  Settle(300);
  Save(menu, out, name);
  menu->hide();
}

int Guide(const QString& out, const char* device) {
  QDir().mkpath(out);
  QTemporaryDir state;
  // Logs and history go to a scratch folder, not the user's.
  qputenv("VELMOR_DATA_DIR", state.filePath("data").toLocal8Bit());
  velmor::platform::PortDevices devices;
  devices.SetOverride(1, device);
  velmor::platform::QtSerialPort port(devices);
  velmor::ui::FormOptions options;
  options.ConfigDir = state.path().toStdString();
  options.ProgramDir = state.path().toStdString();
  velmor::ui::TFormHlav window(port, options);
  window.ShowMessageBox = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
  window.AskYesNoCancel = [](const QString&) { return QMessageBox::Yes; };
  window.resize(1000, 720);
  window.show();
  Settle(3000);
  window.ActivatePage(velmor::PageMonitor);
  Settle(2000);
  Save(&window, out, "start");

  // Read the unit; the history keeps it.
  Trigger(window, "MenuRead");
  Settle(6000);
  window.ActivatePage(velmor::PageBike);
  Settle(500);
  Save(&window, out, "read");
  SaveMenu(window.findChild<QMenu*>("MenuDevice"), out, "menu-ignition");

  // A block of the advance map with heat colours, and its menu.
  window.ActivatePage(velmor::PageAdvance);
  Settle(500);
  auto* selection = window.findChild<velmor::ui::MapSelection*>("MapSelection");
  if (selection) {
    selection->SetHeatColours(true);
    selection->SelectBlock(velmor::CellBlock::Spanning(3, 4, 6, 9));
    Settle(1000);
    Save(&window, out, "map-block");
    QMenu* menu = selection->BuildMenu(&window);
    SaveMenu(menu, out, "map-menu");
    delete menu;
  }
  SaveMenu(window.findChild<QMenu*>("MenuTools"), out, "menu-tools");

  // The 3D view of the advance map, with the block raised by 3 degrees.
  if (selection) selection->Apply({velmor::MapOperation::Add, 3});
  Trigger(window, "Menu3DView");
  Settle(1500);
  if (auto* view = window.findChild<velmor::ui::MapSurfaceView*>("FormMapSurface")) {
    if (view->Graph()) {
      const QString path = QString("%1/guide-3d-view.png").arg(out);
      // What the screen shows; the graph's own off-screen render ignores the camera.
      view->screen()->grabWindow(view->winId()).save(path);
      std::printf("%s\n", qPrintable(path));
    } else {
      Save(view, out, "3d-view");
    }
    view->hide();
  }

  window.ActivatePage(velmor::PageTuning);
  Settle(1500);
  Save(&window, out, "tuning");

  // A log: recorded for a while, viewed, analysed.
  window.ActivatePage(velmor::PageMonitor);
  Trigger(window, "MenuLogRecord");
  Settle(12000);
  Save(&window, out, "recording");
  Trigger(window, "MenuLogStop");
  Settle(500);
  if (auto* recorder = window.findChild<velmor::ui::LogRecorder*>("LogRecorder")) {
    const QString log = recorder->FilePath();
    recorder->ChooseLog = [log] { return log; };
    Trigger(window, "MenuLogOpen");
    Settle(1500);
    Save(window.findChild<QWidget*>("FormLogViewer"), out, "log-viewer");
    if (auto* viewer = window.findChild<QWidget*>("FormLogViewer")) viewer->hide();
    Trigger(window, "MenuLogAnalyse");
    Settle(1500);
    Save(window.findChild<QWidget*>("DialogLogAnalysis"), out, "log-analysis");
    if (auto* dialog = window.findChild<QWidget*>("DialogLogAnalysis")) dialog->hide();
  }

  // History and compare: the editor, with the raised block, against the tune read.
  window.ActivatePage(velmor::PageAdvance);
  Settle(300);
  Trigger(window, "MenuHistory");
  Settle(1000);
  Save(window.findChild<QWidget*>("HistoryDialog"), out, "history");
  if (auto* compare = window.findChild<QAbstractButton*>("ButtonHistoryCompare")) compare->click();
  Settle(1000);
  Save(window.findChild<QWidget*>("CompareDialog"), out, "compare");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 3 && QString(argv[1]) == "--guide") return Guide(argv[2], argv[3]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_screenshots OUTDIR [LANGUAGEWORD] [DEVICE] [SECONDS]\n");
    return 2;
  }
  const QString out = argv[1];
  QDir().mkpath(out);
  velmor::platform::PortDevices devices;
  if (argc > 3) devices.SetOverride(1, argv[3]);
  velmor::platform::QtSerialPort port(devices);
  QTemporaryDir config;
  velmor::ui::FormOptions options;
  options.ConfigDir = config.path().toStdString();
  options.ProgramDir = config.path().toStdString();
  if (argc > 2) options.Arguments.emplace_back(argv[2]);
  const int seconds = argc > 4 ? std::atoi(argv[4]) : 1;

  velmor::ui::TFormHlav window(port, options);
  window.ShowMessageBox = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
  window.resize(1000, 720);
  window.show();
  auto settle = [&](int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) app.processEvents(QEventLoop::AllEvents, 20);
  };
  settle(seconds * 1000);
  for (int page = 0; page < 13; ++page) {
    window.ActivatePage(page);
    settle(seconds * 1000);
    window.grab().save(QString("%1/page%2.png").arg(out).arg(page, 2, 10, QChar('0')));
  }
  // The About window as it shows itself.
  if (auto* about = window.findChild<QDialog*>("FormAbout")) {
    about->show();
    settle(200);
    about->grab().save(QString("%1/about.png").arg(out));
    about->hide();
  }
  // And the printout of the first injection map (a PDF when no printer exists).
  window.ActivatePage(2);
  settle(seconds * 1000);
  window.SpeedButtonPrintClick();
  std::printf("printout: %s\n", window.LastPrintFile().c_str());
  return 0;
}

// Saves a picture of every page of the window, talking to a unit (or the
// simulated one) on the device given, and prints the Inj. 1 page, so the
// pages and the printout can be looked at:
//   window_screenshots OUTDIR [LANGUAGEWORD] [DEVICE] [SECONDS-PER-PAGE]
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "form_hlav.h"
#include "qt_serial_port.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
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

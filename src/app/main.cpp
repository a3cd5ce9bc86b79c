// Velmor: the window over the core, talking to the unit through QSerialPort.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

#include "files/settings.h"
#include "form_hlav.h"
#include "qt_serial_port.h"

namespace {

// Help documents and data.ign live beside the program; an installed program
// whose directory holds none of them takes the installed data directory.
std::string ProgramDirectory() {
  const QString own = QCoreApplication::applicationDirPath();
  const QString installed = QDir(own).filePath("../share/velmor");
  const bool ownUsable = QFileInfo(own).isWritable() || QFileInfo::exists(QDir(own).filePath("data.ign"));
  if (!ownUsable && QFileInfo(installed).isDir()) return QDir(installed).canonicalPath().toStdString();
  return own.toStdString();
}

// Ctrl+C or a TERM signal closes the window the normal way, so the settings
// and the last-run image are saved as on any close.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void CloseOnSignals(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char c;
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &c, 1);
    window.close();
  });
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velmor");

  velmor::platform::PortDevices devices;
  velmor::platform::QtSerialPort port(devices);
  velmor::ui::FormOptions options;
  options.ConfigDir = velmor::ConfigDirectory();
  QDir().mkpath(QString::fromStdString(options.ConfigDir));
  options.ProgramDir = ProgramDirectory();
  for (int i = 1; i < argc; ++i) options.Arguments.emplace_back(argv[i]);

  try {
    velmor::ui::TFormHlav window(port, options);
    CloseOnSignals(window);
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    // Whatever escapes the event loop is shown, and the program ends quietly.
    QMessageBox::critical(nullptr, "Velmor", QString::fromUtf8(e.what()));
    return 0;
  }
}

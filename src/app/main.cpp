// Velmor: the window over the core, talking to the unit through QSerialPort.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <exception>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

#include "files/settings.h"
#include "ui/window/form_hlav.h"
#include "port_report.h"
#include "qt_serial_port.h"

extern char** environ;

namespace {

// Help documents and data.ign live beside the program; an installed program
// whose directory holds none of them takes the installed data directory.
// Whether the directory is writable does not tell the two apart: root may
// write into /usr/bin.
std::string ProgramDirectory() {
  const QString own = QCoreApplication::applicationDirPath();
  const QString installed = QDir(own).filePath("../share/velmor");
  const bool ownUsable = QFileInfo::exists(QDir(own).filePath("data.ign")) ||
                         QFileInfo::exists(QDir(own).filePath("Velmor_en.pdf"));
  if (!ownUsable && QFileInfo(installed).isDir()) return QDir(installed).canonicalPath().toStdString();
  return own.toStdString();
}

// Ctrl+C or a TERM signal closes the window the normal way, so the settings
// and the last-run image are saved as on any close. The handler only writes
// a byte; the event loop that runs at that moment (the window's, or that of
// a modal box, also one shown while the window is being built) acts on it.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

// Before anything else, so that no moment of the start-up ends the process
// without the save. A signal that comes before the event loop runs waits in
// the pipe.
void CatchSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
  ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);  // a flood of signals never blocks the handler
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

class SignalCloser : public QObject {
 public:
  SignalCloser() {
    if (g_signalPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
      char c[16];
      [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], c, sizeof c);
      Close();
    });
  }
  // The window once it is built; true when a signal came while it was.
  bool Attach(QWidget* window) {
    window_ = window;
    return requested_;
  }

 private:
  void Close() {
    requested_ = true;
    // Every modal box returns as if cancelled, so the code that showed it
    // (the start-up, a command) runs to its end before the window closes.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QDialog*>(w);
      if (box && box->isVisible() && box->isModal()) box->reject();
    }
    if (window_) QTimer::singleShot(0, window_, [w = window_] { w->close(); });
  }
  QPointer<QWidget> window_;
  bool requested_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  CatchSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velmor");
  // The installed menu entry and icon; Wayland compositors match the window
  // to its menu entry by this name.
  QGuiApplication::setDesktopFileName("org.velmor.Velmor");
  QApplication::setWindowIcon(QIcon::fromTheme("org.velmor.Velmor"));
  SignalCloser closer;

  velmor::platform::PortDevices devices;
  velmor::platform::QtSerialPort port(devices);
  velmor::ui::FormOptions options;
  options.ConfigDir = velmor::ConfigDirectory();
  if (options.ConfigDir.empty()) {
    // No home to keep settings in: a folder of this user's for the session,
    // never whatever directory the program was started in.
    options.ConfigDir = QDir::temp().filePath(QString("velmor-config-%1").arg(getuid())).toStdString();
    std::fprintf(stderr, "velmor: no folder for the settings (HOME is not set); using %s\n",
                 options.ConfigDir.c_str());
  }
  QDir().mkpath(QString::fromStdString(options.ConfigDir));
  options.ProgramDir = ProgramDirectory();
  for (int i = 1; i < argc; ++i) options.Arguments.emplace_back(argv[i]);
  velmor::LanguageCode language = velmor::LanguageCode::English;
  options.LanguageChanged = [&port, &language](velmor::LanguageCode l) {
    language = l;
    port.SetLanguage(l);
  };
  options.DiagnosePorts = [&devices, &language](int number) {
    const std::set<int> numbers = number > 0 ? std::set<int>{number} : velmor::platform::PortNumbers(environ);
    return velmor::platform::ReportPorts(numbers, devices, velmor::platform::Identity::Current(), {}, language).Text;
  };

  try {
    velmor::ui::TFormHlav window(port, options);
    if (closer.Attach(&window)) {
      // Asked to close while it was being built: closed before it is shown.
      window.close();
      return 0;
    }
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    // Whatever escapes the event loop is shown, and the program ends quietly.
    QMessageBox::critical(nullptr, "Velmor", QString::fromUtf8(e.what()));
    return 0;
  }
}

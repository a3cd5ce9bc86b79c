// Velmor: the window over the core, talking to the unit through QSerialPort.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>

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
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    // Whatever escapes the event loop is shown, and the program ends quietly.
    QMessageBox::critical(nullptr, "Velmor", QString::fromUtf8(e.what()));
    return 0;
  }
}

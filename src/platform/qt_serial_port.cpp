#include "qt_serial_port.h"

#include <termios.h>
#include <unistd.h>

#include <QTimer>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "lang/port_texts.h"
#include "lang/text_table.h"
#include "port_doctor.h"

namespace velmor::platform {

namespace {

// The quiet time the line keeps between the end of a reply and the next
// request.
constexpr std::int64_t kTurnaroundNs = 2'000'000;

// A pseudo-terminal has no line to drain; waiting on it would only stall the
// tick when the program at the other end stops reading.
bool IsPseudoTerminal(const std::string& path) {
  std::error_code ec;
  const auto real = std::filesystem::canonical(path, ec).string();
  return !ec && (real.rfind("/dev/pts/", 0) == 0 || real == "/dev/ptmx");
}

}  // namespace

std::string DescribeOpenFailure(const std::string& path, QSerialPort::SerialPortError error,
                                LanguageCode language) {
  const auto say = [&](PortText text) { return FillText(PortCaption(text, language), path); };
  if (path.empty()) return say(PortText::NoSuchDevice);
  if (::access(path.c_str(), F_OK) != 0) return say(PortText::NoSuchDevicePath);
  if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) return say(PortText::DialoutHint);
  switch (error) {
    case QSerialPort::PermissionError:
      // The device is readable and writable for us, so the refusal is the
      // exclusive lock of another program.
      return say(PortText::HeldByAnother);
    case QSerialPort::DeviceNotFoundError:
      return say(PortText::NoSuchDevicePath);
    default:
      return say(PortText::CannotOpen);
  }
}

QtSerialPort::QtSerialPort(PortDevices& devices)
    : devices_(devices), port_(std::make_unique<QSerialPort>()) {
  QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                   [this](QSerialPort::SerialPortError e) { OnError(e); });
  // Noted as the bytes come, also when they are fetched from inside a wait.
  QObject::connect(port_.get(), &QSerialPort::readyRead, [this] { sinceArrival_.start(); });
  QObject::connect(
      port_.get(), &QSerialPort::readyRead, port_.get(),
      [this] {
        if (arrival_) arrival_();
      },
      Qt::QueuedConnection);
}

bool QtSerialPort::SetArrivalHandler(std::function<void()> handler) {
  arrival_ = std::move(handler);
  return true;
}

std::size_t QtSerialPort::Peek(std::span<std::uint8_t> dest) {
  if (!port_->isOpen()) return 0;
  const qint64 n = port_->peek(reinterpret_cast<char*>(dest.data()), static_cast<qint64>(dest.size()));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

QtSerialPort::~QtSerialPort() {
  QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
  port_->close();
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // A hang-up (an unplugged adapter, a simulator that stopped) makes Qt 6.4
  // report read errors in a tight loop for as long as the port stays open.
  // Close at once; the engine's reconnection rule opens it again.
  if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
      port_->isOpen()) {
    ++errorCloses_;
    port_->close();
  }
}

bool QtSerialPort::Open(int portNumber) {
  if (port_->isOpen()) port_->close();
  port_->clearError();
  reason_.clear();
  diagnosePending_ = false;
  path_ = devices_.DeviceFor(portNumber);
  if (path_.empty()) {
    reason_ = Summary(DiagnoseNoDevice(portNumber, language_), language_);
    return false;
  }
  port_->setPortName(QString::fromStdString(path_));
  if (!port_->open(QIODevice::ReadWrite)) {
    openError_ = port_->error();
    const char* env = std::getenv(OverrideVariable(portNumber).c_str());
    overrideVariable_ = env && path_ == env ? OverrideVariable(portNumber) : std::string();
    diagnosePending_ = true;
    return false;
  }
  const bool configured = port_->setBaudRate(QSerialPort::Baud57600) &&
                          port_->setDataBits(QSerialPort::Data8) &&
                          port_->setParity(QSerialPort::NoParity) &&
                          port_->setStopBits(QSerialPort::OneStop) &&
                          port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!configured) {
    reason_ = FillText(PortCaption(PortText::CannotSetLine, language_), path_);
    port_->close();
    return false;
  }
  port_->clear(QSerialPort::AllDirections);
  drainOnWrite_ = !IsPseudoTerminal(path_);
  return true;
}

std::string QtSerialPort::OpenErrorReason() const {
  if (diagnosePending_) {
    diagnosePending_ = false;
    reason_ = Summary(DiagnosePort(path_, Identity::Current(), {}, overrideVariable_, language_), language_);
    // Nothing the doctor can see, such as a lock of a process whose open
    // files we may not look at.
    if (reason_.empty()) reason_ = DescribeOpenFailure(path_, openError_, language_);
  }
  return reason_;
}

void QtSerialPort::Close() {
  if (port_->isOpen()) port_->close();
}

bool QtSerialPort::IsOpen() const { return port_->isOpen(); }

std::size_t QtSerialPort::QueuedBytes() {
  if (!port_->isOpen()) return 0;
  // Count what the driver holds now, not only what the event loop has
  // fetched so far: a reply that completed just before the tick fired must
  // be taken at this tick, not at the next one.
  port_->waitForReadyRead(0);
  if (!port_->isOpen()) return 0;
  return static_cast<std::size_t>(port_->bytesAvailable());
}

std::size_t QtSerialPort::Read(std::span<std::uint8_t> dest) {
  if (!port_->isOpen()) return 0;
  const qint64 n = port_->read(reinterpret_cast<char*>(dest.data()),
                               static_cast<qint64>(dest.size()));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void QtSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (!port_->isOpen()) return;
  if (sinceArrival_.isValid()) {
    const std::int64_t wait = kTurnaroundNs - sinceArrival_.nsecsElapsed();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
  }
  port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  // Hand everything to the driver now, then wait until the line has sent it
  // (about 26 ms for a frame), as the unit's protocol expects of a send.
  while (port_->isOpen() && port_->bytesToWrite() > 0) {
    if (!port_->waitForBytesWritten(100)) break;
  }
  if (drainOnWrite_ && port_->isOpen()) ::tcdrain(static_cast<int>(port_->handle()));
}

}  // namespace velmor::platform

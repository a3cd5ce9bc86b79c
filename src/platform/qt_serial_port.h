// The link engine's serial port on QSerialPort: 57600 baud 8N1 without flow
// control, exclusive. Bytes are taken in by QSerialPort from the event loop,
// so the owner must run one (the window does; the command-line tool runs a
// QCoreApplication).
#pragma once

#include <QElapsedTimer>
#include <QSerialPort>
#include <functional>
#include <memory>
#include <string>

#include "lang/catalog.h"
#include "link/serial_port.h"
#include "port_devices.h"

namespace velmor::platform {

class QtSerialPort final : public SerialPort {
 public:
  explicit QtSerialPort(PortDevices& devices);
  ~QtSerialPort() override;

  bool Open(int portNumber) override;
  void Close() override;
  bool IsOpen() const override;
  std::size_t QueuedBytes() override;
  std::size_t Read(std::span<std::uint8_t> dest) override;
  // Waits, if it must, until 2 ms have passed since the last bytes came in:
  // the unit gets a moment between the end of its reply and the next
  // request, as a send at the tick's pace always gave it.
  void Write(std::span<const std::uint8_t> bytes) override;
  // The port's ready-read signal, queued, so that the handler never runs
  // inside one of this port's own calls (which may take in bytes).
  bool SetArrivalHandler(std::function<void()> handler) override;
  std::size_t Peek(std::span<std::uint8_t> dest) override;
  // Why the last open failed, with the fix, from the port doctor; worked
  // out when asked, because Com Auto fails many opens nobody reads about.
  std::string OpenErrorReason() const override;

  // The language the reasons are told in: the window's.
  void SetLanguage(LanguageCode language) { language_ = language; }

  // The device of the last open attempt.
  const std::string& DevicePath() const { return path_; }
  // How often a hang-up or read failure closed the port.
  int ErrorCloses() const { return errorCloses_; }

 private:
  void OnError(QSerialPort::SerialPortError error);

  PortDevices& devices_;
  std::unique_ptr<QSerialPort> port_;
  std::string path_;
  mutable std::string reason_;
  mutable bool diagnosePending_ = false;
  QSerialPort::SerialPortError openError_ = QSerialPort::NoError;
  std::string overrideVariable_;
  bool drainOnWrite_ = false;
  int errorCloses_ = 0;
  LanguageCode language_ = LanguageCode::English;
  std::function<void()> arrival_;
  // Restarted whenever bytes come in.
  QElapsedTimer sinceArrival_;
};

// The reason an open of `path` failed, for a second line under the catalog's
// message: permissions (the dialout group), a port held by another program, a
// missing device.
std::string DescribeOpenFailure(const std::string& path, QSerialPort::SerialPortError error,
                                LanguageCode language = LanguageCode::English);

}  // namespace velmor::platform

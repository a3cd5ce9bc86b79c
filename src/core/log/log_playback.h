// Playing a log through the link as if the unit were connected: a serial
// port that passes everything to the real one, until a playback starts.
// Then the real port is closed, and every monitor poll is answered with the
// frame of the log row at the playback position, so the live display, the
// gauges and the operating-point highlight follow the log through the same
// road as the unit's frames. Block requests get no answer while playing.
// Stopping reopens the real port.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "link/serial_port.h"
#include "log/log_format.h"

namespace velmor {

class LogPlaybackPort : public SerialPort {
 public:
  explicit LogPlaybackPort(SerialPort& real) : real_(real) {}

  bool Open(int portNumber) override;
  void Close() override;
  bool IsOpen() const override;
  std::size_t QueuedBytes() override;
  std::size_t Read(std::span<std::uint8_t> dest) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  std::string OpenErrorReason() const override;

  // Starts playing `log` (which must outlive the playback) from its first
  // row; false for a log without rows.
  bool Start(const LogData& log);
  // Ends the playback and opens the real port again.
  void Stop();
  bool Playing() const { return log_ != nullptr; }

  // Position in milliseconds of the log's time, kept within the log.
  void SetPositionMs(std::int64_t ms);
  std::int64_t PositionMs() const { return positionMs_; }
  std::int64_t StartMs() const;
  std::int64_t EndMs() const;
  // The row at or before the position; nothing while not playing.
  std::optional<LogRow> CurrentRow() const;

 private:
  SerialPort& real_;
  const LogData* log_ = nullptr;
  std::int64_t positionMs_ = 0;
  int portNumber_ = 0;
  bool realWasOpen_ = false;
  std::deque<std::uint8_t> replies_;
};

}  // namespace velmor

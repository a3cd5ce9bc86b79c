// What the link engine needs from a serial port. The platform layer provides
// the real one; tests use a scripted fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace velmor {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Exclusive open of port number `n` (1..21, or 256 from an old settings
  // file) at 57600 baud 8N1 without flow control. False when it fails; the
  // reason is then in OpenErrorReason().
  virtual bool Open(int portNumber) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Bytes waiting in the receive queue; also clears any line-error state.
  // Never blocks.
  virtual std::size_t QueuedBytes() = 0;

  // Reads up to dest.size() already-queued bytes; returns how many were read.
  virtual std::size_t Read(std::span<std::uint8_t> dest) = 0;

  // Writes the bytes and returns once they have left the transmit queue.
  // Write failures are not reported: a frame that never arrives is handled by
  // the resend rule.
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;

  // A short human-readable reason for the last failed Open (empty if unknown).
  virtual std::string OpenErrorReason() const { return {}; }

  // A port that learns when bytes come in keeps `handler` and calls it from
  // its event loop after they came, never from inside one of its own calls,
  // and returns true; an empty handler ends that. A port that cannot tell
  // returns false, and every reply then waits for the tick.
  virtual bool SetArrivalHandler(std::function<void()> handler) {
    (void)handler;
    return false;
  }

  // Copies up to dest.size() queued bytes without taking them from the queue.
  virtual std::size_t Peek(std::span<std::uint8_t> dest) {
    (void)dest;
    return 0;
  }
};

}  // namespace velmor

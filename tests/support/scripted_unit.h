// A unit the tests script, behind a serial port they script: the port
// records every frame the host writes and hands it to a reply function,
// which queues what the unit answers. The link engine tests and the window
// tests use the same pieces, so both speak to the same unit. No Qt here.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/serial_port.h"
#include "model/image.h"

namespace velmor::testsupport {

class ScriptedPort : public SerialPort {
 public:
  bool Open(int n) override {
    opens.push_back(n);
    open = !refuseOpen && failing.count(n) == 0;
    return open;
  }
  // A port that refuses every open is one whose adapter is missing, and
  // says so; otherwise the reason the test gave, if any.
  std::string OpenErrorReason() const override { return refuseOpen ? "no such device: the test's" : reason; }
  void Close() override {
    ++closes;
    open = false;
  }
  bool IsOpen() const override { return open; }
  std::size_t QueuedBytes() override { return rx.size(); }
  std::size_t Read(std::span<std::uint8_t> dest) override {
    const std::size_t n = std::min(dest.size(), rx.size());
    std::copy_n(rx.begin(), n, dest.begin());
    rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    LinkFrame f{};
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), f.size()), f.begin());
    sent.push_back(f);
    if (Reply) Reply(f, *this);
  }

  // A port that tells of arriving bytes (set before the engine is made):
  // the test plays the event loop and calls Arrive() when it likes.
  bool SetArrivalHandler(std::function<void()> handler) override {
    arrival = std::move(handler);
    return notifies;
  }
  std::size_t Peek(std::span<std::uint8_t> dest) override {
    const std::size_t n = std::min(dest.size(), rx.size());
    std::copy_n(rx.begin(), n, dest.begin());
    return n;
  }
  void Arrive() {
    if (arrival && notifies) arrival();
  }

  void Queue(const LinkFrame& f) { rx.insert(rx.end(), f.begin(), f.end()); }
  void QueueBytes(std::initializer_list<std::uint8_t> bytes) { rx.insert(rx.end(), bytes); }

  // The port number of the last open; 0 before any.
  int LastOpened() const { return opens.empty() ? 0 : opens.back(); }
  // Commands of the frames sent, in order.
  std::vector<int> Commands() const {
    std::vector<int> c;
    for (const LinkFrame& f : sent) c.push_back(f[0]);
    return c;
  }

  // Sees every frame written, and may queue the unit's answer.
  std::function<void(const LinkFrame&, ScriptedPort&)> Reply;
  std::vector<LinkFrame> sent;
  std::deque<std::uint8_t> rx;
  std::vector<int> opens;
  std::set<int> failing;    // port numbers whose open fails
  bool refuseOpen = false;  // every open fails
  std::string reason;
  int closes = 0;
  bool open = false;
  bool notifies = false;
  std::function<void()> arrival;
};

// A sealed frame of `code` carrying `payload` (kPayloadSize bytes) or zeros.
inline LinkFrame MakeFrame(std::uint8_t code, const std::uint8_t* payload = nullptr) {
  LinkFrame f{};
  f[0] = code;
  if (payload != nullptr) std::copy_n(payload, kPayloadSize, f.begin() + 1);
  SealFrame(f);
  return f;
}

// A monitor reply: engine speed in word 48, throttle percent in byte 9, the
// unit's saving counter in word 148, protocol version in byte 150;
// everything else zero.
inline LinkFrame MonitorFrame(int rpm, int tpsPercent, std::uint16_t saving = 0) {
  LinkFrame f{};
  f[0] = kMonitorReply;
  f[9] = static_cast<std::uint8_t>(tpsPercent);
  f[48] = static_cast<std::uint8_t>(rpm & 0xFF);
  f[49] = static_cast<std::uint8_t>(rpm >> 8);
  f[148] = static_cast<std::uint8_t>(saving & 0xFF);
  f[149] = static_cast<std::uint8_t>(saving >> 8);
  f[150] = kProtocolVersion;
  SealFrame(f);
  return f;
}

// A unit holding ten blocks: block reads answered from them, block writes
// stored (block 0 only tells who the unit is: a write there is echoed with
// what the unit holds) and echoed, polls answered with a monitor reply.
// Replies are queued at once, so the host takes them in at its next tick.
// Attached, the unit stays the test's to change and inspect; as a copy
// given to ScriptedPort::Reply it keeps its memory to itself.
struct ScriptedUnit {
  std::array<std::array<std::uint8_t, kBlockSize>, kBlockCount> blocks{};
  bool answer = true;                    // false: the unit is silent
  bool answerPolls = true;               // false: polls get no reply
  std::optional<int> corruptEchoOfBlock;  // one wrong echo of that block
  std::uint16_t saving = 0;              // in every monitor reply

  // Zeros, with the protocol version this tool speaks in I+10.
  ScriptedUnit() { blocks[0][10] = kProtocolVersion; }
  explicit ScriptedUnit(const ParameterImage& memory) {
    for (int b = 0; b < kBlockCount; ++b) std::copy_n(memory.Block(b).begin(), kBlockSize, blocks[b].begin());
    blocks[0][10] = kProtocolVersion;
  }

  void operator()(const LinkFrame& request, ScriptedPort& port) {
    if (!answer) return;
    const std::uint8_t cmd = request[0];
    if (cmd == kPollCommand) {
      if (answerPolls) port.Queue(MonitorFrame(0, 0, saving));
      return;
    }
    const int b = cmd & kBlockIndexMask;
    if (b >= kBlockCount) return;
    const bool write = (cmd & kReadFlag) == 0;
    if (write && b != 0) std::copy_n(request.begin() + 1, kBlockSize, blocks[b].begin());
    LinkFrame reply = MakeFrame(static_cast<std::uint8_t>(cmd | kReplyFlag), blocks[b].data());
    if (write && corruptEchoOfBlock == b) {
      reply[5] ^= 0x01;
      SealFrame(reply);
      corruptEchoOfBlock.reset();
    }
    port.Queue(reply);
  }

  void Attach(ScriptedPort& port) {
    port.Reply = [this](const LinkFrame& request, ScriptedPort& p) { (*this)(request, p); };
  }
};

// A unit holding `memory` (block 0 carries protocol version 78) that leaves
// polls unanswered, for tests that queue the monitor replies themselves.
inline ScriptedUnit UnitWithMemory(const ParameterImage& memory) {
  ScriptedUnit unit(memory);
  unit.answerPolls = false;
  return unit;
}

// Answers block writes with their echo (block 0 with an identity of protocol
// version 78) and nothing else, as a unit does that is being programmed.
inline void EchoBlockWrites(const LinkFrame& request, ScriptedPort& port) {
  if (request[0] >= kBlockCount) return;
  LinkFrame reply = request;
  reply[0] = static_cast<std::uint8_t>(request[0] | kReplyFlag);
  if (request[0] == 0) reply[1 + 10] = kProtocolVersion;
  SealFrame(reply);
  port.Queue(reply);
}

}  // namespace velmor::testsupport

// A scripted serial port and a recording host for the link engine tests.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/engine.h"
#include "link/frame.h"

namespace velmor::linktest {

class FakePort : public SerialPort {
 public:
  bool Open(int n) override {
    opens.push_back(n);
    open = failing.count(n) == 0;
    return open;
  }
  void Close() override {
    ++closes;
    open = false;
  }
  bool IsOpen() const override { return open; }
  std::size_t QueuedBytes() override { return rx.size(); }
  std::size_t Read(std::span<std::uint8_t> dest) override {
    std::size_t n = 0;
    while (n < dest.size() && !rx.empty()) {
      dest[n++] = rx.front();
      rx.pop_front();
    }
    return n;
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    LinkFrame f{};
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), kFrameSize), f.begin());
    sent.push_back(f);
    if (responder) responder(f);
  }
  std::string OpenErrorReason() const override { return reason; }

  void Queue(const LinkFrame& f) { rx.insert(rx.end(), f.begin(), f.end()); }
  void QueueBytes(std::initializer_list<std::uint8_t> bytes) { rx.insert(rx.end(), bytes); }

  std::deque<std::uint8_t> rx;
  std::vector<LinkFrame> sent;
  std::vector<int> opens;
  std::set<int> failing;
  std::string reason;
  int closes = 0;
  bool open = false;
  std::function<void(const LinkFrame&)> responder;
};

class RecordingHost : public LinkHost {
 public:
  void TransferPage() override { calls.push_back("TransferPage"); }
  void Normalise() override { calls.push_back("Normalise"); }
  void RefreshPage() override { calls.push_back("RefreshPage"); }
  void MonitorDecoded() override { ++monitorFrames; }
  void ShowMessage(std::string_view text, std::string_view detail) override {
    messages.emplace_back(text);
    details.emplace_back(detail);
  }
  bool TuningOn() const override { return tuning; }
  bool Printing() const override { return printing; }
  void ClearFileName() override { calls.push_back("ClearFileName"); }
  void StatusChanged() override { ++statusChanges; }
  void UnitBlockTaken(int block) override { taken.push_back(block); }
  void TransactionEnded(LinkTransaction kind, LinkOutcome outcome) override { ended.emplace_back(kind, outcome); }

  std::vector<std::string> calls, messages, details;
  std::vector<int> taken;  // blocks reported as the unit's
  std::vector<std::pair<LinkTransaction, LinkOutcome>> ended;
  bool tuning = false, printing = false;
  int monitorFrames = 0, statusChanges = 0;
};

inline LinkFrame MakeFrame(std::uint8_t code, const std::uint8_t* payload = nullptr) {
  LinkFrame f{};
  f[0] = code;
  if (payload != nullptr) std::copy_n(payload, kPayloadSize, f.begin() + 1);
  SealFrame(f);
  return f;
}

}  // namespace velmor::linktest

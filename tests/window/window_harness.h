// Pieces the window tests share: a serial port the test scripts and records,
// monitor replies, and helpers that click, type and press keys on controls
// found by name.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "link/frame.h"
#include "link/serial_port.h"
#include "model/image.h"
#include "up_down.h"

namespace velmor::wtest {

// Records every frame the window writes; replies are queued by the test or
// by `Reply`, which sees each written frame.
class ScriptedPort : public SerialPort {
 public:
  bool Open(int n) override {
    opened = n;
    open = !refuseOpen;
    return open;
  }
  std::string OpenErrorReason() const override { return refuseOpen ? "no such device: the test's" : ""; }
  void Close() override { open = false; }
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
    written.push_back(f);
    if (Reply) Reply(f, *this);
  }
  void Queue(const LinkFrame& f) { rx.insert(rx.end(), f.begin(), f.end()); }

  // Commands of the written frames, in order.
  std::vector<int> Commands() const {
    std::vector<int> c;
    for (const LinkFrame& f : written) c.push_back(f[0]);
    return c;
  }

  std::function<void(const LinkFrame&, ScriptedPort&)> Reply;
  std::vector<LinkFrame> written;
  std::deque<std::uint8_t> rx;
  int opened = 0;
  bool open = false;
  bool refuseOpen = false;  // every open fails, as a port without its adapter
};

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

// A unit holding `memory`: block reads answered from it (block 0 carries
// protocol version 78), block writes stored and echoed, polls left
// unanswered.
inline std::function<void(const LinkFrame&, ScriptedPort&)> UnitWithMemory(ParameterImage memory) {
  memory.I(10) = kProtocolVersion;
  return [memory](const LinkFrame& request, ScriptedPort& port) mutable {
    const int block = request[0] & kBlockIndexMask;
    if (request[0] == kPollCommand || block >= kBlockCount) return;
    const bool read = (request[0] & kReadFlag) != 0;
    if (!read && block != 0) std::copy_n(request.begin() + 1, kBlockSize, memory.Block(block).begin());
    LinkFrame reply{};
    reply[0] = static_cast<std::uint8_t>(request[0] | kReplyFlag);
    const auto content = memory.Block(block);
    std::copy(content.begin(), content.end(), reply.begin() + 1);
    SealFrame(reply);
    port.Queue(reply);
  };
}

// A monitor reply: engine speed in word 48, throttle percent in byte 9,
// protocol version in byte 150; everything else zero.
inline LinkFrame MonitorFrame(int rpm, int tpsPercent) {
  LinkFrame f{};
  f[0] = kMonitorReply;
  f[9] = static_cast<std::uint8_t>(tpsPercent);
  f[48] = static_cast<std::uint8_t>(rpm & 0xFF);
  f[49] = static_cast<std::uint8_t>(rpm >> 8);
  f[150] = kProtocolVersion;
  SealFrame(f);
  return f;
}

// Clicks the up or down arrow of a spinner.
inline bool ClickArrow(ui::UpDown* spinner, bool up) {
  if (!spinner) return false;
  for (QToolButton* b : spinner->findChildren<QToolButton*>()) {
    if (b->arrowType() == (up ? Qt::UpArrow : Qt::DownArrow)) {
      QTest::mouseClick(b, Qt::LeftButton);
      return true;
    }
  }
  return false;
}

// A click on a button's left edge, where a check box has its indicator.
inline void ClickButton(QAbstractButton* b) {
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(6, b->width() / 2), b->height() / 2));
}

// Types a text into an edit box and presses Enter there.
inline void TypeAndEnter(QLineEdit* e, const QString& text) {
  e->setFocus();
  e->setText(text);
  QTest::keyClick(e, Qt::Key_Return);
}

// Clicks the tab of a page.
inline void ClickTab(QTabWidget* tabs, int page) {
  QTabBar* bar = tabs->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

}  // namespace velmor::wtest

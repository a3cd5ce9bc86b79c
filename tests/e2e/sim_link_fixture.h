// The link as the command-line tool runs it, against the simulated unit on a
// pseudo-terminal of the test's own: the real engine, the QSerialPort
// adapter, a windowless host and a tick runner. Com 1 is the simulator's link.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "editor/document.h"
#include "editor/headless_host.h"
#include "link/engine.h"
#include "link_runner.h"
#include "pty_server.h"
#include "qt_serial_port.h"

namespace velmor {

class SimLinkFixture : public ::testing::Test {
 protected:
  explicit SimLinkFixture(int tickMs)
      : link_(dir_.filePath("unit").toStdString()),
        port_(devices_),
        host_(document_),
        engine_(document_.Image, port_, host_),
        runner_(engine_, tickMs) {
    devices_.SetOverride(1, link_);
    host_.OnEnded = [this] { runner_.Poke(); };
  }
  ~SimLinkFixture() override {
    engine_.ClosePort();
    if (server_) server_->Stop();
  }

  void StartSim(sim::SimOptions options = {}) {
    server_ = std::make_unique<sim::PtyServer>(options);
    std::string error;
    ASSERT_TRUE(server_->Start(link_, &error)) << error;
  }
  // Runs the ticks until the transaction started has ended.
  bool RunTransaction(int timeoutMs = 20000) {
    return runner_.RunUntil([&] { return engine_.Outcome() != LinkOutcome::Running; }, timeoutMs);
  }

  QTemporaryDir dir_;
  std::string link_;
  std::unique_ptr<sim::PtyServer> server_;
  platform::PortDevices devices_;
  platform::QtSerialPort port_;
  Document document_;
  HeadlessHost host_;
  LinkEngine engine_;
  platform::LinkRunner runner_;
};

}  // namespace velmor

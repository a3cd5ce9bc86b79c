// Serves a SimUnit on a pseudo-terminal from a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "sim_unit.h"

namespace velmor::sim {

class PtyServer {
 public:
  explicit PtyServer(SimOptions options = {});
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Opens a pseudo-terminal, optionally points a symbolic link at its device
  // (replacing whatever the link pointed at), and starts serving. False with
  // `error` filled when the terminal cannot be had.
  bool Start(const std::string& linkPath = {}, std::string* error = nullptr);
  // Stops serving and closes the terminal: a program that has it open sees a
  // hang-up. The link is left in place so that a restarted server can take it
  // over.
  void Stop();
  bool Running() const { return running_; }

  // The slave device, e.g. /dev/pts/4.
  std::string DevicePath() const { return devicePath_; }

  // Runs `f` on the unit while the server thread waits.
  template <class F>
  auto WithUnit(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(unit_);
  }

  // Called from the server thread with every line of the output-test log.
  void OnTestRequest(std::function<void(const std::string&)> callback) {
    onTest_ = std::move(callback);
  }

  // Milliseconds on the server's clock (the unit's time base).
  double NowMs() const;

 private:
  void Serve();

  SimUnit unit_;
  mutable std::mutex mutex_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  int master_ = -1;
  int slaveHold_ = -1;
  std::string devicePath_;
  std::chrono::steady_clock::time_point epoch_;
  std::function<void(const std::string&)> onTest_;
};

}  // namespace velmor::sim

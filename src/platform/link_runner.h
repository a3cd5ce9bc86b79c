// Runs a link engine's tick from a Qt timer, as the window does: a precise
// timer, because a coarse one may fire up to 5 % early or late and a tick
// that comes a few milliseconds before a reply is complete costs a whole
// period.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "link/engine.h"

namespace velmor::platform {

class LinkRunner {
 public:
  explicit LinkRunner(LinkEngine& engine, int periodMs = 55);

  void Start();
  // Qt::PreciseTimer unless changed (for measurements only).
  void SetTimerType(Qt::TimerType type) { timer_.setTimerType(type); }
  void Stop();
  // Runs the event loop (and so the ticks) until `done` returns true after a
  // tick, or `timeoutMs` passes. True when `done` was reached.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);
  // Runs the event loop for `ms` milliseconds.
  void RunFor(int ms);
  // Asks RunUntil's `done` again now rather than after the next tick: the
  // engine ends a transaction between ticks when it takes replies as they
  // arrive (call it from LinkHost::TransactionEnded).
  void Poke();

  int PeriodMs() const { return periodMs_; }
  std::uint64_t Ticks() const { return ticks_; }

 private:
  LinkEngine& engine_;
  int periodMs_;
  QTimer timer_;
  std::uint64_t ticks_ = 0;
  std::function<void()> afterTick_;
  bool running_ = false;
};

}  // namespace velmor::platform

#include "link_runner.h"

#include <QEventLoop>

namespace velmor::platform {

LinkRunner::LinkRunner(LinkEngine& engine, int periodMs) : engine_(engine), periodMs_(periodMs) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(periodMs_);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    engine_.Tick();
    ++ticks_;
    if (afterTick_) afterTick_();
  });
}

void LinkRunner::Start() { timer_.start(); }
void LinkRunner::Stop() { timer_.stop(); }

bool LinkRunner::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  if (done()) return true;
  QEventLoop loop;
  bool reached = false;
  afterTick_ = [&] {
    if (done()) {
      reached = true;
      loop.quit();
    }
  };
  running_ = true;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  guard.start(timeoutMs);
  const bool wasActive = timer_.isActive();
  if (!wasActive) timer_.start();
  loop.exec();
  if (!wasActive) timer_.stop();
  afterTick_ = nullptr;
  running_ = false;
  return reached;
}

void LinkRunner::Poke() {
  // Not from inside the engine's call: the loop ends once it is back.
  if (running_) QTimer::singleShot(0, &timer_, [this] {
      if (afterTick_) afterTick_();
    });
}

void LinkRunner::RunFor(int ms) {
  RunUntil([] { return false; }, ms);
}

}  // namespace velmor::platform

// Program + verify of the whole image against the simulated unit with real
// 57600-baud line timing, driven by the link engine at 55 ms ticks as the
// window drives it. Reports the wall time from the first frame to the
// verify's success and its ratio to the line limit (19 exchanges, each a
// request and a reply of 26.4 ms).
//
//   link_roundtrip [--runs N] [--coarse] [--tick MS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/headless_host.h"
#include "link/engine.h"
#include "link_runner.h"
#include "pty_server.h"
#include "qt_serial_port.h"

namespace {

// Notes when frames leave, around the real port.
class TimedPort : public velmor::SerialPort {
 public:
  TimedPort(velmor::SerialPort& inner, QElapsedTimer& clock) : inner_(inner), clock_(clock) {}
  bool Open(int n) override { return inner_.Open(n); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  std::size_t QueuedBytes() override { return inner_.QueuedBytes(); }
  std::size_t Read(std::span<std::uint8_t> d) override { return inner_.Read(d); }
  void Write(std::span<const std::uint8_t> b) override {
    if (!b.empty() && b[0] != velmor::kPollCommand && firstBlockMs < 0)
      firstBlockMs = clock_.nsecsElapsed() / 1e6;
    inner_.Write(b);
  }
  std::string OpenErrorReason() const override { return inner_.OpenErrorReason(); }
  double firstBlockMs = -1;

 private:
  velmor::SerialPort& inner_;
  QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int runs = 5;
  int tickMs = 55;
  bool coarse = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--tick") && i + 1 < argc) tickMs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--coarse")) coarse = true;
  }

  QTemporaryDir dir;
  const std::string link = dir.filePath("unit").toStdString();
  velmor::sim::SimOptions options;
  options.LineTiming = true;
  velmor::sim::PtyServer server(options);
  std::string error;
  if (!server.Start(link, &error)) {
    std::fprintf(stderr, "link_roundtrip: %s\n", error.c_str());
    return 1;
  }

  velmor::platform::PortDevices devices;
  devices.SetOverride(1, link);
  velmor::platform::QtSerialPort qtPort(devices);
  QElapsedTimer clock;
  clock.start();
  TimedPort port(qtPort, clock);
  velmor::Document document;
  velmor::ParameterImage& image = document.Image;
  image = server.WithUnit([](velmor::sim::SimUnit& u) { return u.Memory(); });
  velmor::HeadlessHost host(document);
  velmor::LinkEngine engine(image, port, host);
  velmor::platform::LinkRunner runner(engine, tickMs);
  if (coarse) runner.SetTimerType(Qt::CoarseTimer);
  engine.OpenPort();
  if (!qtPort.IsOpen()) {
    std::fprintf(stderr, "link_roundtrip: %s\n", qtPort.OpenErrorReason().c_str());
    return 1;
  }
  runner.RunUntil([&] { return engine.MonitorFrames() > 0; }, 3000);

  const double lineLimitMs = 19 * 2 * velmor::sim::kFrameLineMs;
  std::vector<double> walls;
  std::printf("program + verify, %d ms ticks, %s timer, line limit %.1f ms\n", tickMs,
              coarse ? "coarse" : "precise", lineLimitMs);
  for (int r = 0; r < runs; ++r) {
    image.P(1200 + r % 100) ^= 0x01;  // the note area: something to write each time
    port.firstBlockMs = -1;
    const std::uint64_t ticksBefore = runner.Ticks();
    engine.StartProgram();
    double doneMs = -1;
    std::uint64_t firstTick = 0;
    runner.RunUntil(
        [&] {
          if (port.firstBlockMs >= 0 && firstTick == 0) firstTick = runner.Ticks();
          if (engine.Outcome() == velmor::LinkOutcome::VerifyOk) doneMs = clock.nsecsElapsed() / 1e6;
          return engine.Outcome() != velmor::LinkOutcome::Running;
        },
        20000);
    if (engine.Outcome() != velmor::LinkOutcome::VerifyOk || doneMs < 0) {
      std::fprintf(stderr, "run %d: did not verify (%s)\n", r + 1, engine.Status().Text.c_str());
      return 1;
    }
    const double wall = doneMs - port.firstBlockMs;
    walls.push_back(wall);
    std::printf("run %d: %.1f ms from the first frame to \"Verify: OK\", %llu ticks, ratio %.3f\n",
                r + 1, wall, static_cast<unsigned long long>(runner.Ticks() - firstTick + 1),
                wall / lineLimitMs);
    (void)ticksBefore;
    runner.RunFor(3000);  // let the unit finish saving
  }
  std::sort(walls.begin(), walls.end());
  const double median = walls[walls.size() / 2];
  std::printf("median %.1f ms (min %.1f, max %.1f), ratio to the line limit %.3f\n", median,
              walls.front(), walls.back(), median / lineLimitMs);
  engine.ClosePort();
  server.Stop();
  return 0;
}

// The window's own costs: start-up to the first shown window, a refresh of a
// map page, and the 55 ms tick while the simulated unit answers every poll
// (monitor decode, labels, the operating-point highlight on a map page),
// also while the frames are recorded into a log; and an hour of log opened
// and drawn in the log viewer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "ui/window/form_hlav.h"
#include "link/frame.h"
#include "log/log_format.h"
#include "ui/log/log_viewer.h"
#include "ui/map/map_selection.h"
#include "sim_unit.h"

namespace velmor {
namespace {

// The simulated unit in-process: what the window writes is answered at once.
class InProcessUnit : public SerialPort {
 public:
  bool Open(int) override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  std::size_t QueuedBytes() override {
    unit_.Collect(now_, pending_);
    return pending_.size();
  }
  std::size_t Read(std::span<std::uint8_t> dest) override {
    const std::size_t n = std::min(dest.size(), pending_.size());
    std::copy_n(pending_.begin(), n, dest.begin());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
    return n;
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    now_ += 55;
    unit_.Receive(bytes.data(), bytes.size(), now_);
    now_ += 1;
  }

 private:
  sim::SimUnit unit_;
  std::vector<std::uint8_t> pending_;
  double now_ = 0;
  bool open_ = false;
};

ui::FormOptions Options(const QTemporaryDir& dir) {
  ui::FormOptions o;
  o.ConfigDir = dir.path().toStdString();
  o.ProgramDir = dir.path().toStdString();
  o.StartTimer = false;
  return o;
}

void BM_StartupToShownWindow(benchmark::State& state) {
  QTemporaryDir dir;
  for (auto _ : state) {
    InProcessUnit port;
    ui::TFormHlav window(port, Options(dir));
    window.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.isVisible());
  }
}
BENCHMARK(BM_StartupToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RefreshMapPage(benchmark::State& state) {
  QTemporaryDir dir;
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(static_cast<int>(state.range(0)));
  QApplication::processEvents();
  for (auto _ : state) window.RefreshPage();
}
BENCHMARK(BM_RefreshMapPage)->Arg(PageAdvance)->Arg(PageInj1)->Unit(benchmark::kMicrosecond);

void BM_TickWhileMonitoring(benchmark::State& state) {
  QTemporaryDir dir;
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(PageInj1);
  if (auto* ms = window.findChild<QCheckBox*>("CheckBoxZobrMs_Uni")) ms->setChecked(state.range(0) != 0);
  QApplication::processEvents();
  for (int i = 0; i < 60; ++i) window.Timer1Timer();  // connected, monitoring
  for (auto _ : state) window.Timer1Timer();
  state.counters["frames"] = window.Link().MonitorFrames();
}
BENCHMARK(BM_TickWhileMonitoring)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A monitor frame as the screen shows it: the tick that takes the frame and
// the painting it leads to, on a page without live values and on the map
// the operating point lights. What a window repaints per frame is what the
// fast monitor costs.
void BM_MonitorFramePainted(benchmark::State& state) {
  QTemporaryDir dir;
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(static_cast<int>(state.range(0)));
  QApplication::processEvents();
  for (int i = 0; i < 60; ++i) window.Timer1Timer();  // connected, monitoring
  QApplication::processEvents();
  for (auto _ : state) {
    const std::uint32_t frames = window.Link().MonitorFrames();
    while (window.Link().MonitorFrames() == frames) window.Timer1Timer();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_MonitorFramePainted)->Arg(PageGear)->Arg(PageInj1)->Unit(benchmark::kMicrosecond);

// The same tick while every monitor frame is also recorded into a log; the
// difference to BM_TickWhileMonitoring/0 is what recording costs the tick.
void BM_TickWhileRecording(benchmark::State& state) {
  QTemporaryDir dir;
  qputenv("VELMOR_DATA_DIR", dir.filePath("data").toUtf8());
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(PageInj1);
  QApplication::processEvents();
  for (int i = 0; i < 60; ++i) window.Timer1Timer();
  if (auto* record = window.findChild<QAction*>("MenuLogRecord")) record->trigger();
  const std::uint32_t before = window.Link().MonitorFrames();
  for (auto _ : state) window.Timer1Timer();
  state.counters["rows"] = window.Link().MonitorFrames() - before;
  qunsetenv("VELMOR_DATA_DIR");
}
BENCHMARK(BM_TickWhileRecording)->Unit(benchmark::kMicrosecond);

// A log of `hours` (a row every 330 ms, every column) in `dir`.
QString MakeLog(const QTemporaryDir& dir, int hours) {
  const QString path = dir.filePath(QString("ride-%1h.csv").arg(hours));
  if (QFile::exists(path)) return path;
  LogWriter writer;
  writer.Open(path.toStdString());
  LinkFrame f{};
  f[0] = kMonitorReply;
  f[23] = 185;
  f[24] = 125;
  f[150] = kProtocolVersion;
  for (int i = 0; i < hours * 3600 * 1000 / 330; ++i) {
    const int rpm = 1500 + (i * 37) % 9000;
    f[9] = static_cast<std::uint8_t>(i % 100);
    f[10] = f[11] = static_cast<std::uint8_t>(10 + i % 30);
    f[14] = f[15] = static_cast<std::uint8_t>(20 + i % 60);
    f[30] = static_cast<std::uint8_t>(120 + i % 30);
    f[48] = static_cast<std::uint8_t>(rpm & 0xFF);
    f[49] = static_cast<std::uint8_t>(rpm >> 8);
    writer.Add(LogRowFromMonitorFrame(f.data(), i * 330));
  }
  writer.Close();
  return path;
}

double RssMiB() {
  QFile status("/proc/self/status");
  status.open(QIODevice::ReadOnly);
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  return 0;
}

QTemporaryDir& LogDir() {
  static QTemporaryDir dir;
  return dir;
}

// A log of 1, 10 or 100 hours opened in the viewer and drawn with its
// default channels (seven charts).
void BM_ViewerOpenAndDraw(benchmark::State& state) {
  const QString path = MakeLog(LogDir(), static_cast<int>(state.range(0)));
  double rss = 0;
  for (auto _ : state) {
    ui::LogViewer viewer;
    viewer.resize(1200, 900);
    viewer.Open(path);
    viewer.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(viewer.grab());
    rss = std::max(rss, RssMiB());
  }
  state.counters["rss_MiB"] = rss;
}
BENCHMARK(BM_ViewerOpenAndDraw)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// One wheel step over a chart (in and out in turn, around the middle) and
// one drag step of the pan, each with every chart drawn again.
void BM_ViewerZoomStep(benchmark::State& state) {
  const QString path = MakeLog(LogDir(), static_cast<int>(state.range(0)));
  ui::LogViewer viewer;
  viewer.resize(1200, 900);
  viewer.Open(path);
  viewer.show();
  QApplication::processEvents();
  const auto [from, to] = viewer.WholeTime();
  int step = 0;
  for (auto _ : state) {
    if (state.range(1) == 0) {
      viewer.Zoom((from + to) / 2, step++ % 2 == 0 ? 0.8 : 1.25);
    } else {
      const auto [a, b] = viewer.ShownTime();
      if (step == 0) viewer.ShowTime(from, from + (to - from) / 2);
      viewer.Pan((step++ % 2 == 0 ? 1 : -1) * (b - a) / 20);
    }
    for (QWidget* chart : viewer.Charts()) chart->repaint();
  }
  state.counters["rss_MiB"] = RssMiB();
}
BENCHMARK(BM_ViewerZoomStep)
    ->ArgsProduct({{1, 10, 100}, {0, 1}})
    ->ArgNames({"hours", "pan"})
    ->Unit(benchmark::kMillisecond);

// One block edit of the whole map as a key press makes it: the edit, the
// normalisation, the page refresh with the heat colours, the undo record.
// Steps up and down in turn, so the values stay where they are.
void BM_BlockEditWholeMap(benchmark::State& state) {
  QTemporaryDir dir;
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(static_cast<int>(state.range(0)));
  QApplication::processEvents();
  auto* selection = window.findChild<ui::MapSelection*>("MapSelection");
  selection->SelectBlock(CellBlock::Whole());
  int step = 1;
  for (auto _ : state) {
    selection->Apply({MapOperation::Add, step});
    step = -step;
  }
  state.counters["heat"] = selection->HeatColours() ? 1 : 0;
}
BENCHMARK(BM_BlockEditWholeMap)->Arg(PageAdvance)->Arg(PageInj1)->Unit(benchmark::kMicrosecond);

// The same with smoothing, whose result differs from the map it starts from.
void BM_SmoothWholeMap(benchmark::State& state) {
  QTemporaryDir dir;
  InProcessUnit port;
  ui::TFormHlav window(port, Options(dir));
  window.show();
  window.ActivatePage(PageInj1);
  QApplication::processEvents();
  auto* selection = window.findChild<ui::MapSelection*>("MapSelection");
  selection->SelectBlock(CellBlock::Whole());
  for (auto _ : state) {
    state.PauseTiming();
    window.Image().SetWord(kInj1Map + 2 * MapCell(5, 7), 9000);  // a bump to smooth away
    state.ResumeTiming();
    selection->Apply({MapOperation::Smooth});
  }
}
BENCHMARK(BM_SmoothWholeMap)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmor

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Any content in a monitor reply that passes the checksum: the decoder must
// fill its fixed buffers without overrunning them and keep every gauge in
// range, whatever the unit reports.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/frame.h"
#include "link/monitor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  if (size < 4) return 0;
  static const MonitorStems stems[4] = {MonitorStems::For(LanguageCode::English), MonitorStems::For(LanguageCode::German),
                                        MonitorStems::For(LanguageCode::French), MonitorStems::For(LanguageCode::Czech)};
  MonitorInputs in;
  in.Stems = &stems[data[0] & 3];
  in.ExtendedMonitor = (data[0] & 4) != 0;
  in.GasEnabled = (data[0] & 8) != 0;
  in.IgnLimiterHundreds = data[1];
  in.LambdaBarLow = data[2];
  in.LambdaBarHigh = data[3];
  LinkFrame frame{};
  std::copy_n(data + 4, std::min<std::size_t>(size - 4, kFrameSize), frame.begin());
  frame[0] = kMonitorReply;
  SealFrame(frame);
  LiveValues live;
  MonitorView view;
  std::uint16_t saving = 0;
  if (!DecodeMonitorFrame(frame.data(), in, live, view, saving)) return 0;
  for (const GaugeView& g : view.Gauges) {
    if (g.Position < 0 || g.Position > kMonGaugeMax) std::abort();
  }
  for (const LabelView& l : view.Labels) {
    if (l.Text.Length > l.Text.Chars.size()) std::abort();
  }
  return 0;
}

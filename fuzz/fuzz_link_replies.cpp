// Any bytes on the serial line, taken by the link engine tick by tick in
// every mode: replies with good and bad checksums, cut frames, noise, monitor
// frames with any content. Nothing may crash, hang or read past a buffer, and
// the engine must end every transaction in a defined mode.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "editor/headless_host.h"
#include "link/engine.h"
#include "link/frame.h"

namespace {

using namespace velmor;

// Hands out the fuzzer's bytes in slices of the sizes the input itself asks
// for, so frames arrive whole, split over ticks or glued together.
class FuzzPort : public SerialPort {
 public:
  FuzzPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Open(int) override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  std::size_t QueuedBytes() override {
    if (queued_ == 0 && pos_ < size_) {
      const std::size_t slice = 1 + data_[pos_] * 2;  // up to 511 bytes
      ++pos_;
      queued_ = std::min(slice, size_ - pos_);
    }
    return queued_;
  }
  std::size_t Read(std::span<std::uint8_t> dest) override {
    const std::size_t n = std::min(dest.size(), queued_);
    std::copy_n(data_ + pos_, n, dest.begin());
    pos_ += n;
    queued_ -= n;
    return n;
  }
  void Write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() != kFrameSize) std::abort();  // every request is one whole frame
  }
  bool Done() const { return pos_ >= size_ && queued_ == 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::size_t queued_ = 0;
  bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // A zero image, not the defaults: the engine must cope with any content.
  Document document;
  ParameterImage& image = document.Image;
  image = ParameterImage{};
  FuzzPort port(data + 1, size - 1);
  HeadlessHost host(document);
  host.Tuning = (data[0] & 1) != 0;
  host.Extended = (data[0] & 2) != 0;
  LinkEngine engine(image, port, host);
  engine.OpenPort();
  switch ((data[0] >> 2) & 3) {
    case 1: engine.StartRead(); break;
    case 2: engine.StartVerify(); break;
    case 3: engine.StartProgram(); break;
    default: break;
  }
  // Every attempt limit ends within 5 × 6 ticks per block, so this many ticks
  // after the input is used up the engine must be idle again.
  for (int tick = 0; tick < 4000 && !(port.Done() && tick > 400); ++tick) engine.Tick();
  if (engine.State().Mode != LinkMode::Idle && port.Done()) {
    for (int tick = 0; tick < 400; ++tick) engine.Tick();
    if (engine.State().Mode != LinkMode::Idle) std::abort();
  }
  return 0;
}

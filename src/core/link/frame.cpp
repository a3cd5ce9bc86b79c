#include "link/frame.h"

namespace velmor {

std::uint8_t FrameChecksum(std::span<const std::uint8_t> first151) {
  std::uint8_t sum = 0xFF;
  for (std::size_t i = 0; i < first151.size() && i < kChecksumIndex; ++i) sum ^= first151[i];
  return sum;
}

void SealFrame(LinkFrame& frame) {
  frame[kChecksumIndex] = FrameChecksum(std::span<const std::uint8_t>(frame.data(), kChecksumIndex));
}

bool FrameChecksumValid(const std::uint8_t* bytes) {
  std::uint8_t sum = 0xFF;
  for (int i = 0; i < kFrameSize; ++i) sum ^= bytes[i];
  return sum == 0;
}

}  // namespace velmor

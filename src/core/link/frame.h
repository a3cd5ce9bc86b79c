// The 152-byte frame that crosses the serial line in both directions:
// command or reply code, one 150-byte payload, checksum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmor {

inline constexpr int kFrameSize = 152;
inline constexpr int kPayloadSize = 150;
inline constexpr int kChecksumIndex = 151;

inline constexpr std::uint8_t kPollCommand = 0x30;
inline constexpr std::uint8_t kMonitorReply = 0xB0;
inline constexpr std::uint8_t kReadFlag = 0x40;
inline constexpr std::uint8_t kReplyFlag = 0x80;
inline constexpr std::uint8_t kBlockIndexMask = 0x3F;

// The protocol version this tool speaks; the unit reports its own in I+10 and
// in monitor byte 150.
inline constexpr int kProtocolVersion = 78;

using LinkFrame = std::array<std::uint8_t, kFrameSize>;

// 0xFF exclusive-or'ed with bytes 0..150.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> first151);

// Writes the checksum into byte 151.
void SealFrame(LinkFrame& frame);

// True when the 152 bytes at `bytes` carry a correct checksum (0xFF xor all
// 152 bytes is 0). `bytes` must hold at least 152 bytes.
bool FrameChecksumValid(const std::uint8_t* bytes);

// Little-endian word of a received frame.
inline std::uint16_t FrameWord(const std::uint8_t* frame, int offset) {
  return static_cast<std::uint16_t>(frame[offset] | (frame[offset + 1] << 8));
}

}  // namespace velmor

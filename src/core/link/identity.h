// The three identity texts built from the unit's block 0.
#pragma once

#include <span>
#include <string>

#include "model/image.h"

namespace velmor {

struct IdentityTexts {
  std::string Name;  // LabelVerze1
  std::string Date;  // LabelVerze2
  std::string Time;  // LabelVerze3
  bool operator==(const IdentityTexts&) const = default;
};

// The two month characters of a build month code (the sum of the English
// month abbreviation's letters modulo 64); "00" for an unknown code.
const char* MonthText(std::uint8_t code);

IdentityTexts BuildIdentityTexts(std::span<const std::uint8_t, kBlockSize> block0);

// The protocol version the unit's program speaks, I+10.
inline constexpr int kIdentityVersionByte = 10;

inline int IdentityProtocolVersion(std::span<const std::uint8_t, kBlockSize> block0) {
  return block0[kIdentityVersionByte];
}

}  // namespace velmor

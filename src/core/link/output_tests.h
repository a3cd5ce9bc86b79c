// Output-test buttons and the request bits they set, and the tuning bytes the
// monitor poll carries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/image.h"

namespace velmor {

struct TestButton {
  const char* Name;     // component name, e.g. "ButtonTestJet1A"
  const char* Caption;  // the form's caption, e.g. "Injector 1A"
  std::uint8_t FlagByte;  // TestFlags byte 0..3 (poll byte 20 + FlagByte)
  std::uint8_t Bit;
};

inline constexpr int kTestButtonCount = 21;
extern const std::array<TestButton, kTestButtonCount> kTestButtons;

// The button with this component name, or none.
const TestButton* FindTestButton(std::string_view name);

// ORs the button's request bit into `flags`; false (and no change) for a name
// that is not a test button.
bool MergeTestRequest(std::array<std::uint8_t, 4>& flags, std::string_view buttonName);

// Image bytes copied into poll bytes 1..13 while tuning is on.
struct TuningPollByte {
  int PollByte;
  int ParamOffset;  // P+n; -1 for the tuning-on marker (always 1)
};
inline constexpr std::array<TuningPollByte, 10> kTuningPollBytes{{
    {1, -1}, {2, 290}, {4, 292}, {6, 294}, {7, 295},
    {8, 296}, {9, 297}, {10, 298}, {12, 300}, {13, 301}}};

inline constexpr int kTuningChannelOffset = 300;  // P+300

// Read command of one of the two blocks of the tuning channel's map: channel c
// reads blocks 3 + 2c and 4 + 2c.
constexpr std::uint8_t TuningReadCommand(std::uint8_t channel, std::uint8_t second) {
  return static_cast<std::uint8_t>((channel * 2 + 3 + second) | 0x40);
}

}  // namespace velmor

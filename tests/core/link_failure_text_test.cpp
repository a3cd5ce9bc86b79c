#include <gtest/gtest.h>

#include "link/failure_text.h"

namespace velmor {
namespace {

constexpr std::uint16_t Bits(std::initializer_list<int> blocks) {
  std::uint16_t mask = 0;
  for (int b : blocks) mask = static_cast<std::uint16_t>(mask | 1u << b);
  return mask;
}

// After a failed Program the tuner must know what the unit now holds: the
// blocks it confirmed are new, the one that failed is unknown, the rest old.
TEST(FailureText, SaysWhatFailedAndWhatTheUnitHolds) {
  const struct {
    FailedTransfer failure;
    const char* text;
  } cases[] = {
      {{LinkMode::Verify, 6, true, 0, 0}, "Block 6 differs."},
      {{LinkMode::Verify, 0, false, 0, 0}, "Block 0 did not answer."},
      {{LinkMode::Read, 3, false, 0, 0}, "Block 3 did not answer."},
      {{LinkMode::Program, 1, false, Bits({1, 2, 3, 4, 5, 6, 7, 8, 9}), 0},
       "No block written, block 1 unconfirmed, blocks 2-9 not written: the unit may hold a mixed "
       "configuration, program it again."},
      {{LinkMode::Program, 5, false, Bits({1, 2, 3, 4, 5, 6, 7, 8, 9}), Bits({0, 1, 2, 3, 4})},
       "Blocks 1-4 written, block 5 unconfirmed, blocks 6-9 not written: the unit holds a mixed "
       "configuration, program it again."},
      {{LinkMode::Program, 7, false, Bits({3, 5, 7, 8}), Bits({3, 5})},
       "Blocks 3, 5 written, block 7 unconfirmed, block 8 not written: the unit holds a mixed "
       "configuration, program it again."},
      {{LinkMode::Program, 9, false, Bits({1, 9}), Bits({1})},
       "Block 1 written, block 9 unconfirmed: the unit holds a mixed configuration, program it again."},
      // Block 0 only asks for the identity: failing there, nothing was written.
      {{LinkMode::Program, 0, false, Bits({1, 2}), 0}, "No block written: the unit keeps its configuration."},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeFailure(c.failure), c.text);
}

}  // namespace
}  // namespace velmor

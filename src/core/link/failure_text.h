// What a failed transfer tells the tuner: which block failed and how, and
// after a Program which blocks the unit took, since it then holds the new
// blocks before the failure and its old ones after it.
#pragma once

#include <cstdint>
#include <string>

#include "link/link_state.h"

namespace velmor {

struct FailedTransfer {
  LinkMode Mode = LinkMode::Idle;
  int Block = 0;                // the block being sent or checked
  bool Differed = false;        // a Verify got the block, and it differed
  std::uint16_t Flagged = 0;    // a Program: the blocks it was to write, one bit each
  std::uint16_t Written = 0;    // a Program: the blocks the unit confirmed
};

// "Block 6 differs.", "Blocks 1-4 written, block 5 unconfirmed, blocks 6-9
// not written: the unit holds a mixed configuration, program it again."
std::string DescribeFailure(const FailedTransfer& failure);

// "block 3", "blocks 1-4", "blocks 1, 3, 5-7" for the bits of `mask`.
std::string BlockList(std::uint16_t mask);

}  // namespace velmor

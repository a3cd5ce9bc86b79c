#include "link/failure_text.h"

#include <cctype>

#include "model/image.h"

namespace velmor {

std::string BlockList(std::uint16_t mask) {
  std::string list;
  int count = 0;
  for (int b = 0; b < kBlockCount; ++b) {
    if ((mask >> b & 1) == 0) continue;
    int last = b;
    while (last + 1 < kBlockCount && (mask >> (last + 1) & 1) != 0) ++last;
    if (!list.empty()) list += ", ";
    list += std::to_string(b);
    if (last > b) list += "-" + std::to_string(last);
    count += last - b + 1;
    b = last;
  }
  return (count == 1 ? "block " : "blocks ") + list;
}

std::string DescribeFailure(const FailedTransfer& f) {
  const LinkMode mode = f.Mode;
  const int failing = f.Block;
  const std::string block = "Block " + std::to_string(failing);
  if (mode == LinkMode::Verify) return block + (f.Differed ? " differs." : " did not answer.");
  if (mode != LinkMode::Program) return block + " did not answer.";
  // Block 0 only asks for the unit's identity; the unit stores the others.
  constexpr std::uint16_t blocks = ((1u << kBlockCount) - 1) & ~((1u << kFirstParamBlock) - 1);
  const std::uint16_t written = f.Written & blocks;
  const std::uint16_t failed = static_cast<std::uint16_t>(1u << failing) & blocks;
  const std::uint16_t notWritten = f.Flagged & blocks & ~written & ~failed;
  if (failed == 0) return "No block written: the unit keeps its configuration.";
  std::string text = written != 0 ? BlockList(written) + " written" : "No block written";
  text += ", " + BlockList(failed) + " unconfirmed";
  if (notWritten != 0) text += ", " + BlockList(notWritten) + " not written";
  text += written != 0 ? ": the unit holds a mixed configuration, program it again."
                       : ": the unit may hold a mixed configuration, program it again.";
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace velmor

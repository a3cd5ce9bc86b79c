// Any bytes as a last-run image file; what was read must write and read back
// unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParameterImage image;
  AllCellsFlagArray flags{};
  const int taken = ReadLastImageText(text, image, flags);
  if (taken < 0 || taken > kParamSize + PageCount) std::abort();

  ParameterImage again;
  AllCellsFlagArray againFlags{};
  if (ReadLastImageText(WriteLastImageText(image, flags), again, againFlags) != kParamSize + PageCount) std::abort();
  if (!(again == image) || againFlags != flags) std::abort();
  return 0;
}

// Any bytes as a parameter file, read whole and for one page. What a whole
// read produced must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/ign_file.h"
#include "model/defaults.h"

namespace {

struct Start {
  velmor::ParameterImage Image;
  velmor::DerivedTables Tables;
  Start() { velmor::ApplyDefaults(Image, Tables, velmor::DefaultsScope::Whole); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  static const Start start;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  Start page = start;
  page.Image.P(47) = static_cast<std::uint8_t>(size % 3);
  ReadParameterText(text, page.Image, page.Tables, IgnScope::Page, static_cast<int>(size % PageCount));

  Start first = start;
  if (!ReadParameterText(text, first.Image, first.Tables, IgnScope::WholeFile).Loaded()) return 0;
  const std::string written = WriteParameterText(first.Image, {"d", "t", "n", "Jan  1 2000", "00:00:00"});
  Start second = start;
  if (!ReadParameterText(written, second.Image, second.Tables, IgnScope::WholeFile).Loaded()) std::abort();
  // On/off values are written as 0 or 1, and a memo's leading blank lines
  // and blanks are not kept; every other byte comes back.
  for (int n = 0; n < kMemoStart; ++n) {
    if (n == 98 || n == 107) continue;
    if (first.Image.P(n) != second.Image.P(n)) std::abort();
  }
  return 0;
}

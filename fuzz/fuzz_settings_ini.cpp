// Any bytes as a settings file and as a test-mode marker. The settings read
// must stay within their tables' limits and survive being written into the
// same file and read again; what a save writes over any file must never be a
// file the next start sets aside. Run with inputs beyond the 64 KiB limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/settings.h"

namespace {

bool Same(const velmor::Settings& a, const velmor::Settings& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Height == b.Height && a.Width == b.Width &&
         a.Selection.Language == b.Selection.Language && a.Selection.PortSelection == b.Selection.PortSelection &&
         a.Selection.ScanIndex == b.Selection.ScanIndex && a.File == b.File && a.IniDir == b.IniDir &&
         a.PageIndex == b.PageIndex && a.CellsInMs == b.CellsInMs &&
         a.ExtendedMonitor == b.ExtendedMonitor && a.AllPositions == b.AllPositions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadTestModeText(text);

  Settings s;
  ReadSettingsText(text, s);
  if (s.Selection.Language > 3 || s.PageIndex < 0 || s.PageIndex >= PageCount) std::abort();

  if (text.size() > kMaxSettingsBytes && UnusableSettingsText(text).empty()) std::abort();

  Settings again;
  again.Selection.PortSelection = 42;  // every key is present now: nothing of this may survive
  again.PageIndex = 3;
  ReadSettingsText(WriteSettingsText(s, text), again);
  if (!Same(s, again)) std::abort();

  const std::string saved = SettingsFileText(s, text);
  if (!UnusableSettingsText(saved).empty()) std::abort();
  Settings reloaded;
  ReadSettingsText(saved, reloaded);
  if (!Same(s, reloaded)) std::abort();
  return 0;
}

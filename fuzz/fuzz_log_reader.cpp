// Any bytes as a log: the reader either refuses them with a reason or gives
// rows, and rows written back read as the same rows; any target table text
// is refused or read; any row played back becomes a frame that decodes to it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "log/log_format.h"
#include "log/map_analysis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmor;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::array<std::uint16_t, kMapCells> table{};
  std::string error;
  ParseTargetTable(text, table, error);

  const LogReadResult r = ParseLog(text);
  if (!r.Ok) {
    if (r.Error.empty()) std::abort();
    return 0;
  }
  std::string written;
  AppendLogHeader(written);
  for (std::size_t i = 0; i < r.Data.Size(); ++i) AppendLogRow(r.Data.Row(i), written);
  const LogReadResult again = ParseLog(written);
  if (!again.Ok || again.Data.Size() != r.Data.Size()) std::abort();
  for (std::size_t i = 0; i < r.Data.Size(); ++i) {
    const LogRow a = r.Data.Row(i);
    const LogRow b = again.Data.Row(i);
    for (int c = 0; c < kLogColumnCount; ++c) {
      // Columns the file lacks come back empty; the rest as they were.
      if (r.Data.Present[c] ? a.Values[c] != b.Values[c] : b.Values[c] != kLogMissing) std::abort();
    }
    MonitorFrameFromLogRow(a);
  }
  return 0;
}

// The engine's live operating point on the page shown: which map cell, axis
// point, table column or gear the unit is using now. `ShowOperatingPoint`
// runs at the end of every tick; it computes a set of lit controls, and
// `ApplyHighlight` tells the window which controls actually change colour.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "link/monitor.h"
#include "model/image.h"

namespace velmor {

// The live values the highlight and the editing tools read: those of the
// last accepted monitor frame.
using EngineReading = LiveValues;

// Kept by the window; each part is rewritten while its page is shown, and
// the Minus/Plus tools act on it.
struct OperatingPoint {
  int Column = 0;         // map column 0..14
  int Row = 0;            // map row 0..9
  int PositionIndex = 0;  // Position A table index 0..14
};

// Every control the highlight can colour, one bit each.
enum HighlightId : int {
  HlMapCell = 0,                             // 150: EditMapCell<k>
  HlCellTimeLabel = HlMapCell + kMapCells,   // 150: CellTimeLabel<k>
  HlRpmAxis = HlCellTimeLabel + kMapCells,   // 15: EditRpmAxisField<i>
  HlTpsRowLabel = HlRpmAxis + kMapColumns,   // 10: TpsRowLabel<j>
  HlPositionRpm = HlTpsRowLabel + kMapRows,   // 15
  HlPosition = HlPositionRpm + kMapColumns, // 15
  HlInjectionByCoolant = HlPosition + kMapColumns,    // 5: coolant correction of injection
  HlAdvanceByCoolant = HlInjectionByCoolant + 5,                 // 5: coolant correction of advance
  HlInjectionByAir = HlAdvanceByCoolant + 5,               // 5: air correction of injection
  HlAfterStartTime = HlInjectionByAir + 5,              // 5: start-correction times
  HlAfterStartCorrection = HlAfterStartTime + 5,           // 5: start-correction percentages
  HlRpmSpeedPerGear = HlAfterStartCorrection + 5,    // 6: ratio edits
  HlLabelRpmSpeedRatio = HlRpmSpeedPerGear + 6,
  HlButtonGear = HlLabelRpmSpeedRatio + 6,   // 6: bold caption, not a colour
  HlLabelMonRpmSpeedRatioAuto = HlButtonGear + 6,
  HlLabelMonGearAuto = HlLabelMonRpmSpeedRatioAuto + 6,
  HlGearAdvanceCorrection = HlLabelMonGearAuto + 6,
  HlGearInjectionCorrection = HlGearAdvanceCorrection + 6,
  HlLabelGearCorrection = HlGearInjectionCorrection + 6,
  HlClutch = HlLabelGearCorrection + 6,             // 24: pair p, row r at HlClutch + 6p + r
  HlLabelRaceGear = HlClutch + 24,
  HighlightCount = HlLabelRaceGear + 6,
};

// How a control shows being lit.
enum class HighlightKind : std::uint8_t {
  Edit,         // lime, else the window colour
  Label,        // lime, else the button-face colour
  BoldCaption,  // bold caption, else normal
};

std::string_view HighlightName(int id);
HighlightKind HighlightKindOf(int id);

inline constexpr int kHighlightWords = (HighlightCount + 63) / 64;

struct HighlightBits {
  std::array<std::uint64_t, kHighlightWords> Words{};
  bool Test(int id) const { return (Words[id >> 6] >> (id & 63)) & 1u; }
  void Set(int id, bool on) {
    const std::uint64_t bit = std::uint64_t{1} << (id & 63);
    Words[id >> 6] = on ? (Words[id >> 6] | bit) : (Words[id >> 6] & ~bit);
  }
  bool operator==(const HighlightBits&) const = default;
};

// Managed: the controls this pass decides (the groups of the page shown).
// Lit: of those, the ones at the operating point. Controls outside Managed
// keep whatever they show.
struct HighlightSet {
  HighlightBits Managed;
  HighlightBits Lit;
  bool IsLit(int id) const { return Lit.Test(id); }
  bool IsManaged(int id) const { return Managed.Test(id); }
};

// Computes the highlight for `page` and rewrites the parts of `point` that
// belong to it (map column and row on pages 1..3, the position index on 4).
// `msMode` is the map editor's "Ms" check box.
void ShowOperatingPoint(const ParameterImage& image, int page, bool msMode, const EngineReading& live,
                        OperatingPoint& point, HighlightSet& out);

// Calls apply(id, lit) for every managed control whose colour differs from
// `shown` (what the window shows now; all plain at creation), then records
// the new state in `shown`. Returns how many controls changed.
template <typename Apply>
int ApplyHighlight(HighlightBits& shown, const HighlightSet& next, Apply&& apply) {
  int changes = 0;
  for (int w = 0; w < kHighlightWords; ++w) {
    std::uint64_t diff = next.Managed.Words[w] & (next.Lit.Words[w] ^ shown.Words[w]);
    shown.Words[w] ^= diff;
    while (diff != 0) {
      const int bit = std::countr_zero(diff);
      diff &= diff - 1;
      const int id = 64 * w + bit;
      apply(id, next.Lit.Test(id));
      ++changes;
    }
  }
  return changes;
}

// Locating helpers (midpoint rule: the first index whose value is below the
// midpoint to the next point, else the last index).
// Column of `rpm` on the 15-point axis at P+axisOffset (hundreds of rpm).
int LocateRpm(const ParameterImage& image, int axisOffset, std::uint16_t rpm);
// Row of `tpsPercent` on the fixed throttle rows.
int LocateTpsRow(std::uint16_t tpsPercent);
// Index on the five-point temperature axis; `faultIndex` for a raw value of
// 0 (sensor fault); -1 at 125 °C and above.
int LocateTemperature(std::uint16_t raw, int faultIndex);
// Index 0..4 of the start-correction table for the time since start.
int LocateStartTime(const ParameterImage& image, std::uint16_t startTime);

}  // namespace velmor

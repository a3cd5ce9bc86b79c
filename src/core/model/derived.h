// Tables derived from the image: the model base tables, the base injection
// times of both maps, the editor's percent view of the maps, and the
// arithmetic that converts between them.
#pragma once

#include <array>
#include <cstdint>

#include "model/image.h"

namespace velmor {

using Map150 = std::array<std::uint16_t, kMapCells>;
using Table100 = std::array<std::uint16_t, 100>;

// Everything the window holds beside the image for the injection maps. The
// percent maps are the editor's view; the image holds absolute times.
struct DerivedTables {
  Table100 ModelBase1{};
  Table100 ModelBase2{};
  Map150 BaseTime1{};
  Map150 BaseTime2{};
  Map150 PercentMap1{};
  Map150 PercentMap2{};
};

// First word index of each injection map (word w is at P+2w).
inline constexpr int kInj1FirstWord = kInj1Map / 2;  // 300
inline constexpr int kInj2FirstWord = kInj2Map / 2;  // 450

// Displacement in cm3 of a bike model (any unknown model counts as 620).
int ModelDisplacement(int model);

// Clamped linear interpolation between a at xa and b at xb, truncating.
std::uint16_t Interpolate(std::uint32_t xa, std::uint32_t xb, std::uint32_t x,
                          std::uint32_t a, std::uint32_t b);
// Interpolates along rpm at both load rows, then along load; each step truncates.
std::uint16_t Interpolate2D(std::uint32_t xa, std::uint32_t xb, std::uint32_t x,
                            std::uint32_t ya, std::uint32_t yb, std::uint32_t y,
                            std::uint32_t q11, std::uint32_t q12, std::uint32_t q21,
                            std::uint32_t q22);

// Model base tables from P+0, then base times of both maps from their axes.
void BuildModelBaseTables(const ParameterImage& image, DerivedTables& tables);
void BuildBaseTimes(const ParameterImage& image, DerivedTables& tables);
inline void RebuildBaseTimes(const ParameterImage& image, DerivedTables& tables) {
  BuildModelBaseTables(image, tables);
  BuildBaseTimes(image, tables);
}

// The highest percentage a cell of either injection map holds.
inline constexpr int kPercentCellMax = 32000;

// The time of one cell from its percentage: (pct * base + 50) / 100, at most 65535.
std::uint16_t PercentToTime(std::uint16_t percent, std::uint16_t base);
// The percentage a cell's time shows over its base time: (word * 1000 / base + 5) / 10.
std::uint16_t TimeToPercentOf(std::uint16_t word, std::uint16_t base);
// One cell's time from its percentage. A word that already shows that
// percentage over that base keeps its exact value: the unit's tuning and the
// log corrections set times between whole percentages, and an edit that does
// not change what a cell shows must not round them away.
void StorePercentCell(ParameterImage& image, int offset, std::uint16_t percent, std::uint16_t base);
// Writes a map of times from percentages, StorePercentCell cell by cell.
void ScaleToTime(const Map150& percent, const Map150& base, int firstWord, ParameterImage& image);
// Percentages from a map of times: (word * 1000 / base + 5) / 10.
void TimeToPercent(const ParameterImage& image, int firstWord, const Map150& base, Map150& percent);

// Both maps from their percent tables (the end of the defaults, a model change).
void ScaleBothMapsToTime(const DerivedTables& tables, ParameterImage& image);

// Brings both percent tables in step with the maps the image holds now, over
// base times rebuilt from the image. Run before anything recomputes the maps
// from percentages, so that a loaded or read map is never replaced by stale
// percentages.
void RefreshPercentMaps(const ParameterImage& image, DerivedTables& tables);

// Coupled editing: map 1's page was transferred with a new axis and new
// percentages while P+47 is 1; map 2's axis and percentages move by the same
// amounts (axis points limited to 0..255, percentages to 0..kPercentCellMax), then
// percent table 1 takes the new values. Map 2's percentages are first taken
// from the map the image holds, so a map 2 changed while its page was hidden
// is moved, not replaced.
void ApplyCoupledEdit(ParameterImage& image, DerivedTables& tables,
                      const std::array<std::uint8_t, kMapColumns>& newAxis1,
                      const Map150& newPercent1);

// " 1 = 2": map 2's axis and words become map 1's, and percent table 2 follows.
void CopyMap1ToMap2(ParameterImage& image, DerivedTables& tables);

// While the maps are coupled, map 2 only follows map 1: the page commands
// (new for the page, open for the page) refuse both injection-map pages.
bool PageRefusedWhileCoupled(const ParameterImage& image, int page);

// The map mode chosen in the menu. Coupled and " 1 = 2" share map 1's RPM
// axis, so map 2 takes it at once; Separate keeps map 2's axis as it is.
void SetMapMode(ParameterImage& image, MapMode mode);

// The map editor's contents stored as the map of `page` (1..3; other pages
// are ignored): the RPM axis in hundreds of rpm and the cells (degrees on the
// advance page, percentages on an injection page, which become times over
// base times rebuilt from the new axis). Map 1 in the coupled mode moves
// map 2 along (ApplyCoupledEdit); in " 1 = 2" map 2 becomes map 1.
void StoreMapPage(ParameterImage& image, DerivedTables& tables, int page,
                  const std::array<std::uint8_t, kMapColumns>& axis, const Map150& cells);

}  // namespace velmor

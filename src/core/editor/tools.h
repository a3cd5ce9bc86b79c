// The editing tools that act directly on the image or on the percent view of
// the injection maps: one-unit steps of map cells, map columns and the
// injection-position table, the idle-table shift, and the capture of live
// throttle voltages and gear ratios as calibration points.
//
// Each returns true when the window must run AfterChange (normalise, refresh,
// record for undo); false means the tool stopped at once and nothing changed.
#pragma once

#include <cstdint>

#include "editor/operating_point.h"
#include "model/derived.h"
#include "model/image.h"

namespace velmor {

enum class StepDirection : int { Down = -1, Up = 1 };

// Bounds of one step.
inline constexpr int kAdvanceStepMax = 255;
inline constexpr int kPercentStepMax = 65535;
inline constexpr int kPositionStepMax = 144;  // 720 crank degrees

// Minus / Plus (F4 / F5, MapStepButton) on `page`. Pages 1..3 step the map:
// all 150 cells when `allCells` (the page's "All" box), otherwise the cell at
// `point`, which needs a running engine (live.Rpm 0 does nothing). Coupled
// maps step map 2 with map 1, and page 3 refuses while coupled. Page 4 runs
// the position step; the window transfers page 4 before calling, as the
// position step's own handler does. Other pages step nothing.
bool StepMap(ParameterImage& image, DerivedTables& tables, int page, bool allCells, StepDirection dir,
             const EngineReading& live, const OperatingPoint& point, bool positionAll);

// The injection-position table P+390..P+404: all fifteen bytes when
// `all` (CheckBoxAll_PolohaA), otherwise the one at `positionIndex`.
bool StepPosition(ParameterImage& image, bool all, int positionIndex, StepDirection dir);

// One column of the map of `page` (ColumnStepButton). A column outside
// 0..14 counts as 14, as a sender that is none of the first fourteen buttons.
bool StepColumn(ParameterImage& image, DerivedTables& tables, int page, int column, StepDirection dir);

// 1 while the idle mode P+333 is 0, else 10.
int IdleStep(const ParameterImage& image);
// Upper limit of the idle table: the spinner's maximum for the idle mode.
int IdleTableMax(const ParameterImage& image);

// Shifts the nine idle words P+340.. by IdleStep. Down leaves a word that is
// not above the step; up stops at IdleTableMax, so no word wraps past 65535.
bool StepIdle(ParameterImage& image, StepDirection dir);

// The live throttle voltage as the 0 % point (300..2500 mV) or the 100 %
// point (2500..4900 mV); outside its window the capture is ignored (false).
bool CaptureTps0(ParameterImage& image, std::uint16_t tpsMillivolts);
bool CaptureTps100(ParameterImage& image, std::uint16_t tpsMillivolts);

// The live RPM/speed ratio as the ratio of gear 1..6, stored only while gear
// detection uses the ratio table (P+136 = 0). Always true: the window
// refreshes even when nothing was stored.
bool CaptureGearRatio(ParameterImage& image, int gear, std::uint16_t rpmSpeedRatio);

}  // namespace velmor

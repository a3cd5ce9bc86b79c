#include "editor/tools.h"

#include <algorithm>

#include "editor/names.h"

namespace velmor {
namespace {

// One step inside [0, max]: a value at the bound stays. Returns whether the
// value changed.
template <typename T>
bool StepValue(T& value, StepDirection dir, int max) {
  const int v = value;
  if (dir == StepDirection::Down) {
    if (v <= 0) return false;
    value = static_cast<T>(v - 1);
  } else {
    if (v >= max) return false;
    value = static_cast<T>(v + 1);
  }
  return true;
}

bool StepByte(ParameterImage& image, int offset, StepDirection dir, int max) {
  return StepValue(image.P(offset), dir, max);
}

bool StepPercent(Map150& map, int k, StepDirection dir) { return StepValue(map[k], dir, kPercentStepMax); }

bool IsCoupled(const ParameterImage& image) { return image.P(kMapModeByte) == MapModeCoupled; }

// The maps are rewritten from the percent tables below; take those from the
// image first, so a table that lags behind (the map of a page not shown, a
// read or load since the last refresh) cannot overwrite the map with old
// values. For the map on the page shown this reproduces what it displays.
void SyncPercentTables(const ParameterImage& image, DerivedTables& tables) {
  RefreshPercentMaps(image, tables);
}

}  // namespace

bool StepPosition(ParameterImage& image, bool all, int positionIndex, StepDirection dir) {
  constexpr int kPosition = 390;
  if (all) {
    for (int i = 0; i < kMapColumns; ++i) StepByte(image, kPosition + i, dir, kPositionStepMax);
  } else {
    const int i = std::clamp(positionIndex, 0, kMapColumns - 1);
    StepByte(image, kPosition + i, dir, kPositionStepMax);
  }
  return true;
}

bool StepMap(ParameterImage& image, DerivedTables& tables, int page, bool allCells, StepDirection dir,
             const EngineReading& live, const OperatingPoint& point, bool positionAll) {
  if (page == PagePosition) return StepPosition(image, positionAll, point.PositionIndex, dir);
  if (page != PageAdvance && page != PageInj1 && page != PageInj2) return true;  // nothing to step
  // Map 2 follows map 1 while coupled; it is never stepped by itself.
  if (page == PageInj2 && IsCoupled(image)) return false;
  // A single cell is the engine's cell; without a running engine there is none.
  if (!allCells && live.Rpm == 0) return false;

  const int k = MapCell(std::clamp(point.Row, 0, kMapRows - 1), std::clamp(point.Column, 0, kMapColumns - 1));
  if (page == PageAdvance) {
    if (allCells) {
      for (int c = 0; c < kMapCells; ++c) StepByte(image, kAdvanceMap + c, dir, kAdvanceStepMax);
    } else {
      StepByte(image, kAdvanceMap + k, dir, kAdvanceStepMax);
    }
    return true;
  }

  SyncPercentTables(image, tables);
  const bool second = page == PageInj2;
  const bool both = !second && IsCoupled(image);
  Map150& first = second ? tables.PercentMap2 : tables.PercentMap1;
  const Map150& firstBase = second ? tables.BaseTime2 : tables.BaseTime1;
  const int firstWord = second ? kInj2FirstWord : kInj1FirstWord;

  bool changed1 = false, changed2 = false;
  if (allCells) {
    for (int c = 0; c < kMapCells; ++c) changed1 |= StepPercent(first, c, dir);
    if (both) {
      for (int c = 0; c < kMapCells; ++c) changed2 |= StepPercent(tables.PercentMap2, c, dir);
    }
  } else {
    changed1 = StepPercent(first, k, dir);
    if (both) changed2 = StepPercent(tables.PercentMap2, k, dir);
  }
  if (changed1) ScaleToTime(first, firstBase, firstWord, image);
  if (changed2) ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
  return true;
}

bool StepColumn(ParameterImage& image, DerivedTables& tables, int page, int column, StepDirection dir) {
  const int col = column >= 0 && column < kMapColumns - 1 ? column : kMapColumns - 1;
  if (page == PageAdvance) {
    for (int r = 0; r < kMapRows; ++r) StepByte(image, kAdvanceMap + MapCell(r, col), dir, kAdvanceStepMax);
    return true;
  }
  if (page != PageInj1 && page != PageInj2) return true;
  // The column buttons are hidden on a coupled map 2; refuse as the map step does.
  if (page == PageInj2 && IsCoupled(image)) return false;

  SyncPercentTables(image, tables);
  if (page == PageInj1) {
    for (int r = 0; r < kMapRows; ++r) StepPercent(tables.PercentMap1, MapCell(r, col), dir);
    ScaleToTime(tables.PercentMap1, tables.BaseTime1, kInj1FirstWord, image);
    if (IsCoupled(image)) {
      for (int r = 0; r < kMapRows; ++r) StepPercent(tables.PercentMap2, MapCell(r, col), dir);
      ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
    }
  } else {
    for (int r = 0; r < kMapRows; ++r) StepPercent(tables.PercentMap2, MapCell(r, col), dir);
    ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
  }
  return true;
}

int IdleStep(const ParameterImage& image) { return image.P(333) == 0 ? 1 : 10; }

int IdleTableMax(const ParameterImage& image) { return image.P(333) == 0 ? 100 : 12000; }

bool StepIdle(ParameterImage& image, StepDirection dir) {
  constexpr int kIdleTable = 340;
  const int step = IdleStep(image);
  const int max = IdleTableMax(image);
  for (int i = 0; i < kIdleTableRows; ++i) {
    const int offset = kIdleTable + 2 * i;
    const int word = image.Word(offset);
    if (dir == StepDirection::Down) {
      if (word > step) image.SetWord(offset, static_cast<std::uint16_t>(word - step));
    } else if (word < max) {
      // The field shows at most the spinner's maximum; stopping there keeps
      // the image equal to what the page shows.
      image.SetWord(offset, static_cast<std::uint16_t>(std::min(word + step, max)));
    }
  }
  return true;
}

bool CaptureTps0(ParameterImage& image, std::uint16_t tpsMillivolts) {
  if (tpsMillivolts < 300 || tpsMillivolts > 2500) return false;
  image.P(33) = static_cast<std::uint8_t>(tpsMillivolts / 10);
  return true;
}

bool CaptureTps100(ParameterImage& image, std::uint16_t tpsMillivolts) {
  if (tpsMillivolts < 2500 || tpsMillivolts > 4900) return false;
  image.P(34) = static_cast<std::uint8_t>(tpsMillivolts / 10 - 250);
  return true;
}

bool CaptureGearRatio(ParameterImage& image, int gear, std::uint16_t rpmSpeedRatio) {
  if (image.P(136) == 0 && gear >= 1 && gear <= kGearCount) image.SetWord(160 + 2 * gear, rpmSpeedRatio);
  return true;
}

}  // namespace velmor

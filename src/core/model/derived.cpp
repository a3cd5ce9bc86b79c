#include "model/derived.h"

#include <algorithm>

namespace velmor {
namespace {

// Grids of the built-in base tables.
constexpr std::array<std::uint32_t, 10> kRpmBreakpoints{1000, 2000,  3000,  4000,  6000,
                                                        8000, 10000, 12000, 14000, 16000};
constexpr std::array<std::uint32_t, 10> kLoadBreakpoints{0, 20, 50, 100, 200, 300, 400, 600, 800, 1000};

// Base injection times for a 600 cm3 engine, units of 10 us; row = load
// breakpoint, column = rpm breakpoint.
constexpr std::array<std::uint16_t, 100> kBuiltInTable1{
    110, 80,  65,  65,  55,  45,  50,  50,  50,  50,   //
    120, 80,  65,  60,  50,  50,  50,  50,  50,  50,   //
    137, 95,  75,  63,  48,  43,  33,  21,  21,  21,   //
    163, 135, 113, 88,  58,  55,  55,  55,  55,  55,   //
    235, 195, 153, 138, 115, 100, 95,  95,  95,  95,   //
    287, 245, 200, 170, 143, 140, 130, 122, 122, 122,  //
    343, 303, 270, 230, 168, 185, 188, 188, 188, 188,  //
    355, 355, 353, 325, 248, 258, 243, 211, 211, 211,  //
    355, 345, 398, 445, 485, 475, 445, 385, 385, 385,  //
    360, 345, 395, 400, 475, 570, 550, 430, 430, 430};
constexpr std::array<std::uint16_t, 100> kBuiltInTable2{
    110, 80,  65,  65,  55,  45,  50,  50,  50,  50,   //
    120, 80,  65,  60,  50,  50,  50,  50,  50,  50,   //
    137, 95,  75,  63,  48,  43,  35,  15,  15,  15,   //
    163, 135, 113, 88,  58,  55,  55,  55,  55,  55,   //
    245, 170, 160, 148, 118, 90,  85,  85,  85,  85,   //
    305, 245, 213, 188, 160, 130, 125, 117, 117, 117,  //
    363, 288, 290, 248, 193, 165, 188, 188, 188, 188,  //
    375, 335, 395, 325, 255, 213, 260, 232, 232, 232,  //
    395, 290, 448, 505, 565, 440, 495, 535, 535, 535,  //
    395, 285, 465, 445, 510, 595, 575, 515, 515, 515};

void BuildBaseTimesOfMap(const ParameterImage& image, int axis, const Table100& model, Map150& base) {
  for (int r = 0; r < kMapRows; ++r) {
    for (int k = 0; k < kMapColumns; ++k) {
      const std::uint32_t x = image.P(axis + k) * 100u;
      const std::uint32_t y = kLoadBreakpoints[r];
      int i = 1;
      while (i < 9 && kRpmBreakpoints[i] <= x) ++i;
      int j = 1;
      while (j < 9 && kLoadBreakpoints[j] <= y) ++j;
      const std::uint32_t q11 = model[10 * (j - 1) + (i - 1)] * 10u;
      const std::uint32_t q12 = model[10 * (j - 1) + i] * 10u;
      const std::uint32_t q21 = model[10 * j + (i - 1)] * 10u;
      const std::uint32_t q22 = model[10 * j + i] * 10u;
      const std::uint16_t v =
          Interpolate2D(kRpmBreakpoints[i - 1], kRpmBreakpoints[i], x, kLoadBreakpoints[j - 1],
                        kLoadBreakpoints[j], y, q11, q12, q21, q22);
      base[MapCell(r, k)] = std::max<std::uint16_t>(v, 100);
    }
  }
}

}  // namespace

int ModelDisplacement(int model) {
  static constexpr std::array<int, 8> kDisplacement{749, 999, 620, 620, 690, 1000, 1000, 1098};
  return model >= 0 && model < 8 ? kDisplacement[model] : 620;
}

std::uint16_t Interpolate(std::uint32_t xa, std::uint32_t xb, std::uint32_t x, std::uint32_t a,
                          std::uint32_t b) {
  std::uint32_t v;
  if (x <= xa) {
    v = a;
  } else if (x >= xb) {
    v = b;
  } else if (a == b) {
    v = a;
  } else if (b > a) {
    v = a + (x - xa) * (b - a) / (xb - xa);
  } else {
    v = b + (xb - x) * (a - b) / (xb - xa);
  }
  return static_cast<std::uint16_t>(v);
}

std::uint16_t Interpolate2D(std::uint32_t xa, std::uint32_t xb, std::uint32_t x, std::uint32_t ya,
                            std::uint32_t yb, std::uint32_t y, std::uint32_t q11, std::uint32_t q12,
                            std::uint32_t q21, std::uint32_t q22) {
  const std::uint16_t a = Interpolate(xa, xb, x, q11, q12);
  const std::uint16_t b = Interpolate(xa, xb, x, q21, q22);
  return Interpolate(ya, yb, y, a, b);
}

void BuildModelBaseTables(const ParameterImage& image, DerivedTables& tables) {
  const std::uint32_t displacement = static_cast<std::uint32_t>(ModelDisplacement(image.P(0)));
  for (int k = 0; k < 100; ++k) {
    tables.ModelBase1[k] = static_cast<std::uint16_t>(displacement * kBuiltInTable1[k] / 600);
    tables.ModelBase2[k] = static_cast<std::uint16_t>(displacement * kBuiltInTable2[k] / 600);
  }
}

void BuildBaseTimes(const ParameterImage& image, DerivedTables& tables) {
  BuildBaseTimesOfMap(image, kInj1Axis, tables.ModelBase1, tables.BaseTime1);
  BuildBaseTimesOfMap(image, kInj2Axis, tables.ModelBase2, tables.BaseTime2);
}

std::uint16_t PercentToTime(std::uint16_t percent, std::uint16_t base) {
  const std::uint32_t t = (std::uint32_t{percent} * base + 50) / 100;
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(t, 65535));
}

std::uint16_t TimeToPercentOf(std::uint16_t word, std::uint16_t base) {
  // Base times are never below 100; a zero would only come from a table
  // that was never built, and must not divide by zero.
  const std::uint32_t b = std::max<std::uint32_t>(base, 1);
  return static_cast<std::uint16_t>((std::uint32_t{word} * 1000 / b + 5) / 10);
}

void StorePercentCell(ParameterImage& image, int offset, std::uint16_t percent, std::uint16_t base) {
  if (TimeToPercentOf(image.Word(offset), base) == percent) return;
  image.SetWord(offset, PercentToTime(percent, base));
}

void ScaleToTime(const Map150& percent, const Map150& base, int firstWord, ParameterImage& image) {
  for (int k = 0; k < kMapCells; ++k) StorePercentCell(image, 2 * (firstWord + k), percent[k], base[k]);
}

void TimeToPercent(const ParameterImage& image, int firstWord, const Map150& base, Map150& percent) {
  for (int k = 0; k < kMapCells; ++k) percent[k] = TimeToPercentOf(image.Word(2 * (firstWord + k)), base[k]);
}

void ScaleBothMapsToTime(const DerivedTables& tables, ParameterImage& image) {
  ScaleToTime(tables.PercentMap1, tables.BaseTime1, kInj1FirstWord, image);
  ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
}

void RefreshPercentMaps(const ParameterImage& image, DerivedTables& tables) {
  RebuildBaseTimes(image, tables);
  TimeToPercent(image, kInj1FirstWord, tables.BaseTime1, tables.PercentMap1);
  TimeToPercent(image, kInj2FirstWord, tables.BaseTime2, tables.PercentMap2);
}

void ApplyCoupledEdit(ParameterImage& image, DerivedTables& tables,
                      const std::array<std::uint8_t, kMapColumns>& newAxis1, const Map150& newPercent1) {
  // Map 2's percentages are taken from the image here: its page may not have
  // been shown since an undo or a read changed it, and the differences must
  // move that map, not put back an older one.
  RebuildBaseTimes(image, tables);
  TimeToPercent(image, kInj2FirstWord, tables.BaseTime2, tables.PercentMap2);
  for (int k = 0; k < kMapColumns; ++k) {
    const int o = image.P(kInj1Axis + k);
    const int n = newAxis1[k];
    if (n != o) {
      // Limited to what a byte holds: wrapping would turn an axis point of
      // 27000 rpm into 1400 rpm. Normalisation then brings it back to 25000.
      const int sum = std::clamp(image.P(kInj2Axis + k) + n - o, 0, 255);
      image.P(kInj2Axis + k) = static_cast<std::uint8_t>(sum);
    }
    image.P(kInj1Axis + k) = newAxis1[k];
  }
  for (int k = 0; k < kMapCells; ++k) {
    const int o = tables.PercentMap1[k];
    const int n = newPercent1[k];
    if (n != o) {
      tables.PercentMap2[k] = static_cast<std::uint16_t>(std::clamp(tables.PercentMap2[k] + n - o, 0, kPercentCellMax));
    }
  }
  tables.PercentMap1 = newPercent1;
  RebuildBaseTimes(image, tables);
  ScaleToTime(tables.PercentMap1, tables.BaseTime1, kInj1FirstWord, image);
  ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
}

void CopyMap1ToMap2(ParameterImage& image, DerivedTables& tables) {
  for (int k = 0; k < kMapColumns; ++k) image.P(kInj2Axis + k) = image.P(kInj1Axis + k);
  for (int n = 0; n < 2 * kMapCells; ++n) image.P(kInj2Map + n) = image.P(kInj1Map + n);
  RebuildBaseTimes(image, tables);
  TimeToPercent(image, kInj2FirstWord, tables.BaseTime2, tables.PercentMap2);
}

bool PageRefusedWhileCoupled(const ParameterImage& image, int page) {
  return (page == PageInj1 || page == PageInj2) && image.P(kMapModeByte) == MapModeCoupled;
}

void SetMapMode(ParameterImage& image, MapMode mode) {
  image.P(kMapModeByte) = mode;
  if (mode != MapModeNormal) {
    for (int i = 0; i < kMapColumns; ++i) image.P(kInj2Axis + i) = image.P(kInj1Axis + i);
  }
}

void StoreMapPage(ParameterImage& image, DerivedTables& tables, int page,
                  const std::array<std::uint8_t, kMapColumns>& axis, const Map150& cells) {
  if (page != PageAdvance && page != PageInj1 && page != PageInj2) return;
  const std::uint8_t mode = image.P(kMapModeByte);
  if (page == PageInj1 && mode == MapModeCoupled) {
    ApplyCoupledEdit(image, tables, axis, cells);
    return;
  }
  const int axisOffset = page == PageAdvance ? kAdvanceAxis : page == PageInj1 ? kInj1Axis : kInj2Axis;
  for (int i = 0; i < kMapColumns; ++i) image.P(axisOffset + i) = axis[i];
  RebuildBaseTimes(image, tables);
  if (page == PageAdvance) {
    for (int k = 0; k < kMapCells; ++k) image.P(kAdvanceMap + k) = static_cast<std::uint8_t>(cells[k]);
  } else if (page == PageInj1) {
    tables.PercentMap1 = cells;
    ScaleToTime(tables.PercentMap1, tables.BaseTime1, kInj1FirstWord, image);
    if (mode == MapModeEqual) CopyMap1ToMap2(image, tables);
  } else {
    tables.PercentMap2 = cells;
    ScaleToTime(tables.PercentMap2, tables.BaseTime2, kInj2FirstWord, image);
  }
}

}  // namespace velmor

#include "model/defaults.h"

#include <array>

namespace velmor {
namespace {

// Every rpm axis starts from this list (rpm / 100).
constexpr std::array<std::uint8_t, 15> kRpmAxis{10, 20, 30, 40, 50, 55, 60, 65,
                                                70, 75, 80, 90, 100, 110, 120};
constexpr std::array<std::uint8_t, 15> kAdvanceCurve{9, 19, 30, 36, 36, 35, 34, 34,
                                                     34, 34, 34, 34, 34, 34, 34};
// 273, 277, 291 ... degrees divided by 5 with truncation.
constexpr std::array<std::uint8_t, 15> kPositionCurve{54, 55, 58, 56, 58, 53, 47, 47,
                                                      46, 45, 44, 44, 44, 44, 44};
constexpr std::array<std::uint16_t, 9> kTemperatureSensorCurve{4505, 3832, 3159, 2412, 1665,
                                                               1203, 741,  536,  331};
constexpr std::array<std::uint16_t, 9> kIdleServo{1800, 1800, 1800, 1550, 1400,
                                                  1200, 1200, 1200, 1200};
constexpr std::array<std::uint8_t, 9> kIdleAdvanceRpm{36, 36, 35, 32, 31, 31, 31, 31, 29};
constexpr std::array<std::uint16_t, 6> kGearRatios{2000, 1000, 666, 500, 400, 333};
constexpr std::array<std::uint16_t, 9> kCalibrationWords{194, 166, 149, 136, 126,
                                                         114, 100, 95,  91};

template <std::size_t N>
void SetBytes(ParameterImage& image, int start, const std::array<std::uint8_t, N>& values) {
  for (std::size_t i = 0; i < N; ++i) image.P(start + static_cast<int>(i)) = values[i];
}
template <std::size_t N>
void SetWords(ParameterImage& image, int start, const std::array<std::uint16_t, N>& values) {
  for (std::size_t i = 0; i < N; ++i) image.SetWord(start + 2 * static_cast<int>(i), values[i]);
}
void Fill(ParameterImage& image, int start, int count, std::uint8_t value) {
  for (int i = 0; i < count; ++i) image.P(start + i) = value;
}

void BikePage(ParameterImage& image) {
  image.P(25) = image.P(26) = image.P(27) = 1;
  image.P(29) = 108;
  image.P(28) = static_cast<std::uint8_t>(image.P(29) / 3 * 2);
  image.P(30) = image.P(31) = 111;
  image.P(32) = 20;
  image.P(35) = 102;
  image.P(41) = 104;
  image.P(36) = 2;
  image.P(37) = 100;
  // Input-pin assignments follow the model's wiring.
  switch (image.P(0)) {
    case 0: case 1: image.P(38) = 1; image.P(39) = 1; image.P(40) = 0; break;
    case 2: case 5: image.P(38) = 0; image.P(39) = 0; image.P(40) = 0; break;
    case 3: case 6: image.P(38) = 0; image.P(39) = 0; image.P(40) = 1; break;
    case 4: case 7: image.P(38) = 1; image.P(39) = 1; image.P(40) = 1; break;
    default: break;
  }
  image.P(318) = 100;
  image.P(319) = 200;
  image.P(320) = 10;
  image.P(321) = 120;
  Fill(image, kMemoStart, kMemoSize, 0);
}

void AdvancePage(ParameterImage& image) {
  SetBytes(image, kAdvanceAxis, kRpmAxis);
  for (int r = 0; r < kMapRows; ++r) SetBytes(image, kAdvanceMap + kMapColumns * r, kAdvanceCurve);
  image.P(42) = 1;
  image.P(43) = image.P(44) = 100;
  image.P(45) = 0;
}

void PositionPage(ParameterImage& image) {
  SetBytes(image, kPositionAxis, kRpmAxis);
  SetBytes(image, 390, kPositionCurve);
  image.P(56) = 0;
}

void CorrectionsPage(ParameterImage& image) {
  SetBytes(image, 67, std::array<std::uint8_t, 4>{5, 10, 15, 20});
  SetBytes(image, 71, std::array<std::uint8_t, 4>{150, 50, 30, 10});
  image.P(90) = 30;
  image.P(91) = 84;
  SetBytes(image, 80, std::array<std::uint8_t, 5>{113, 109, 105, 100, 97});
  SetBytes(image, 85, std::array<std::uint8_t, 5>{109, 105, 100, 100, 100});
  SetBytes(image, 93, std::array<std::uint8_t, 5>{110, 110, 100, 100, 95});
  image.P(92) = 10;
  image.SetWord(280, 0);
  image.SetWord(282, 0);
  image.SetWord(286, 60);
  image.SetWord(284, 50);
}

void SensorsPage(ParameterImage& image) {
  image.SetWord(6, 55);
  image.SetWord(8, 2247);
  image.SetWord(10, 105);
  image.SetWord(12, 4744);
  image.P(33) = 34;
  image.P(34) = 223;
  image.P(302) = 0;
  ApplyLambdaTableDefault(image);
  SetWords(image, 194, kTemperatureSensorCurve);
  SetWords(image, 212, kTemperatureSensorCurve);
}

void IdlePage(ParameterImage& image) {
  image.P(333) = 0;
  image.P(334) = 15;
  image.P(335) = 40;
  image.P(336) = 1;
  image.P(337) = 6;
  image.P(338) = 6;
  image.P(339) = 20;
  image.SetWord(372, 2000);
  SetWords(image, 340, kIdleServo);
  image.P(358) = 0;
  image.P(359) = 13;
  image.P(360) = 3;
  image.P(361) = 22;
  SetBytes(image, 362, kIdleAdvanceRpm);
  // The speed sensor belongs to the Gear page but is reset with the idle group.
  image.P(138) = 1;
  image.SetWord(160, 364);
}

void N2OPage(ParameterImage& image) {
  image.P(98) = 0;
  image.P(99) = 20;
  image.P(100) = 60;
  image.P(101) = 30;
  image.P(102) = 20;
  image.P(103) = 0;
  image.P(104) = 0;
  image.P(105) = 30;
  image.P(106) = 20;
  image.P(158) = image.P(159) = 0;
}

void RacePage(ParameterImage& image) {
  for (int i = 0; i < 6; ++i) {
    image.P(108 + i) = static_cast<std::uint8_t>(image.P(29) - 20);
    image.P(114 + i) = static_cast<std::uint8_t>(image.P(29) - 15);
    image.P(121 + i) = 20;
    image.P(127 + i) = 50;
  }
  image.P(120) = 0;
  image.P(133) = 20;
  image.P(134) = 50;
  image.P(135) = 0;
  image.P(107) = 0;
}

void GearPage(ParameterImage& image) {
  image.P(136) = 2;
  image.P(137) = 6;
  SetWords(image, 162, kGearRatios);
  image.P(154) = 3;
  image.P(155) = 15;
  image.P(156) = 20;
  image.P(157) = 40;
  Fill(image, 174, 12, 100);
}

void TuningPage(ParameterImage& image) {
  image.P(290) = 1;
  image.P(292) = 145;
  image.P(294) = 3;
  image.P(295) = 20;
  image.P(296) = 3;
  image.P(297) = 20;
  image.P(298) = 1;
  image.P(300) = 1;
  image.P(301) = 10;
  image.P(326) = 50;
  image.P(327) = 50;
}

void MonitorPage(ParameterImage& image) {
  SetBytes(image, 322, std::array<std::uint8_t, 4>{100, 120, 140, 180});
}

}  // namespace

void ApplyLambdaTableDefault(ParameterImage& image) {
  if (image.P(302) == 1) {
    SetBytes(image, 303, std::array<std::uint8_t, 5>{100, 120, 140, 160, 180});
    SetWords(image, 308, std::array<std::uint16_t, 5>{0, 1190, 2500, 3750, 5000});
  } else {
    SetBytes(image, 303, std::array<std::uint8_t, 5>{100, 130, 140, 150, 180});
    SetWords(image, 308, std::array<std::uint16_t, 5>{900, 840, 760, 50, 0});
  }
}

void ApplyModelFixedBytes(ParameterImage& image) {
  image.P(2) = 0;
  image.P(3) = 65;
  image.P(5) = 0;
}

void ApplyModelHeader(ParameterImage& image) {
  image.P(4) = image.P(0) == 2 ? 30 : 19;
  ApplyModelFixedBytes(image);
}

void ApplyCalibrationConstants(ParameterImage& image) {
  image.P(191) = 0;
  image.P(192) = 55;
  image.P(193) = 103;
  SetWords(image, 230, kCalibrationWords);
  image.P(252) = 108;
  image.P(253) = 5;
  image.P(254) = 50;
  // These belong to the unit's first hardware revision, marked by P+2 = 0.
  if (image.P(2) == 0) {
    image.P(261) = 22;
    image.P(262) = 40;
    SetBytes(image, 265, std::array<std::uint8_t, 8>{12, 4, 15, 23, 2, 16, 7, 13});
    image.P(275) = 0;
    image.P(276) = 24;
  }
}

void ApplyDefaults(ParameterImage& image, DerivedTables& tables, DefaultsScope scope, int page) {
  const bool whole = scope == DefaultsScope::Whole;
  auto group = [&](int p) { return whole || page == p; };

  // The percent tables may lag behind maps loaded or read since the map pages
  // were last shown; the closing recomputation must start from the maps the
  // image holds, not from stale percentages.
  RefreshPercentMaps(image, tables);

  image.P(1) = 0;
  if (whole) image.P(kMapModeByte) = MapModeEqual;

  if (group(PageBike)) BikePage(image);
  if (group(PageAdvance)) AdvancePage(image);
  if (group(PageInj1)) {
    SetBytes(image, kInj1Axis, kRpmAxis);
    tables.PercentMap1.fill(100);
  }
  if (whole || (page == PageInj2 && image.P(kMapModeByte) != MapModeCoupled)) {
    SetBytes(image, kInj2Axis, kRpmAxis);
    tables.PercentMap2.fill(100);
  }
  if (group(PagePosition)) PositionPage(image);
  if (group(PageCorrections)) CorrectionsPage(image);
  if (group(PageSensors)) SensorsPage(image);
  if (group(PageIdle)) IdlePage(image);
  if (group(PageN2O)) N2OPage(image);
  if (group(PageRace)) RacePage(image);
  if (group(PageGear)) GearPage(image);
  if (group(PageTuning)) TuningPage(image);
  if (group(PageMonitor)) MonitorPage(image);

  ApplyModelHeader(image);
  RebuildBaseTimes(image, tables);
  ScaleBothMapsToTime(tables, image);
  ApplyCalibrationConstants(image);
}

void BeginBikeModelChange(ParameterImage& image, DerivedTables& tables, int item) {
  RefreshPercentMaps(image, tables);
  if (item >= 0 && item < kBikeModelCount) image.P(0) = static_cast<std::uint8_t>(item);
}

void FinishBikeModelChange(ParameterImage& image, DerivedTables& tables) {
  ApplyModelHeader(image);
  RebuildBaseTimes(image, tables);
  ScaleBothMapsToTime(tables, image);
}

bool ChangeBikeModel(ParameterImage& image, DerivedTables& tables, int item, DefaultsAnswer answer) {
  if (item < 0 || item >= kBikeModelCount || answer == DefaultsAnswer::Cancel) return false;
  // The same model without its defaults is no change at all: its header
  // values would otherwise go back to the model's own.
  if (answer == DefaultsAnswer::No && item == image.P(0)) return false;
  BeginBikeModelChange(image, tables, item);
  if (answer == DefaultsAnswer::Yes) ApplyDefaults(image, tables, DefaultsScope::Whole);
  FinishBikeModelChange(image, tables);
  return true;
}

}  // namespace velmor

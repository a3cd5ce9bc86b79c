#include <gtest/gtest.h>

#include <numeric>

#include "model/defaults.h"
#include "model/derived.h"
#include "model/normalise.h"
#include "test_images.h"

namespace velmor {
namespace {

using testsupport::DefaultImage;

TEST(ModelInterpolate, ClampsAndTruncates) {
  struct Case { std::uint32_t xa, xb, x, a, b, expected; };
  const Case cases[] = {
      {10, 20, 15, 100, 0, 50},  {10, 20, 13, 0, 10, 3},  // falling and rising
      {10, 20, 5, 7, 9, 7},      {10, 20, 25, 7, 9, 9},   // outside: end values
      {10, 20, 10, 7, 9, 7},     {10, 20, 20, 7, 9, 9},   // on the points
      {10, 20, 17, 4, 4, 4},                              // flat
      {10, 20, 11, 0, 9, 0},     {10, 20, 11, 9, 0, 8},   // truncation both ways
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Interpolate(c.xa, c.xb, c.x, c.a, c.b), c.expected)
        << c.xa << ".." << c.xb << " at " << c.x << " from " << c.a << " to " << c.b;
  }
  // Each axis truncates by itself: 5 and 5 along rpm, then halfway along load.
  EXPECT_EQ(Interpolate2D(0, 2, 1, 0, 2, 1, 0, 11, 0, 11), 5);
}

TEST(ModelBaseTimes, FollowTheModelAndTheRpmAxis) {
  DefaultImage f(0);
  const std::uint16_t row0[] = {137, 99, 81, 81, 68, 56, 62, 62, 62, 62};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(f.tables.ModelBase1[k], row0[k]) << k;

  struct Case { int rpmOver100; std::uint16_t base; };
  const Case cases[] = {{10, 1370}, {15, 1180}, {8, 1370}, {200, 620}};
  for (const auto& c : cases) {
    f.image.P(kInj1Axis) = static_cast<std::uint8_t>(c.rpmOver100);
    BuildBaseTimes(f.image, f.tables);
    EXPECT_EQ(f.tables.BaseTime1[MapCell(0, 0)], c.base) << c.rpmOver100 * 100 << " rpm";
  }
}

TEST(ModelBaseTimes, NeverBelow100) {
  DefaultImage f(2);  // 620 cm3: 15 * 620 / 600 = 15 -> 150 us at 12000 rpm, TPS 5 %
  ParameterImage img = f.image;
  img.P(0) = 99;  // unknown models count as 620 cm3
  RebuildBaseTimes(img, f.tables);
  for (auto t : f.tables.BaseTime2) EXPECT_GE(t, 100);
}

TEST(ModelPercent, ScaleToTimeRoundsHalvesUpAndSaturates) {
  struct Case { std::uint16_t pct, base, word; };
  const Case cases[] = {{100, 1234, 1234}, {1, 149, 1}, {1, 150, 2}, {32000, 5000, 65535}, {0, 5000, 0}};
  for (const auto& c : cases) {
    Map150 pct{}, base{};
    pct.fill(c.pct);
    base.fill(c.base);
    ParameterImage img;
    ScaleToTime(pct, base, kInj2FirstWord, img);
    EXPECT_EQ(img.Word(kInj2Map), c.word) << c.pct << "% of " << c.base;
    EXPECT_EQ(img.Word(kInj2Map + 298), c.word);
    EXPECT_EQ(img.Word(kInj1Map), 0) << "map 1 untouched";
  }
}

// A time between whole percentages (the unit's tuning, a log correction)
// stays exactly as it is while its percentage is written back unchanged;
// only a new percentage is rounded to its time.
TEST(ModelPercent, RoundTripKeepsATimeWhosePercentageStays) {
  ParameterImage img;
  Map150 base{}, pct{};
  base.fill(1370);
  img.SetWord(kInj1Map, 1234);
  img.SetWord(kInj1Map + 2, 1234);
  TimeToPercent(img, kInj1FirstWord, base, pct);
  EXPECT_EQ(pct[0], 90);
  pct[1] = 91;
  ScaleToTime(pct, base, kInj1FirstWord, img);
  EXPECT_EQ(img.Word(kInj1Map), 1234);
  EXPECT_EQ(img.Word(kInj1Map + 2), 1247);

  // 1 decimal truncated, then halves up: 1370 * 0.9049 = 1239.7 -> 90.4 -> 90; 1241 -> 90.5 -> 91.
  img.SetWord(kInj1Map, 1241);
  TimeToPercent(img, kInj1FirstWord, base, pct);
  EXPECT_EQ(pct[0], 91);
}

TEST(ModelDefaults, DependOnTheModel) {
  struct Case { int model; int p38, p39, p40, p4; };
  const Case cases[] = {{0, 1, 1, 0, 19}, {1, 1, 1, 0, 19}, {2, 0, 0, 0, 30}, {3, 0, 0, 1, 19},
                        {4, 1, 1, 1, 19}, {5, 0, 0, 0, 19}, {6, 0, 0, 1, 19}, {7, 1, 1, 1, 19}};
  for (const auto& c : cases) {
    DefaultImage f(c.model);
    EXPECT_EQ(f.image.P(38), c.p38) << "model " << c.model;
    EXPECT_EQ(f.image.P(39), c.p39) << "model " << c.model;
    EXPECT_EQ(f.image.P(40), c.p40) << "model " << c.model;
    EXPECT_EQ(f.image.P(4), c.p4) << "model " << c.model;
  }
  // An unknown model keeps the pin bytes it had.
  ParameterImage img;
  DerivedTables t;
  img.P(0) = 9;
  img.P(38) = 7;
  ApplyDefaults(img, t, DefaultsScope::Whole);
  EXPECT_EQ(img.P(38), 7);
}

TEST(ModelDefaults, WholeScopeGivesAConsistentImage) {
  DefaultImage f(1);
  const ParameterImage& img = f.image;
  EXPECT_EQ(img.P(47), MapModeEqual);
  EXPECT_EQ(img.P(28), 72);
  EXPECT_EQ(img.P(108), 88);
  EXPECT_EQ(img.P(114), 93);
  // Both maps sit at 100 % of their base times.
  for (int k = 0; k < kMapCells; ++k) {
    ASSERT_EQ(img.Word(kInj1Map + 2 * k), f.tables.BaseTime1[k]) << k;
    ASSERT_EQ(img.Word(kInj2Map + 2 * k), f.tables.BaseTime2[k]) << k;
  }
  // Coolant and air sensor curves, and the fixed calibration constants.
  const std::uint16_t curve[] = {4505, 3832, 3159, 2412, 1665, 1203, 741, 536, 331};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(img.Word(194 + 2 * i), curve[i]);
    EXPECT_EQ(img.Word(212 + 2 * i), curve[i]);
  }
  EXPECT_EQ(img.P(3), 65);
  EXPECT_EQ(img.P(193), 103);
  EXPECT_EQ(img.Word(230), 194);
  EXPECT_EQ(img.Word(246), 91);
  EXPECT_EQ(img.P(276), 24);
  EXPECT_EQ(img.P(270), 16);
  // The defaults are already normal: the pass changes nothing.
  ParameterImage normalised = img;
  PersistedSelection sel;
  Normalise(normalised, sel);
  EXPECT_EQ(normalised, img);
}

TEST(ModelDefaults, PageScopeTouchesOnlyItsGroup) {
  DefaultImage f(0);
  ParameterImage& img = f.image;
  img.P(29) = 100;
  img.P(138) = 0;
  img.SetWord(160, 1);
  img.P(47) = MapModeNormal;
  img.P(1) = 5;
  img.P(4) = 77;
  ParameterImage before = img;

  ApplyDefaults(img, f.tables, DefaultsScope::Page, PageRace);
  EXPECT_EQ(img.P(108), 80);
  EXPECT_EQ(img.P(113), 80);
  EXPECT_EQ(img.P(119), 85);
  EXPECT_EQ(img.P(114), 85);
  EXPECT_EQ(img.P(47), MapModeNormal) << "only the whole scope resets the map mode";
  EXPECT_EQ(img.P(1), 0) << "always cleared";
  EXPECT_EQ(img.P(4), 19) << "model header always rewritten";

  ApplyDefaults(img, f.tables, DefaultsScope::Page, PageGear);
  EXPECT_EQ(img.P(138), 0) << "the speed sensor belongs to the idle group";
  EXPECT_EQ(img.Word(160), 1);
  ApplyDefaults(img, f.tables, DefaultsScope::Page, PageIdle);
  EXPECT_EQ(img.P(138), 1);
  EXPECT_EQ(img.Word(160), 364);

  // Nothing outside those groups and the opening/closing bytes moved.
  for (int n = 0; n < kParamSize; ++n) {
    const bool expected = n == 1 || n == 4 || (n >= 108 && n <= 135) || n == 107 || (n >= 136 && n <= 185) ||
                          n == 138 || n == 160 || n == 161 || (n >= 333 && n <= 373);
    if (!expected) {
      ASSERT_EQ(img.P(n), before.P(n)) << "P+" << n;
    }
  }
}

TEST(ModelDefaults, Map2PageRefusedWhileCoupled) {
  DefaultImage f(0);
  f.image.P(47) = MapModeCoupled;
  f.image.P(kInj2Axis) = 12;
  ApplyDefaults(f.image, f.tables, DefaultsScope::Page, PageInj2);
  EXPECT_EQ(f.image.P(kInj2Axis), 12);
  f.image.P(47) = MapModeNormal;
  ApplyDefaults(f.image, f.tables, DefaultsScope::Page, PageInj2);
  EXPECT_EQ(f.image.P(kInj2Axis), 10);
}

TEST(ModelDefaults, LambdaTableFollowsTheSensorType) {
  ParameterImage img;
  img.P(302) = 1;
  ApplyLambdaTableDefault(img);
  EXPECT_EQ(img.P(304), 120);
  EXPECT_EQ(img.Word(316), 5000);
  img.P(302) = 0;
  ApplyLambdaTableDefault(img);
  EXPECT_EQ(img.P(304), 130);
  EXPECT_EQ(img.Word(308), 900);
  EXPECT_EQ(img.Word(316), 0);
}

// A map loaded from a file (or read from the unit) while the map pages were
// never shown must survive a later model change or page defaults: the
// recomputation starts from the loaded map, not from stale percentages.
TEST(ModelDefaults, LoadedMapSurvivesModelChangeAnsweredNo) {
  DefaultImage f(0);
  // "Load" a map: 120 % of the base time in every cell of map 1, 80 % in map 2.
  for (int k = 0; k < kMapCells; ++k) {
    f.image.SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(f.tables.BaseTime1[k] * 12 / 10));
    f.image.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>(f.tables.BaseTime2[k] * 8 / 10));
  }
  BeginBikeModelChange(f.image, f.tables, 7);  // answered No: no defaults
  FinishBikeModelChange(f.image, f.tables);
  EXPECT_EQ(f.image.P(0), 7);
  for (int k = 0; k < kMapCells; ++k) {
    ASSERT_EQ(f.tables.PercentMap1[k], 120) << k;
    ASSERT_EQ(f.tables.PercentMap2[k], 80) << k;
    ASSERT_EQ(f.image.Word(kInj1Map + 2 * k), (120u * f.tables.BaseTime1[k] + 50) / 100) << k;
  }

  // Page defaults elsewhere re-derive the maps from the loaded percentages.
  const ParameterImage before = f.image;
  ApplyDefaults(f.image, f.tables, DefaultsScope::Page, PageCorrections);
  for (int k = 0; k < 2 * kMapCells; ++k) ASSERT_EQ(f.image.Word(kInj1Map + 2 * k), before.Word(kInj1Map + 2 * k));

  // The ninth list item is not a model.
  BeginBikeModelChange(f.image, f.tables, 8);
  EXPECT_EQ(f.image.P(0), 7);
}

// A bike chosen in the list, by the answer to the defaults question. The
// image starts with edits: excitation 2500 us, fan 1 at 90 C, one cell of
// map 1 at 110 %.
TEST(ModelDefaults, BikeModelChangeFollowsTheAnswer) {
  struct Case { int item; DefaultsAnswer answer; bool changes; };
  const Case cases[] = {
      {2, DefaultsAnswer::Cancel, false}, {8, DefaultsAnswer::Cancel, false}, {8, DefaultsAnswer::Yes, false},
      {-1, DefaultsAnswer::Yes, false},   {2, DefaultsAnswer::No, true},      {2, DefaultsAnswer::Yes, true},
      {0, DefaultsAnswer::No, false},  // the model already set: its excitation time stays 2500 us
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("item " + std::to_string(c.item) + ", answer " + std::to_string(int(c.answer)));
    DefaultImage f(0);
    f.image.P(4) = 25;
    f.image.P(35) = 90;
    f.image.SetWord(kInj1Map + 40, static_cast<std::uint16_t>((110u * f.tables.BaseTime1[20] + 50) / 100));
    const ParameterImage before = f.image;
    EXPECT_EQ(ChangeBikeModel(f.image, f.tables, c.item, c.answer), c.changes);
    if (!c.changes) {
      EXPECT_EQ(f.image, before);
      continue;
    }
    EXPECT_EQ(f.image.P(0), 2);
    EXPECT_EQ(f.image.P(4), 30);  // the M620's excitation time
    const bool no = c.answer == DefaultsAnswer::No;
    EXPECT_EQ(f.image.P(35), no ? 90 : 102);
    EXPECT_EQ(f.tables.PercentMap1[20], no ? 110 : 100);
    EXPECT_EQ(f.image.Word(kInj1Map + 40), (f.tables.PercentMap1[20] * f.tables.BaseTime1[20] + 50u) / 100);
  }
}

TEST(ModelCoupled, MovesMap2ByTheSameAmounts) {
  DefaultImage f(0);
  f.image.P(47) = MapModeCoupled;
  RefreshPercentMaps(f.image, f.tables);
  const auto base2 = f.tables.BaseTime2;
  f.image.SetWord(kInj2Map + 10, static_cast<std::uint16_t>((995u * base2[5] + 50) / 100));
  f.image.SetWord(kInj2Map + 12, static_cast<std::uint16_t>((3u * base2[6] + 50) / 100));
  std::array<std::uint8_t, kMapColumns> axis{};
  for (int k = 0; k < kMapColumns; ++k) axis[k] = f.image.P(kInj1Axis + k);
  axis[2] = 35;   // +5
  axis[14] = 250; // +130 over 120: map 2's 120 + 130 would pass a byte
  f.image.P(kInj2Axis + 14) = 200;
  Map150 pct = f.tables.PercentMap1;
  pct[0] = 110;   // +10
  pct[5] = 110;   // +10 on 995: map 2 keeps its own range, far above 1000
  pct[6] = 90;    // -10 on 3 stops at 0

  ApplyCoupledEdit(f.image, f.tables, axis, pct);
  EXPECT_EQ(f.tables.PercentMap2[0], 110);
  EXPECT_EQ(f.tables.PercentMap2[5], 1005);
  EXPECT_EQ(f.tables.PercentMap2[6], 0);
  EXPECT_EQ(f.tables.PercentMap2[1], 100);
  EXPECT_EQ(f.image.P(kInj2Axis + 2), 35);
  EXPECT_EQ(f.image.P(kInj2Axis + 14), 255);
  EXPECT_EQ(f.tables.PercentMap1[0], 110);
  EXPECT_EQ(f.image.Word(kInj1Map), (110u * f.tables.BaseTime1[0] + 50) / 100);
  EXPECT_EQ(f.image.Word(kInj2Map + 10), (1005u * f.tables.BaseTime2[5] + 50) / 100);
}

// Map 2 changed in the image since its percentages were last taken (an undo
// shown on page 2, a unit read): the coupled edit moves the map the image
// holds, it does not put back the one the percent table remembers.
TEST(ModelCoupled, MovesTheMap2TheImageHoldsNow) {
  DefaultImage f(0);
  f.image.P(47) = MapModeCoupled;
  RefreshPercentMaps(f.image, f.tables);
  const auto base2 = f.tables.BaseTime2;
  f.image.SetWord(kInj2Map + 2 * 7, static_cast<std::uint16_t>((130u * base2[7] + 50) / 100));
  f.image.SetWord(kInj2Map + 2 * 8, static_cast<std::uint16_t>((70u * base2[8] + 50) / 100));
  ASSERT_EQ(f.tables.PercentMap2[7], 100);  // the table lags behind

  std::array<std::uint8_t, kMapColumns> axis{};
  for (int k = 0; k < kMapColumns; ++k) axis[k] = f.image.P(kInj1Axis + k);
  Map150 pct = f.tables.PercentMap1;
  pct[7] += 10;

  ApplyCoupledEdit(f.image, f.tables, axis, pct);
  EXPECT_EQ(f.tables.PercentMap2[7], 140);
  EXPECT_EQ(f.tables.PercentMap2[8], 70);
  EXPECT_EQ(f.image.Word(kInj2Map + 2 * 7), (140u * base2[7] + 50) / 100);
  EXPECT_EQ(f.image.Word(kInj2Map + 2 * 8), (70u * base2[8] + 50) / 100);
}

TEST(ModelCoupled, EqualModeCopiesMap1) {
  DefaultImage f(0);
  f.image.P(kInj1Axis + 3) = 44;
  f.image.SetWord(kInj1Map + 20, 4321);
  CopyMap1ToMap2(f.image, f.tables);
  EXPECT_EQ(f.image.P(kInj2Axis + 3), 44);
  EXPECT_EQ(f.image.Word(kInj2Map + 20), 4321);
  EXPECT_EQ(f.tables.PercentMap2[10], (4321u * 1000 / f.tables.BaseTime2[10] + 5) / 10);
}

// The menu's map modes: the shared modes give map 2 map 1's axis at once
// (its cells stay until the next refresh or edit), Separate leaves it.
TEST(ModelMapMode, SharedModesCopyTheAxisSeparateKeepsIt) {
  for (MapMode mode : {MapModeNormal, MapModeCoupled, MapModeEqual}) {
    SCOPED_TRACE(static_cast<int>(mode));
    DefaultImage f(0);
    f.image.P(kInj1Axis + 4) = 61;
    f.image.P(kInj2Axis + 4) = 17;
    f.image.SetWord(kInj2Map + 8, 777);
    SetMapMode(f.image, mode);
    EXPECT_EQ(f.image.P(kMapModeByte), mode);
    EXPECT_EQ(f.image.P(kInj2Axis + 4), mode == MapModeNormal ? 17 : 61);
    EXPECT_EQ(f.image.Word(kInj2Map + 8), 777);
  }
}

TEST(ModelMapMode, CouplingRefusesOnlyTheInjectionPages) {
  for (MapMode mode : {MapModeNormal, MapModeCoupled, MapModeEqual}) {
    ParameterImage image;
    SetMapMode(image, mode);
    for (int page = 0; page < PageCount; ++page) {
      const bool refused = mode == MapModeCoupled && (page == PageInj1 || page == PageInj2);
      EXPECT_EQ(PageRefusedWhileCoupled(image, page), refused) << "mode " << int(mode) << " page " << page;
    }
  }
}

// The map editor's contents stored as a page's map, in every mode: map 2
// moves with map 1 only while coupled, becomes map 1 in " 1 = 2", and is
// edited alone otherwise; the advance map is bytes.
TEST(ModelMapPage, StoresThePageShownAndWhatFollowsIt) {
  struct Case {
    int page;
    MapMode mode;
  };
  for (Case c : {Case{PageAdvance, MapModeEqual}, Case{PageInj1, MapModeNormal}, Case{PageInj1, MapModeCoupled},
                 Case{PageInj1, MapModeEqual}, Case{PageInj2, MapModeNormal}}) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " mode " << static_cast<int>(c.mode));
    DefaultImage f(0);
    SetMapMode(f.image, c.mode);
    RefreshPercentMaps(f.image, f.tables);
    const ParameterImage before = f.image;
    std::array<std::uint8_t, kMapColumns> axis{};
    const int axisOffset = c.page == PageAdvance ? kAdvanceAxis : c.page == PageInj1 ? kInj1Axis : kInj2Axis;
    for (int k = 0; k < kMapColumns; ++k) axis[k] = f.image.P(axisOffset + k);
    axis[3] = static_cast<std::uint8_t>(axis[3] + 2);
    Map150 cells{};
    if (c.page == PageAdvance) {
      for (int k = 0; k < kMapCells; ++k) cells[k] = f.image.P(kAdvanceMap + k);
    } else {
      cells = c.page == PageInj1 ? f.tables.PercentMap1 : f.tables.PercentMap2;
    }
    cells[20] = static_cast<std::uint16_t>(cells[20] + 10);

    StoreMapPage(f.image, f.tables, c.page, axis, cells);
    EXPECT_EQ(f.image.P(axisOffset + 3), axis[3]);
    if (c.page == PageAdvance) {
      EXPECT_EQ(f.image.P(kAdvanceMap + 20), cells[20]);
      EXPECT_EQ(f.image.Word(kInj1Map + 40), before.Word(kInj1Map + 40));
      continue;
    }
    const Map150& base = c.page == PageInj1 ? f.tables.BaseTime1 : f.tables.BaseTime2;
    const int map = c.page == PageInj1 ? kInj1Map : kInj2Map;
    EXPECT_EQ(f.image.Word(map + 40), (cells[20] * base[20] + 50u) / 100);
    const bool map2Follows = c.page == PageInj1 && c.mode != MapModeNormal;
    if (c.page == PageInj1) {
      EXPECT_EQ(f.image.P(kInj2Axis + 3) == axis[3], map2Follows);
      EXPECT_EQ(f.image.Word(kInj2Map + 40) != before.Word(kInj2Map + 40), map2Follows);
    } else {
      EXPECT_EQ(f.image.Word(kInj1Map + 40), before.Word(kInj1Map + 40));
    }
    if (c.mode == MapModeEqual && c.page == PageInj1) {
      EXPECT_EQ(f.image.Word(kInj2Map + 40), f.image.Word(kInj1Map + 40));
    }
  }
  DefaultImage f(0);
  const ParameterImage before = f.image;
  StoreMapPage(f.image, f.tables, PageBike, {}, {});
  EXPECT_EQ(f.image, before);
}

class ModelNormalise : public ::testing::Test {
 protected:
  DefaultImage f{0};
  PersistedSelection sel;
  ParameterImage& img = f.image;
  NormaliseResult Run() { return Normalise(img, sel); }
  std::vector<int> Bytes(int s, int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(img.P(s + i));
    return v;
  }
  std::vector<int> Words(int s, int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(img.Word(s + 2 * i));
    return v;
  }
};

TEST_F(ModelNormalise, RpmAxesRiseStrictlyWithin300To25000) {
  for (int axis : {kAdvanceAxis, kInj1Axis, kInj2Axis, kPositionAxis}) {
    for (int k = 0; k < 15; ++k) img.P(axis + k) = 0;
  }
  img.P(kInj1Axis + 0) = 250;  // all 250 except the first
  for (int k = 0; k < 15; ++k) img.P(kInj2Axis + k) = 250;
  img.P(kPositionAxis + 7) = 10;  // a dip in the middle
  for (int k = 0; k < 7; ++k) img.P(kPositionAxis + k) = static_cast<std::uint8_t>(20 + k);
  Run();
  std::vector<int> low(15), high(15);
  std::iota(low.begin(), low.end(), 3);
  std::iota(high.begin(), high.end(), 236);
  EXPECT_EQ(Bytes(kAdvanceAxis, 15), low);
  EXPECT_EQ(Bytes(kInj2Axis, 15), high);
  EXPECT_EQ(Bytes(kInj1Axis, 3), (std::vector<int>{236, 237, 238}));
  EXPECT_EQ(img.P(kPositionAxis + 7), 27);
}

TEST_F(ModelNormalise, ShortRisingRunsKeepRoomForEveryEntry) {
  struct Case { int start; std::vector<int> before, after; };
  const Case cases[] = {
      {67, {20, 10, 10, 0}, {20, 21, 22, 23}},        // after-start times, from 0 s
      {67, {250, 250, 250, 250}, {247, 248, 249, 250}},
      {318, {200, 100}, {199, 200}},                  // lambda on the tachometer: A/F
      {318, {0, 0}, {100, 101}},
      {322, {100, 100, 100, 100}, {100, 101, 102, 103}},  // lambda bar
  };
  for (const auto& c : cases) {
    const int n = static_cast<int>(c.before.size());
    for (int i = 0; i < n; ++i) img.P(c.start + i) = static_cast<std::uint8_t>(c.before[i]);
    Run();
    EXPECT_EQ(Bytes(c.start, n), c.after) << "P+" << c.start;
  }
}

TEST_F(ModelNormalise, TemperatureCurvesFallStrictly) {
  for (int i = 0; i < 9; ++i) {
    img.SetWord(194 + 2 * i, static_cast<std::uint16_t>(100 * i));  // rising
    img.SetWord(212 + 2 * i, 0);
  }
  Run();
  EXPECT_EQ(Words(212, 9), (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0}));
  const auto coolant = Words(194, 9);
  for (int i = 1; i < 9; ++i) EXPECT_LT(coolant[i], coolant[i - 1]);
  img.SetWord(194, 6000);
  Run();
  EXPECT_EQ(img.Word(194), 5000);
}

TEST_F(ModelNormalise, ClampsAndOrdersSingleValues) {
  struct Case { int offset; int before; int after; };
  // Each row sets one byte after the defaults and checks what the pass leaves.
  const Case cases[] = {
      {kAdvanceMap + 7, 61, 60}, {33, 255, 250}, {34, 251, 250}, {92, 51, 50},
      {71, 255, 250}, {45, 41, 40}, {99, 120, 100}, {101, 0, 1}, {101, 230, 200},
      {102, 201, 200}, {103, 30, 25}, {105, 0, 1}, {105, 201, 200}, {106, 250, 200},
      {320, 2, 3}, {321, 251, 250},
  };
  for (const auto& c : cases) {
    DefaultImage fresh(0);
    fresh.image.P(c.offset) = static_cast<std::uint8_t>(c.before);
    Normalise(fresh.image, sel);
    EXPECT_EQ(fresh.image.P(c.offset), c.after) << "P+" << c.offset << " = " << c.before;
  }
}

TEST_F(ModelNormalise, OrdersPairedValues) {
  img.P(108) = 90; img.P(114) = 80;   // pilot light 2 below 1
  img.P(99) = 70;  img.P(100) = 50;   // gas stage 2 below 1
  img.P(103) = 10; img.P(104) = 5;    // retard stage 2 below 1
  img.P(158) = 30; img.P(159) = 10;   // gas correction 2 below 1
  img.P(338) = 4;  img.P(337) = 9;    // step pulse longer than its period
  img.SetWord(kInj1Map + 4, 65000);
  Run();
  EXPECT_EQ(img.P(114), 90);
  EXPECT_EQ(img.P(100), 70);
  EXPECT_EQ(img.P(104), 10);
  EXPECT_EQ(img.P(159), 30);
  EXPECT_EQ(img.P(337), 4);
  EXPECT_EQ(img.Word(kInj1Map + 4), 60000);
}

TEST_F(ModelNormalise, TuningChannelIsOneOrTwoAsTheImagesMapModeAllows) {
  struct Case { std::uint8_t mode; int channel; int expected; };
  const Case cases[] = {
      {MapModeNormal, 0, 1},  {MapModeNormal, 1, 1},  {MapModeNormal, 2, 2},  {MapModeNormal, 4, 2},
      {MapModeCoupled, 0, 1}, {MapModeCoupled, 2, 1}, {MapModeEqual, 0, 1},   {MapModeEqual, 2, 1},
      {MapModeEqual, 255, 1},
  };
  for (const auto& c : cases) {
    img.P(300) = static_cast<std::uint8_t>(c.channel);
    img.P(47) = c.mode;
    Run();
    EXPECT_EQ(img.P(300), c.expected) << "mode " << int{c.mode} << ", channel " << c.channel;
  }
}

TEST_F(ModelNormalise, LambdaPointsAndVoltagesFollowTheSensorType) {
  img.P(302) = 1;  // Uego: voltages rise with A/F
  for (int i = 0; i < 5; ++i) {
    img.SetWord(308 + 2 * i, 0);
    img.P(303 + i) = 150;
  }
  Run();
  EXPECT_EQ(Words(308, 5), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Bytes(303, 5), (std::vector<int>{150, 151, 152, 153, 154}));
  img.P(302) = 0;  // standard sensor: voltages fall
  Run();
  EXPECT_EQ(Words(308, 5), (std::vector<int>{4, 3, 2, 1, 0}));
  img.P(322) = 200; img.P(323) = 100;  // bar scale out of order
  Run();
  EXPECT_EQ(Bytes(322, 4), (std::vector<int>{197, 198, 199, 200}));
}

TEST_F(ModelNormalise, ReportsEqualPressureVoltagesWithoutChangingThem) {
  EXPECT_FALSE(Run().PressureVoltagesEqual);
  img.SetWord(12, img.Word(8));
  EXPECT_TRUE(Run().PressureVoltagesEqual);
  EXPECT_EQ(img.Word(12), 2247);
}

TEST_F(ModelNormalise, LimitsPersistedSelections) {
  struct Case { PersistedSelection in, out; };
  const Case cases[] = {{{3, 20, 19}, {3, 20, 19}}, {{4, 21, 20}, {0, 0, 0}}, {{255, 255, 255}, {0, 0, 0}}};
  for (const auto& c : cases) {
    sel = c.in;
    Run();
    EXPECT_EQ(sel.Language, c.out.Language);
    EXPECT_EQ(sel.PortSelection, c.out.PortSelection);
    EXPECT_EQ(sel.ScanIndex, c.out.ScanIndex);
  }
}

}  // namespace
}  // namespace velmor

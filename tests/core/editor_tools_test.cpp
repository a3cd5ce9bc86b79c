#include <gtest/gtest.h>

#include <string>

#include "editor/tools.h"
#include "model/defaults.h"
#include "test_images.h"

namespace velmor {
namespace {

constexpr auto Down = StepDirection::Down;
constexpr auto Up = StepDirection::Up;

struct ToolFixture : testsupport::DefaultImage {
  EngineReading live;
  OperatingPoint point{3, 6, 5};  // column 3, row 6
  ToolFixture() {
    image.P(47) = MapModeNormal;  // the defaults make the maps equal
    live.Rpm = 4000;
    RefreshPercentMaps(image, tables);
  }
  int Cell() const { return MapCell(point.Row, point.Column); }
  // The percentage a map cell shows after the refresh.
  int Percent(int map, int k) {
    RefreshPercentMaps(image, tables);
    return map == 1 ? tables.PercentMap1[k] : tables.PercentMap2[k];
  }
  bool Step(int page, bool all, StepDirection dir) {
    return StepMap(image, tables, page, all, dir, live, point, false);
  }
};

TEST(EditorTools, AdvanceStepsOneCellOrAllWithinByteBounds) {
  ToolFixture f;
  f.image.P(kAdvanceMap + 0) = 255;
  f.image.P(kAdvanceMap + 1) = 10;
  f.image.P(kAdvanceMap + 2) = 0;
  ParameterImage before = f.image;
  EXPECT_TRUE(f.Step(PageAdvance, true, Up));
  EXPECT_EQ(f.image.P(kAdvanceMap + 0), 255);
  EXPECT_EQ(f.image.P(kAdvanceMap + 1), 11);
  for (int k = 3; k < kMapCells; ++k) EXPECT_EQ(f.image.P(kAdvanceMap + k), before.P(kAdvanceMap + k) + 1) << k;

  EXPECT_TRUE(f.Step(PageAdvance, true, Down));
  EXPECT_TRUE(f.Step(PageAdvance, true, Down));
  EXPECT_EQ(f.image.P(kAdvanceMap + 2), 0);  // stays at the lower bound

  // One cell: the operating point's, and nothing else.
  before = f.image;
  EXPECT_TRUE(f.Step(PageAdvance, false, Up));
  for (int k = 0; k < kMapCells; ++k) {
    EXPECT_EQ(f.image.P(kAdvanceMap + k), before.P(kAdvanceMap + k) + (k == f.Cell() ? 1 : 0)) << k;
  }
}

TEST(EditorTools, SingleCellStepsNeedARunningEngine) {
  for (int page : {PageAdvance, PageInj1, PageInj2}) {
    ToolFixture f;
    f.live.Rpm = 0;
    const ParameterImage before = f.image;
    EXPECT_FALSE(f.Step(page, false, Down)) << page;  // no AfterChange, so no undo snapshot either
    EXPECT_FALSE(f.Step(page, false, Up)) << page;
    EXPECT_EQ(f.image, before) << page;
    EXPECT_TRUE(f.Step(page, true, Up)) << page;  // "All" does not need the engine
    EXPECT_NE(f.image, before) << page;
  }
}

TEST(EditorTools, InjectionCellStepMovesOnePercentOfTheBaseTime) {
  ToolFixture f;
  const int k = f.Cell();
  const int p1 = f.Percent(1, k), p2 = f.Percent(2, k);
  const ParameterImage before = f.image;
  EXPECT_TRUE(f.Step(PageInj1, false, Up));
  EXPECT_EQ(f.Percent(1, k), p1 + 1);
  EXPECT_EQ(f.image.Word(kInj1Map + 2 * k), (std::uint32_t{p1 + 1u} * f.tables.BaseTime1[k] + 50) / 100);
  // Normal mode: map 2 untouched.
  for (int n = 0; n < 2 * kMapCells; ++n) ASSERT_EQ(f.image.P(kInj2Map + n), before.P(kInj2Map + n));
  EXPECT_TRUE(f.Step(PageInj2, false, Down));
  EXPECT_EQ(f.Percent(2, k), p2 - 1);
}

TEST(EditorTools, CoupledStepsCarryMap2AndRefuseMap2Alone) {
  ToolFixture f;
  f.image.P(47) = MapModeCoupled;
  const int k = f.Cell();
  // Map 1's cell at 0 %, map 2's at 50 %.
  f.image.SetWord(kInj1Map + 2 * k, 0);
  f.image.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>((50u * f.tables.BaseTime2[k] + 50) / 100));
  EXPECT_TRUE(f.Step(PageInj1, false, Down));
  EXPECT_EQ(f.Percent(1, k), 0);
  EXPECT_EQ(f.Percent(2, k), 49);

  EXPECT_TRUE(f.Step(PageInj1, true, Up));  // all cells of both maps
  EXPECT_EQ(f.Percent(1, k), 1);
  EXPECT_EQ(f.Percent(2, k), 50);

  const ParameterImage before = f.image;
  EXPECT_FALSE(f.Step(PageInj2, false, Up));
  EXPECT_FALSE(f.Step(PageInj2, true, Down));
  EXPECT_FALSE(StepColumn(f.image, f.tables, PageInj2, 3, Up));
  EXPECT_EQ(f.image, before);
}

// A percent table that lags behind the image (map 2 read from the unit while
// page 2 was shown) must not overwrite map 2 when map 1's step carries it.
TEST(EditorTools, CoupledStepKeepsAMapTheTablesHaveNotSeen) {
  ToolFixture f;
  f.image.P(47) = MapModeCoupled;
  for (int c = 0; c < kMapCells; ++c) f.image.SetWord(kInj2Map + 2 * c, 4321);  // not in PercentMap2
  EXPECT_TRUE(f.Step(PageInj1, false, Up));
  const int k = f.Cell();
  for (int c = 0; c < kMapCells; ++c) {
    if (c == k) continue;
    // Requantised to a whole percentage at most, never the old table's times.
    EXPECT_NEAR(f.image.Word(kInj2Map + 2 * c), 4321, f.tables.BaseTime2[c] / 100 + 1) << c;
  }
}

TEST(EditorTools, ColumnStepsTenCellsOfOneColumn) {
  ToolFixture f;
  ParameterImage before = f.image;
  EXPECT_TRUE(StepColumn(f.image, f.tables, PageAdvance, 4, Up));
  for (int k = 0; k < kMapCells; ++k) {
    EXPECT_EQ(f.image.P(kAdvanceMap + k), before.P(kAdvanceMap + k) + (k % kMapColumns == 4 ? 1 : 0)) << k;
  }
  // Any sender other than the first fourteen buttons is column 14.
  before = f.image;
  EXPECT_TRUE(StepColumn(f.image, f.tables, PageAdvance, 99, Down));
  EXPECT_EQ(f.image.P(kAdvanceMap + 14), before.P(kAdvanceMap + 14) - 1);
  EXPECT_EQ(f.image.P(kAdvanceMap + 149), before.P(kAdvanceMap + 149) - 1);

  f.image.P(47) = MapModeCoupled;
  const int top = MapCell(0, 2), bottom = MapCell(9, 2), other = MapCell(5, 3);
  const int a1 = f.Percent(1, top), b1 = f.Percent(1, bottom), o1 = f.Percent(1, other);
  const int a2 = f.Percent(2, top);
  EXPECT_TRUE(StepColumn(f.image, f.tables, PageInj1, 2, Up));
  EXPECT_EQ(f.Percent(1, top), a1 + 1);
  EXPECT_EQ(f.Percent(1, bottom), b1 + 1);
  EXPECT_EQ(f.Percent(1, other), o1);
  EXPECT_EQ(f.Percent(2, top), a2 + 1);
}

TEST(EditorTools, PositionStepsWithinSevenHundredTwentyDegrees) {
  ParameterImage image;
  for (int i = 0; i < 15; ++i) image.P(390 + i) = 144;
  const ParameterImage full = image;
  EXPECT_TRUE(StepPosition(image, true, 0, Up));
  EXPECT_EQ(image, full);

  EXPECT_TRUE(StepPosition(image, false, 6, Down));
  EXPECT_EQ(image.P(396), 143);
  EXPECT_EQ(image.P(395), 144);

  image.P(390) = 0;
  EXPECT_TRUE(StepPosition(image, true, 0, Down));
  EXPECT_EQ(image.P(390), 0);
  EXPECT_EQ(image.P(391), 143);

  // Through StepMap on page 4: the position index, also at 0 rpm.
  DerivedTables tables;
  EngineReading live;
  OperatingPoint point{0, 0, 2};
  EXPECT_TRUE(StepMap(image, tables, PagePosition, false, Up, live, point, false));
  EXPECT_EQ(image.P(392), 144);
  EXPECT_EQ(image.P(391), 143);
  EXPECT_TRUE(StepMap(image, tables, PagePosition, false, Down, live, point, true));
  EXPECT_EQ(image.P(391), 142);
  EXPECT_EQ(image.P(390), 0);
}

TEST(EditorTools, OtherPagesStepNothingButStillRefresh) {
  ToolFixture f;
  const ParameterImage before = f.image;
  for (int page : {PageBike, PageCorrections, PageMonitor}) {
    EXPECT_TRUE(f.Step(page, true, Up)) << page;
    EXPECT_EQ(f.image, before) << page;
  }
}

TEST(EditorTools, IdleShiftKeepsWordsAboveTheStepAndBelowTheMaximum) {
  struct Case { int mode; std::uint16_t word; StepDirection dir; std::uint16_t expected; };
  const Case cases[] = {
      {1, 10, Down, 10}, {1, 15, Down, 5}, {1, 11, Down, 1}, {1, 0, Down, 0},
      {1, 1000, Up, 1010}, {1, 11995, Up, 12000}, {1, 12000, Up, 12000}, {1, 65535, Up, 65535},
      {0, 1, Down, 1}, {0, 2, Down, 1}, {0, 99, Up, 100}, {0, 100, Up, 100}, {0, 500, Up, 500},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    image.P(333) = static_cast<std::uint8_t>(c.mode);
    for (int i = 0; i < 9; ++i) image.SetWord(340 + 2 * i, c.word);
    EXPECT_TRUE(StepIdle(image, c.dir));
    for (int i = 0; i < 9; ++i) {
      EXPECT_EQ(image.Word(340 + 2 * i), c.expected) << "mode " << c.mode << " word " << c.word << " row " << i;
    }
    EXPECT_EQ(image.P(358), 0);  // the byte after the table is untouched
  }
  ParameterImage image;
  EXPECT_EQ(IdleStep(image), 1);
  image.P(333) = 1;
  EXPECT_EQ(IdleStep(image), 10);
}

TEST(EditorTools, ThrottleCaptureAcceptsOnlyItsWindow) {
  struct Case { std::uint16_t mv; int zero; int full; };  // -1: ignored
  const Case cases[] = {
      {299, -1, -1}, {300, 30, -1}, {1234, 123, -1}, {2500, 250, 0}, {2509, -1, 0}, {4900, -1, 240}, {4901, -1, -1},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    image.P(33) = 77;
    image.P(34) = 77;
    EXPECT_EQ(CaptureTps0(image, c.mv), c.zero >= 0) << c.mv;
    EXPECT_EQ(CaptureTps100(image, c.mv), c.full >= 0) << c.mv;
    EXPECT_EQ(image.P(33), c.zero >= 0 ? c.zero : 77) << c.mv;
    EXPECT_EQ(image.P(34), c.full >= 0 ? c.full : 77) << c.mv;
  }
}

TEST(EditorTools, GearCaptureStoresOnlyWithTheRatioTable) {
  ParameterImage image;
  EXPECT_TRUE(CaptureGearRatio(image, 3, 123));
  EXPECT_EQ(image.Word(166), 123);
  EXPECT_TRUE(CaptureGearRatio(image, 6, 0xBEEF));
  EXPECT_EQ(image.Word(172), 0xBEEF);

  const ParameterImage before = image;
  EXPECT_TRUE(CaptureGearRatio(image, 0, 1));   // no gear 0
  EXPECT_TRUE(CaptureGearRatio(image, 7, 1));   // nor gear 7
  image.P(136) = 1;
  EXPECT_TRUE(CaptureGearRatio(image, 2, 999));  // automatic detection: refresh only
  image.P(136) = 0;
  EXPECT_EQ(image, before);
}

}  // namespace
}  // namespace velmor

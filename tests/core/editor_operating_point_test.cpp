#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "editor/names.h"
#include "editor/operating_point.h"

namespace velmor {
namespace {

// An axis of 1000, 2000 ... 15000 rpm at P+offset.
void SetAxis(ParameterImage& image, int offset) {
  for (int i = 0; i < kMapColumns; ++i) image.P(offset + i) = static_cast<std::uint8_t>(10 * (i + 1));
}

std::vector<int> LitIn(const HighlightSet& set, int first, int count) {
  std::vector<int> lit;
  for (int i = 0; i < count; ++i) {
    if (set.IsLit(first + i)) lit.push_back(i);
  }
  return lit;
}

bool AllManaged(const HighlightSet& set, int first, int count) {
  for (int i = 0; i < count; ++i) {
    if (!set.IsManaged(first + i)) return false;
  }
  return true;
}

TEST(EditorOperatingPoint, MidpointRuleOnRpmAndThrottleAxes) {
  ParameterImage image;
  SetAxis(image, kInj1Axis);
  struct RpmCase { std::uint16_t rpm; int column; };
  const RpmCase rpms[] = {
      {0, 0}, {1499, 0}, {1500, 1},  // exactly on the midpoint: the higher index
      {2600, 2}, {14499, 13}, {14500, 14}, {65535, 14},
  };
  for (const auto& c : rpms) EXPECT_EQ(LocateRpm(image, kInj1Axis, c.rpm), c.column) << c.rpm;

  struct TpsCase { std::uint16_t tps; int row; };
  const TpsCase rows[] = {{0, 0}, {1, 1}, {3, 1}, {4, 2}, {7, 2}, {8, 3}, {49, 6}, {50, 7}, {89, 8},
                          {90, 9}, {100, 9}, {255, 9}};
  for (const auto& c : rows) EXPECT_EQ(LocateTpsRow(c.tps), c.row) << c.tps;
}

TEST(EditorOperatingPoint, MapPageLightsOneCellItsAxisPointAndRowLabel) {
  struct Case {
    int page; int p42; bool ms; std::uint16_t rpm, tps;
    int cell; int axis; int rowLabel; int pointRow;
  };
  const Case cases[] = {
      {PageInj1, 1, false, 3000, 40, MapCell(6, 2), 2, 6, 6},
      {PageInj2, 1, true, 3000, 40, MapCell(6, 2), 2, 6, 6},
      {PageAdvance, 1, false, 3000, 40, MapCell(6, 2), 2, 6, 6},
      // Advance without TPS: the cell is in row 9, the row label follows TPS.
      {PageAdvance, 0, false, 3000, 40, MapCell(9, 2), 2, 6, 9},
      // A stopped engine: no cell and no axis point, the row label still.
      {PageInj1, 1, true, 0, 100, -1, -1, 9, 9},
      {PageAdvance, 0, false, 0, 0, -1, -1, 0, 9},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    SetAxis(image, kAdvanceAxis);
    SetAxis(image, kInj1Axis);
    SetAxis(image, kInj2Axis);
    image.P(42) = static_cast<std::uint8_t>(c.p42);
    EngineReading live;
    live.Rpm = c.rpm;
    live.TpsPercent = c.tps;
    OperatingPoint point{7, 7, 7};
    HighlightSet set;
    ShowOperatingPoint(image, c.page, c.ms, live, point, set);
    SCOPED_TRACE("page " + std::to_string(c.page) + " rpm " + std::to_string(c.rpm));
    const std::vector<int> none;
    EXPECT_EQ(LitIn(set, HlMapCell, kMapCells), c.cell < 0 ? none : std::vector<int>{c.cell});
    EXPECT_EQ(LitIn(set, HlRpmAxis, kMapColumns), c.axis < 0 ? none : std::vector<int>{c.axis});
    EXPECT_EQ(LitIn(set, HlTpsRowLabel, kMapRows), std::vector<int>{c.rowLabel});
    EXPECT_TRUE(AllManaged(set, HlMapCell, kMapCells));
    EXPECT_TRUE(AllManaged(set, HlRpmAxis, kMapColumns));
    // The time labels are the cells' colour with "Ms", untouched without.
    EXPECT_EQ(AllManaged(set, HlCellTimeLabel, kMapCells), c.ms);
    EXPECT_EQ(LitIn(set, HlCellTimeLabel, kMapCells), c.ms ? LitIn(set, HlMapCell, kMapCells) : none);
    EXPECT_EQ(point.Row, c.pointRow);
    EXPECT_EQ(point.PositionIndex, 7);  // only page 4 rewrites it
  }
}

TEST(EditorOperatingPoint, EachMapPageUsesItsOwnAxis) {
  ParameterImage image;
  SetAxis(image, kAdvanceAxis);
  SetAxis(image, kInj1Axis);
  SetAxis(image, kInj2Axis);
  image.P(kInj2Axis + 3) = 200;  // map 2 only: 4000 rpm moves to 20000
  for (int i = 4; i < kMapColumns; ++i) image.P(kInj2Axis + i) = static_cast<std::uint8_t>(200 + i);
  EngineReading live;
  live.Rpm = 4000;
  OperatingPoint point;
  HighlightSet set;
  ShowOperatingPoint(image, PageInj1, false, live, point, set);
  EXPECT_EQ(point.Column, 3);
  ShowOperatingPoint(image, PageInj2, false, live, point, set);
  EXPECT_EQ(point.Column, 2);
}

TEST(EditorOperatingPoint, PositionTableIsLitAlsoAtZeroRpm) {
  ParameterImage image;
  SetAxis(image, kPositionAxis);
  for (std::uint16_t rpm : {0, 7000}) {
    EngineReading live;
    live.Rpm = rpm;
    OperatingPoint point{1, 1, 9};
    HighlightSet set;
    ShowOperatingPoint(image, PagePosition, false, live, point, set);
    const int index = rpm == 0 ? 0 : 6;
    EXPECT_EQ(point.PositionIndex, index);
    EXPECT_EQ(point.Column, 1);  // the map's point is kept
    EXPECT_EQ(LitIn(set, HlPositionRpm, kMapColumns), std::vector<int>{index});
    EXPECT_EQ(LitIn(set, HlPosition, kMapColumns), std::vector<int>{index});
    EXPECT_FALSE(set.IsManaged(HlMapCell));
  }
}

TEST(EditorOperatingPoint, CorrectionsFollowCoolantAirAndStartTime) {
  struct TempCase { std::uint16_t raw; int coolant; int air; };
  const TempCase temps[] = {
      {0, 3, 2},  // sensor fault
      {1, 0, 0}, {104, 0, 0}, {105, 1, 1}, {194, 3, 3}, {195, 4, 4}, {224, 4, 4},
      {225, -1, -1}, {255, -1, -1},  // 125 °C and above: nothing lit
  };
  for (const auto& c : temps) {
    EXPECT_EQ(LocateTemperature(c.raw, 3), c.coolant) << c.raw;
    EXPECT_EQ(LocateTemperature(c.raw, 2), c.air) << c.raw;
  }

  ParameterImage image;
  // Start points 0, 10, 20, 40 s; StartTime in 0.1 s is compared doubled
  // against ten times the sums of neighbouring points.
  image.P(67) = 0;
  image.P(68) = 10;
  image.P(69) = 20;
  image.P(70) = 40;
  struct StartCase { std::uint16_t time; int index; };
  const StartCase starts[] = {{0, 0}, {1, 1}, {49, 1}, {50, 2}, {149, 2}, {150, 3}, {299, 3}, {300, 4}, {9999, 4}};
  for (const auto& c : starts) EXPECT_EQ(LocateStartTime(image, c.time), c.index) << c.time;
  image.P(67) = 5;
  EXPECT_EQ(LocateStartTime(image, 25), 0);  // 50 <= 50
  EXPECT_EQ(LocateStartTime(image, 26), 1);

  EngineReading live;
  live.CoolantRaw = 225;
  live.AirRaw = 0;
  live.StartTime = 0;
  OperatingPoint point;
  HighlightSet set;
  ShowOperatingPoint(image, PageCorrections, false, live, point, set);
  EXPECT_TRUE(LitIn(set, HlInjectionByCoolant, 5).empty());
  EXPECT_TRUE(LitIn(set, HlAdvanceByCoolant, 5).empty());
  EXPECT_TRUE(AllManaged(set, HlInjectionByCoolant, 5) && AllManaged(set, HlAdvanceByCoolant, 5));
  EXPECT_EQ(LitIn(set, HlInjectionByAir, 5), std::vector<int>{2});
  EXPECT_EQ(LitIn(set, HlAfterStartTime, 5), std::vector<int>{0});
  EXPECT_EQ(LitIn(set, HlAfterStartCorrection, 5), std::vector<int>{0});
  EXPECT_EQ(HighlightName(HlAfterStartTime), "LabelSyticCas0");
  EXPECT_EQ(HighlightName(HlAfterStartTime + 4), "EditSyticCas4");
  EXPECT_EQ(HighlightName(HlAfterStartCorrection + 4), "LabelSyticKorekce4");

  live.CoolantRaw = 0;
  ShowOperatingPoint(image, PageCorrections, false, live, point, set);
  EXPECT_EQ(LitIn(set, HlInjectionByCoolant, 5), std::vector<int>{3});
  EXPECT_EQ(LitIn(set, HlAdvanceByCoolant, 5), std::vector<int>{3});
}

TEST(EditorOperatingPoint, GearAndRacePagesLightTheEngagedGear) {
  struct Case {
    int page; int system; std::uint8_t gear;
    bool ratioGroups; bool autoGroups; int litRow;
  };
  const Case cases[] = {
      {PageGear, 0, 3, true, false, 2},
      {PageGear, 1, 3, false, true, 2},
      {PageGear, 2, 6, false, false, 5},
      {PageGear, 0, 0, true, false, -1},  // neutral
      {PageGear, 0, 7, true, false, -1},  // no such gear
      {PageRace, 0, 1, false, false, 0},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    image.P(136) = static_cast<std::uint8_t>(c.system);
    EngineReading live;
    live.Gear = c.gear;
    OperatingPoint point;
    HighlightSet set;
    ShowOperatingPoint(image, c.page, false, live, point, set);
    SCOPED_TRACE("page " + std::to_string(c.page) + " system " + std::to_string(c.system) + " gear " +
                 std::to_string(c.gear));
    const std::vector<int> lit = c.litRow < 0 ? std::vector<int>{} : std::vector<int>{c.litRow};
    for (int first : {HlRpmSpeedPerGear, HlLabelRpmSpeedRatio, HlButtonGear}) {
      EXPECT_EQ(AllManaged(set, first, 6), c.ratioGroups);
      if (c.ratioGroups) {
        EXPECT_EQ(LitIn(set, first, 6), lit);
      }
    }
    for (int first : {HlLabelMonRpmSpeedRatioAuto, HlLabelMonGearAuto}) {
      EXPECT_EQ(AllManaged(set, first, 6), c.autoGroups);
      if (c.autoGroups) {
        EXPECT_EQ(LitIn(set, first, 6), lit);
      }
    }
    const bool gearPage = c.page == PageGear;
    for (int first : {HlGearAdvanceCorrection, HlGearInjectionCorrection, HlLabelGearCorrection}) {
      EXPECT_EQ(AllManaged(set, first, 6), gearPage);
      if (gearPage) {
        EXPECT_EQ(LitIn(set, first, 6), lit);
      }
    }
    EXPECT_EQ(AllManaged(set, HlClutch, 24), !gearPage);
    if (!gearPage) {
      for (int pair = 0; pair < 4; ++pair) EXPECT_EQ(LitIn(set, HlClutch + 6 * pair, 6), lit);
      EXPECT_EQ(LitIn(set, HlLabelRaceGear, 6), lit);
    }
  }
}

TEST(EditorOperatingPoint, PagesWithoutHighlightChangeNothing) {
  ParameterImage image;
  EngineReading live;
  live.Rpm = 5000;
  live.Gear = 2;
  for (int page : {PageBike, PageSensors, PageIdle, PageN2O, PageTuning, PageMonitor}) {
    OperatingPoint point{4, 5, 6};
    HighlightSet set;
    ShowOperatingPoint(image, page, true, live, point, set);
    EXPECT_EQ(set.Managed, HighlightBits{}) << page;
    EXPECT_EQ(point.Column, 4);
    EXPECT_EQ(point.Row, 5);
    EXPECT_EQ(point.PositionIndex, 6);
  }
}

// The window recolours only what changed since it last applied a set.
TEST(EditorOperatingPoint, ApplyHighlightReportsOnlyColourChanges) {
  ParameterImage image;
  SetAxis(image, kInj1Axis);
  EngineReading live;
  live.Rpm = 3000;
  live.TpsPercent = 40;
  OperatingPoint point;
  HighlightSet set;
  HighlightBits shown;  // all plain, as built

  std::vector<std::pair<int, bool>> calls;
  auto record = [&](int id, bool lit) { calls.emplace_back(id, lit); };
  ShowOperatingPoint(image, PageInj1, true, live, point, set);
  EXPECT_EQ(ApplyHighlight(shown, set, record), 4);  // cell, its time label, axis point, row label
  calls.clear();
  EXPECT_EQ(ApplyHighlight(shown, set, record), 0);  // the next tick with the same values

  live.Rpm = 4000;  // one column to the right
  ShowOperatingPoint(image, PageInj1, true, live, point, set);
  ApplyHighlight(shown, set, record);
  const std::vector<std::pair<int, bool>> expected = {
      {HlMapCell + MapCell(6, 2), false}, {HlMapCell + MapCell(6, 3), true},
      {HlCellTimeLabel + MapCell(6, 2), false}, {HlCellTimeLabel + MapCell(6, 3), true},
      {HlRpmAxis + 2, false}, {HlRpmAxis + 3, true}};
  EXPECT_EQ(calls, expected);

  // On another page the map's colours are left as they are.
  calls.clear();
  ShowOperatingPoint(image, PageCorrections, false, live, point, set);
  ApplyHighlight(shown, set, record);
  for (const auto& [id, lit] : calls) EXPECT_GE(id, HlInjectionByCoolant) << id;
  EXPECT_TRUE(shown.Test(HlMapCell + MapCell(6, 3)));
}

TEST(EditorOperatingPoint, EveryHighlightIdNamesOneControl) {
  std::set<std::string_view> names;
  for (int id = 0; id < HighlightCount; ++id) {
    const std::string_view name = HighlightName(id);
    EXPECT_FALSE(name.empty()) << id;
    EXPECT_TRUE(names.insert(name).second) << name;
  }
  EXPECT_EQ(HighlightName(HlMapCell + 149), "EditMapCell149");
  EXPECT_EQ(HighlightName(HlClutch + 6 * 3 + 5), "EditClutchPause5");
  EXPECT_EQ(HighlightKindOf(HlMapCell), HighlightKind::Edit);
  EXPECT_EQ(HighlightKindOf(HlTpsRowLabel), HighlightKind::Label);
  EXPECT_EQ(HighlightKindOf(HlAfterStartTime), HighlightKind::Label);
  EXPECT_EQ(HighlightKindOf(HlAfterStartTime + 1), HighlightKind::Edit);
  EXPECT_EQ(HighlightKindOf(HlButtonGear + 2), HighlightKind::BoldCaption);
  EXPECT_EQ(HighlightName(HighlightCount), "");
}

}  // namespace
}  // namespace velmor

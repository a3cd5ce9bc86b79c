#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/log_paths.h"
#include "log/map_analysis.h"
#include "log/ridden_tunes.h"
#include "model/defaults.h"
#include "temp_dir.h"

namespace velmor {
namespace {

// A warm, steady row: 12 s apart from its neighbours unless told otherwise.
struct R {
  int timeMs, rpm, tpsX10, afrX10 = 132, coolant = 80, tune = -1;  // -1: no tune column
};

LogData Log(const std::vector<R>& rows) {
  LogData d;
  for (const R& r : rows) {
    LogRow row;
    row[LogCol::TimeS] = r.timeMs;
    if (r.rpm >= 0) row[LogCol::Rpm] = r.rpm;
    if (r.tpsX10 >= 0) row[LogCol::TpsPct] = r.tpsX10;
    if (r.afrX10 >= 0) row[LogCol::Afr] = r.afrX10;
    if (r.coolant > -100) row[LogCol::CoolantC] = r.coolant;
    if (r.tune >= 0) row[LogCol::Tune] = r.tune;
    d.Append(row);
  }
  return d;
}

struct Tune {
  ParameterImage image;
  DerivedTables tables;
  explicit Tune(MapMode mode = MapModeNormal) {
    ApplyDefaults(image, tables, DefaultsScope::Whole);
    image.P(47) = mode;
    // Map 2 on an axis of its own, to tell the two apart.
    for (int i = 0; i < kMapColumns; ++i) image.P(kInj2Axis + i) = static_cast<std::uint8_t>(20 + 5 * i);
    RefreshPercentMaps(image, tables);
  }
  int Percent(int map, int k) {
    RefreshPercentMaps(image, tables);
    return map == 1 ? tables.PercentMap1[k] : tables.PercentMap2[k];
  }
};

TEST(LogAnalysis, RowsGoToTheCellTheHighlightLights) {
  Tune t;  // map 1 axis 1000, 2000, 3000, 4000, 5000, 5500 …; map 2 2000, 2500, 3000 …
  const std::tuple<int, int, int, int, int> cases[] = {
      // map, rpm, throttle ×10, row, column
      {1, 5249, 200, 4, 4},   // just below the midpoint of 5000 and 5500
      {1, 5250, 200, 4, 5},   // on the midpoint: the higher column
      {1, 1, 0, 0, 0},        {1, 60000, 1000, 9, 14},
      {1, 3000, 34, 1, 2},    // 3.4 %: row of 2 %
      {1, 3000, 35, 1, 2},    // 3.5 %: the unit's whole 3 % still lights the 2 % row
      {1, 3000, 39, 1, 2},    {1, 3000, 40, 2, 2},    // 4 % is past the midpoint 3.5
      {1, 3000, 899, 8, 2},   // 89.9 %: the unit's 89 is below the midpoint 90 …
      {1, 3000, 900, 9, 2},   // … 90 % is on it
      {2, 2249, 100, 3, 0},   {2, 2250, 100, 3, 1},   // map 2 by its own axis
  };
  for (const auto& [map, rpm, tps, row, column] : cases) {
    LogRow r;
    r[LogCol::Rpm] = rpm;
    r[LogCol::TpsPct] = tps;
    EXPECT_EQ(CellOfRow(t.image, map, r), MapCell(row, column)) << "map " << map << " rpm " << rpm << " tps " << tps;
  }
  LogRow noThrottle;
  noThrottle[LogCol::Rpm] = 3000;
  EXPECT_EQ(CellOfRow(t.image, 1, noThrottle), -1);
}

TEST(LogAnalysis, EachFilterLeavesOutItsRows) {
  Tune t;
  AnalysisSettings s;  // coolant 60, A/F 10.0 … 19.9, 10 %/s
  s.MinSamples = 1;
  struct Case {
    const char* what;
    std::vector<R> rows;
    int used;
    int AnalysisCounts::*counter;
  };
  const Case cases[] = {
      {"rpm 0", {{0, 0, 200}, {1000, 3000, 200}}, 1, &AnalysisCounts::NoRpm},
      {"rpm missing", {{0, -1, 200}}, 0, &AnalysisCounts::NoRpm},
      {"coolant below the minimum", {{0, 3000, 200, 132, 59}, {1000, 3000, 200, 132, 60}}, 1, &AnalysisCounts::Cold},
      {"coolant fault", {{0, 3000, 200, 132, -100}}, 0, &AnalysisCounts::Cold},
      {"A/F outside 10.0 … 19.9",
       {{0, 3000, 200, 99}, {1000, 3000, 200, 100}, {2000, 3000, 200, 199}, {3000, 3000, 200, 200}},
       2, &AnalysisCounts::NoAfr},
      {"A/F missing", {{0, 3000, 200, -1}}, 0, &AnalysisCounts::NoAfr},
      {"throttle fault", {{0, 3000, -1}}, 0, &AnalysisCounts::NoThrottle},
      {"throttle outside 0 … 100 %",
       {{0, 3000, 0}, {100000, 3000, 1000}, {200000, 3000, 1001}, {300000, 3000, 999990}}, 2,
       &AnalysisCounts::NoThrottle},
      // 10 %/s is allowed, more is not; the first row has no rate.
      {"throttle rate", {{0, 3000, 800}, {1000, 3000, 900}, {1500, 3000, 951}, {2000, 3000, 926}}, 3,
       &AnalysisCounts::ThrottleRate},
      {"throttle moving within no time", {{0, 3000, 200}, {0, 3000, 200}, {0, 3000, 201}}, 2,
       &AnalysisCounts::ThrottleRate},
  };
  for (const Case& c : cases) {
    const MapAnalysis a = AnalyseLog(t.image, t.tables, Log(c.rows), s);
    EXPECT_EQ(a.Counts.Used, c.used) << c.what;
    EXPECT_EQ(a.Counts.*c.counter, static_cast<int>(c.rows.size()) - c.used) << c.what;
    EXPECT_EQ(a.Counts.Rows, static_cast<int>(c.rows.size())) << c.what;
  }
  // A negative throttle reading is a fault too, not the 0 % row.
  LogRow faulty = Log({{0, 3000, 200}}).Row(0);
  faulty[LogCol::TpsPct] = -300;
  LogData negative;
  negative.Append(faulty);
  EXPECT_EQ(AnalyseLog(t.image, t.tables, negative, s).Counts.NoThrottle, 1);
  // 20 -> 60 % in 0.2 s with a row between that read no throttle: the rate
  // is to the last row that did.
  const MapAnalysis snap = AnalyseLog(t.image, t.tables, Log({{0, 3000, 200}, {100, 3000, -1}, {200, 3000, 600}}), s);
  EXPECT_EQ(snap.Counts.NoThrottle, 1);
  EXPECT_EQ(snap.Counts.ThrottleRate, 1);
  EXPECT_EQ(snap.Counts.Used, 1);
  // The rate is to the previous row of the log, used or not.
  const MapAnalysis a =
      AnalyseLog(t.image, t.tables, Log({{0, 3000, 200, 132, 20}, {100, 3000, 300}}), s);
  EXPECT_EQ(a.Counts.Cold, 1);
  EXPECT_EQ(a.Counts.ThrottleRate, 1);
}

TEST(LogAnalysis, SettingsMoveTheFilters) {
  Tune t;
  AnalysisSettings s;
  s.MinSamples = 1;
  s.MinCoolantC = 20;
  s.MaxTpsRateX10 = 25;  // 2.5 %/s
  const LogData log = Log({{0, 3000, 200, 132, 25}, {1000, 3000, 225}, {2000, 3000, 251}});
  const MapAnalysis a = AnalyseLog(t.image, t.tables, log, s);
  EXPECT_EQ(a.Counts.Used, 2);
  EXPECT_EQ(a.Counts.ThrottleRate, 1);
  s.FromMs = 1000;
  s.ToMs = 2000;
  const MapAnalysis ranged = AnalyseLog(t.image, t.tables, log, s);
  EXPECT_EQ(ranged.Counts.Rows, 1);
  EXPECT_EQ(ranged.Counts.Used, 1);  // its rate is to the row before the range
}

TEST(LogAnalysis, SuggestionRoundsHalfUpExactlyAndKeepsWithinTheLimit) {
  struct Case {
    int p, n;
    std::int64_t sum;
    int target, maxChange, expected;
    bool limited;
  };
  const Case cases[] = {
      {100, 1, 132, 132, 20, 100, false},   // on target
      {3, 2, 132, 132, 100, 2, false},      // 1.5 rounds up …
      {3, 2, 308, 132, 100, 4, false},      // … and so does 3.5
      {115, 3, 429, 132, 20, 125, false},   // 124.58
      {100, 10, 1470, 132, 20, 111, false}, // 111.36
      {100, 4, 4 * 148, 132, 20, 112, false},
      {123, 7, 7 * 129, 132, 20, 120, false},
      {100, 1, 199, 132, 20, 120, true},    // 150.8 is limited to +20 %
      {100, 1, 100, 132, 20, 80, true},     // 75.8 to −20 %
      {101, 1, 199, 132, 20, 121, true},    // 121.2 is the bound: never beyond it
      {101, 1, 100, 132, 20, 81, true},     // 80.8
      {100, 1, 199, 132, 0, 100, true},
      {100, 10, 1320, 145, 20, 91, false},  // a richer target
      {0, 10, 1500, 132, 20, 0, false},
  };
  for (const Case& c : cases) {
    bool limited = !c.limited;
    EXPECT_EQ(SuggestPercent(c.p, c.sum, c.n, c.target, c.maxChange, &limited), c.expected)
        << "p " << c.p << " n " << c.n << " sum " << c.sum;
    EXPECT_EQ(limited, c.limited) << "p " << c.p << " sum " << c.sum;
  }
}

TEST(LogAnalysis, OnlyCellsWithEnoughRowsGetASuggestion) {
  Tune t;
  std::vector<R> rows;
  // Ten rows lean at 3000 rpm / 20 %, nine at 5000 rpm / 20 %.
  for (int i = 0; i < 10; ++i) rows.push_back({i * 100, 3000, 200, 148});
  for (int i = 0; i < 9; ++i) rows.push_back({2000 + i * 100, 5000, 200, 148});
  AnalysisSettings s;
  const MapAnalysis a = AnalyseLog(t.image, t.tables, Log(rows), s);
  const CellResult& enough = a.Cells[MapCell(4, 2)];
  const CellResult& few = a.Cells[MapCell(4, 4)];
  EXPECT_EQ(enough.Samples, 10);
  EXPECT_TRUE(enough.Enough);
  EXPECT_DOUBLE_EQ(enough.MeanAfr(), 14.8);
  EXPECT_EQ(enough.Current, t.tables.PercentMap1[MapCell(4, 2)]);
  EXPECT_EQ(enough.Suggested, SuggestPercent(enough.Current, 1480, 10, 132, 20));
  EXPECT_GT(enough.Suggested, enough.Current);
  EXPECT_EQ(few.Samples, 9);
  EXPECT_FALSE(few.Enough);
  EXPECT_EQ(few.Suggested, few.Current);
  EXPECT_EQ(a.CellsChanged(), 1);

  // A target table gives each cell its own target.
  std::array<std::uint16_t, kMapCells> targets;
  targets.fill(132);
  targets[MapCell(4, 2)] = 148;
  s.TargetTable = targets;
  EXPECT_EQ(AnalyseLog(t.image, t.tables, Log(rows), s).CellsChanged(), 0);
}

TEST(LogAnalysis, ApplyingFollowsTheMapModes) {
  const int k = MapCell(6, 3);
  const int other = MapCell(2, 9);
  struct Case {
    MapMode mode;
    int map;
    ApplyOutcome outcome;
  };
  const Case cases[] = {
      {MapModeNormal, 1, ApplyOutcome::Applied},        {MapModeNormal, 2, ApplyOutcome::Applied},
      {MapModeCoupled, 1, ApplyOutcome::Applied},       {MapModeCoupled, 2, ApplyOutcome::MapFollowsMap1},
      {MapModeEqual, 1, ApplyOutcome::Applied},         {MapModeEqual, 2, ApplyOutcome::MapFollowsMap1},
  };
  for (const Case& c : cases) {
    Tune t(c.mode);
    if (c.mode == MapModeEqual) {
      CopyMap1ToMap2(t.image, t.tables);
      RefreshPercentMaps(t.image, t.tables);
    }
    const Map150 before1 = t.tables.PercentMap1, before2 = t.tables.PercentMap2;
    const ParameterImage image = t.image;
    MapAnalysis a;
    a.Settings.Map = c.map;
    a.Suggested = c.map == 1 ? before1 : before2;
    a.Suggested[k] += 7;
    ASSERT_EQ(ApplyCorrections(t.image, t.tables, a), c.outcome) << int{c.mode} << " map " << c.map;
    if (c.outcome != ApplyOutcome::Applied) {
      EXPECT_EQ(t.image, image);
      continue;
    }
    const int changed = c.map;
    EXPECT_EQ(t.Percent(changed, k), (changed == 1 ? before1 : before2)[k] + 7) << int{c.mode};
    EXPECT_EQ(t.Percent(changed, other), (changed == 1 ? before1 : before2)[other]) << c.mode;
    // Map 2 moves along when coupled, holds map 1's times when equal, and
    // stays otherwise.
    if (c.map == 2) {
      EXPECT_EQ(t.Percent(1, k), before1[k]);
    } else if (c.mode == MapModeEqual) {
      EXPECT_EQ(t.image.Word(kInj2Map + 2 * k), t.image.Word(kInj1Map + 2 * k));
    } else {
      EXPECT_EQ(t.Percent(2, k), before2[k] + (c.mode == MapModeCoupled ? 7 : 0)) << int{c.mode};
    }
  }
}

TEST(LogAnalysis, ApplyingOnlySelectedCellsAndNothingWhenNoneChange) {
  Tune t;
  MapAnalysis a;
  a.Settings.Map = 1;
  a.Suggested = t.tables.PercentMap1;
  EXPECT_EQ(ApplyCorrections(t.image, t.tables, a), ApplyOutcome::NothingToChange);
  a.Suggested[10] += 5;
  a.Suggested[20] += 5;
  std::array<bool, kMapCells> selected{};
  selected[20] = true;
  const Map150 before = t.tables.PercentMap1;
  EXPECT_EQ(ApplyCorrections(t.image, t.tables, a, selected), ApplyOutcome::Applied);
  EXPECT_EQ(t.Percent(1, 10), before[10]);
  EXPECT_EQ(t.Percent(1, 20), before[20] + 5);
}

TEST(LogAnalysis, TargetTableIsKeptBesideTheTune) {
  EXPECT_EQ(TargetTablePath("/bikes/r1.ign"), "/bikes/r1.target.csv");
  EXPECT_EQ(TargetTablePath("/bikes.d/r1"), "/bikes.d/r1.target.csv");
  EXPECT_EQ(TargetTablePath("/bikes/.hidden"), "/bikes/.hidden.target.csv");
  EXPECT_EQ(TargetTablePath(""), "");
}

TEST(LogAnalysis, TargetTableReadsWhatItWrites) {
  std::array<std::uint16_t, kMapCells> table;
  for (int k = 0; k < kMapCells; ++k) table[k] = static_cast<std::uint16_t>(100 + k % 99);
  std::array<std::uint16_t, kMapCells> back{};
  std::string error;
  ASSERT_TRUE(ParseTargetTable(FormatTargetTable(table), back, error)) << error;
  EXPECT_EQ(back, table);

  std::string row = "13.2";
  for (int i = 1; i < 15; ++i) row += ",13.2";
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += row + "\n";
  const std::pair<std::string, const char*> bad[] = {
      {ten.substr(0, ten.size() - row.size() - 1), "9 rows, not ten"},
      {ten + row + "\n", "more than ten rows"},
      {"13.2,x" + ten.substr(4), "row 1: \"x\" is not an A/F"},
      {"20.0" + ten.substr(4), "row 1: \"20.0\""},
      {"13.2," + ten, "row 1: more than fifteen"},
      {ten.substr(5), "row 1: 14 values"},
  };
  for (const auto& [text, message] : bad) {
    EXPECT_FALSE(ParseTargetTable(text, back, error)) << text;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

// A sweep that held every other rpm point: the cells between two corrected
// ones in a throttle row take their correction, interpolated; a wider hole,
// or one at the end of a row, stays as it is.
TEST(LogAnalysis, CellsBetweenCorrectedOnesAreFilled) {
  Tune t;
  AnalysisSettings s;
  s.MinSamples = 3;
  s.FillBetween = true;
  const int row = 4;  // 20 % throttle
  std::vector<R> rows;
  int ms = 0;
  // Columns 2 and 4 lean (14.52: +10 %), column 6 lean by +20 %; column 11
  // lean, four columns after 6: too far to fill.
  auto ride = [&](int column, int afr) {
    for (int i = 0; i < 3; ++i) rows.push_back({ms += 1000, t.image.P(kInj1Axis + column) * 100, 200, afr});
  };
  ride(2, 1452);
  ride(4, 1452);
  ride(6, 1584);
  ride(11, 1452);
  for (R& r : rows) r.afrX10 /= 10;  // whole tenths: 145 and 158
  const MapAnalysis a = AnalyseLog(t.image, t.tables, Log(rows), s);
  const auto cell = [&](int c) { return a.Cells[MapCell(row, c)]; };
  ASSERT_EQ(cell(2).Suggested, 110);
  ASSERT_EQ(cell(6).Suggested, 120);
  EXPECT_TRUE(cell(3).Filled);
  EXPECT_EQ(cell(3).Suggested, 110);
  EXPECT_EQ(VerdictOf(cell(3)), CellVerdict::Filled);
  EXPECT_EQ(cell(5).Suggested, 115) << "halfway between +10 % and +20 %";
  for (int c : {0, 1, 7, 8, 9, 10, 12, 13, 14}) {
    EXPECT_FALSE(cell(c).Filled) << c;
    EXPECT_EQ(cell(c).Suggested, cell(c).Current) << c;
  }
  EXPECT_EQ(a.Suggested[MapCell(row, 5)], 115);

  s.FillBetween = false;  // as it starts: cells no row was ridden in stay
  const MapAnalysis plain = AnalyseLog(t.image, t.tables, Log(rows), s);
  EXPECT_EQ(plain.Cells[MapCell(row, 3)].Suggested, 100);
}

// The same along an rpm column: a cell between two corrected throttle rows
// takes their correction, by the throttle values (30 % lies halfway between
// 20 % and 40 %; 10 % a third of the way from 5 % to 20 %).
TEST(LogAnalysis, CellsBetweenCorrectedRowsAreFilledByThrottle) {
  Tune t;
  AnalysisSettings s;
  s.MinSamples = 3;
  s.FillBetween = true;
  const int column = 3;
  std::vector<R> rows;
  int ms = 0;
  // Each step of the throttle is too fast for its first row: four rows each.
  auto ride = [&](int tpsTenths, int afr) {
    for (int i = 0; i < 4; ++i) rows.push_back({ms += 1000, t.image.P(kInj1Axis + column) * 100, tpsTenths, afr});
  };
  ride(50, 132);   // 5 %: on target
  ride(200, 145);  // 20 %: +10 %
  ride(400, 158);  // 40 %: +20 %
  const MapAnalysis a = AnalyseLog(t.image, t.tables, Log(rows), s);
  const auto cell = [&](int r) { return a.Cells[MapCell(r, column)]; };
  ASSERT_EQ(cell(2).Suggested, 100);
  ASSERT_EQ(cell(4).Suggested, 110);
  ASSERT_EQ(cell(6).Suggested, 120);
  EXPECT_EQ(cell(5).Suggested, 115);
  EXPECT_TRUE(cell(5).Filled);
  EXPECT_EQ(cell(3).Suggested, 103) << "10 % is a third of the way from 5 % to 20 %";
  for (int r : {0, 1, 7, 8, 9}) EXPECT_FALSE(cell(r).Filled) << r;
}

// A second round that finds 13.27 against 13.2 (+0.53 %) leaves the cell:
// without a dead band it proposed "+1" round after round.
TEST(LogAnalysis, AChangeWithinTheDeadBandIsNone) {
  EXPECT_EQ(SuggestPercent(100, 13270, 100, 132, 20, nullptr, 1), 100);
  EXPECT_EQ(SuggestPercent(100, 13270, 100, 132, 20, nullptr, 0), 101) << "0 turns it off";
  EXPECT_EQ(SuggestPercent(100, 13400, 100, 132, 20, nullptr, 1), 102) << "+1.5 % is outside";
  EXPECT_EQ(SuggestPercent(100, 13080, 100, 132, 20, nullptr, 1), 100) << "-0.9 % is inside";
  EXPECT_EQ(SuggestPercent(200, 13080, 100, 132, 20, nullptr, 1), 200) << "a share of the cell, whatever its size";
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// A ride with everything the filters look at: cold start, sensor faults,
// throttle snaps, rows at the same time and the clock going back once.
std::string MixedRide() {
  std::string text = "time_s,rpm,tps_pct,afr,coolant_c,gear\n";
  for (int i = 0; i < 3000; ++i) {
    const int ms = i == 2000 ? 1000 : i * 330 - (i % 50 == 7 ? 330 : 0);
    const std::string tps = i % 37 == 0 ? "" : i % 91 == 0 ? "150.0" : std::to_string(i * 7 % 100) + ".5";
    const std::string afr = i % 23 == 0 ? "" : std::to_string(11 + i % 8) + "." + std::to_string(i % 10);
    text += std::to_string(ms / 1000) + "." + std::to_string(1000 + ms % 1000).substr(1) + "," +
            std::to_string(i % 41 == 0 ? 0 : 1000 + i * 53 % 11000) + "," + tps + "," + afr + "," +
            std::to_string(std::min(90, 20 + i / 20)) + ",3\n";
  }
  return text;
}

// velmor-cli analyses a log as it reads it, the window from the rows it
// keeps: both give the same result to the last count.
TEST(LogAnalysis, StreamedAndWholeLogGiveTheSameResult) {
  Tune t;
  const std::string text = MixedRide();
  for (const bool fill : {false, true}) {
    AnalysisSettings s;
    s.MinSamples = 3;
    s.FillBetween = fill;
    s.FromMs = 5000;
    s.MaxTpsRateX10 = 300;  // the made-up throttle moves 7 % a row
    const LogReadResult whole = ParseLog(text);
    ASSERT_TRUE(whole.Ok) << whole.Error;
    const MapAnalysis a = AnalyseLog(t.image, t.tables, whole.Data, s);

    LogReader reader;
    ASSERT_TRUE(reader.OpenText(text));
    LogAnalyser analyser(t.image, t.tables, s);
    LogRow row;
    while (reader.Next(row)) analyser.Add(row);
    ASSERT_FALSE(reader.Problem());
    const MapAnalysis b = analyser.Finish();

    EXPECT_GT(a.Counts.Used, 1000);
    EXPECT_GT(a.CellsChanged(), 5);
    for (int AnalysisCounts::*n : {&AnalysisCounts::Rows, &AnalysisCounts::Used, &AnalysisCounts::NoRpm,
                                   &AnalysisCounts::Cold, &AnalysisCounts::NoAfr, &AnalysisCounts::NoThrottle,
                                   &AnalysisCounts::ThrottleRate})
      EXPECT_EQ(a.Counts.*n, b.Counts.*n);
    for (int k = 0; k < kMapCells; ++k) {
      EXPECT_EQ(a.Cells[k].Samples, b.Cells[k].Samples) << k;
      EXPECT_EQ(a.Cells[k].AfrSumX10, b.Cells[k].AfrSumX10) << k;
      EXPECT_EQ(a.Cells[k].Suggested, b.Cells[k].Suggested) << k;
      EXPECT_EQ(a.Cells[k].Filled, b.Cells[k].Filled) << k;
    }
  }
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// The cell at 3000 rpm / 20 %: 100 % in the defaults.
constexpr int kLean = MapCell(4, 2);
// 5000 rpm / 20 %.
constexpr int kSteady = MapCell(4, 4);

// `base` with cell `k` of map 1 at `percent`.
ParameterImage WithCell(const ParameterImage& base, int k, int percent) {
  ParameterImage image = base;
  DerivedTables tables;
  RefreshPercentMaps(image, tables);
  StorePercentCell(image, kInj1Map + 2 * k, percent, tables.BaseTime1[k]);
  return image;
}

std::vector<R> Rows(int fromMs, int rpm, int afrX10, int tune, int n = 10) {
  std::vector<R> rows;
  for (int i = 0; i < n; ++i) rows.push_back({fromMs + i * 100, rpm, 200, afrX10, 80, tune});
  return rows;
}

std::vector<R> Joined(std::initializer_list<std::vector<R>> parts) {
  std::vector<R> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A ride that spans a Program: on tune 1 the lean cell at 100 % read 14.8;
// the correction to 112 % was programmed (tune 2) and the ride went on.
TEST(LogAnalysisByTune, EachCellStartsFromTheTuneItsRowsWereRiddenOn) {
  Tune now;
  const ParameterImage tune1 = now.image;
  const ParameterImage tune2 = WithCell(tune1, kLean, 112);
  ASSERT_EQ(now.Percent(1, kLean), 100);
  const ParameterImage* tunes[] = {&now.image, &tune1, &tune2};
  AnalysisSettings s;
  struct Case {
    const char* what;
    std::vector<R> rows;
    int samples, current, suggested, tune;
  };
  const Case cases[] = {
      {"only the first part: its own 100 %", Rows(0, 3000, 148, 1), 10, 100, 112, 1},
      {"on target after the Program: nothing more", Joined({Rows(0, 3000, 148, 1), Rows(5000, 3000, 132, 2)}), 10,
       112, 112, 2},
      {"still lean after it: from 112, not 100", Joined({Rows(0, 3000, 148, 1), Rows(5000, 3000, 140, 2)}), 10,
       112, SuggestPercent(112, 1400, 10, 132, 20), 2},
      {"no tune column: the first tune", Rows(0, 3000, 148, -1), 10, 100, 112, 1},
      {"unknown tune: the map now", Rows(0, 3000, 148, kUnknownTune), 10, 100, 112, 0},
      {"a tune not kept: the map now", Rows(0, 3000, 148, 7), 10, 100, 112, 0},
  };
  for (const Case& c : cases) {
    const MapAnalysis a = AnalyseLog(tunes, Log(c.rows), s);
    const CellResult& cell = a.Cells[kLean];
    EXPECT_EQ(cell.Samples, c.samples) << c.what;
    EXPECT_EQ(cell.Current, c.current) << c.what;
    EXPECT_EQ(cell.Suggested, c.suggested) << c.what;
    EXPECT_EQ(cell.Tune, c.tune) << c.what;
  }

  // A cell both tunes hold alike takes the rows of both.
  const MapAnalysis pooled =
      AnalyseLog(tunes, Log(Joined({Rows(0, 5000, 140, 1, 6), Rows(5000, 5000, 140, 2, 6)})), s);
  EXPECT_EQ(pooled.Cells[kSteady].Samples, 12);
  EXPECT_TRUE(pooled.Cells[kSteady].Enough);
}

// Opened again after its correction went in, a log proposes its change only
// for cells that still hold what was ridden: the corrected one is marked.
TEST(LogAnalysisByTune, ACellChangedSinceTheRideIsMarked) {
  Tune t;
  const ParameterImage ridden = t.image;
  const ParameterImage* tunes[] = {&t.image, &ridden};
  const MapAnalysis a =
      AnalyseLog(tunes, Log(Joined({Rows(0, 3000, 148, 1), Rows(5000, 5000, 148, 1)})), AnalysisSettings{});
  const ParameterImage corrected = WithCell(ridden, kLean, 112);
  const std::array<bool, kMapCells> changed = CellsChangedSince(a, tunes, corrected);
  EXPECT_TRUE(changed[kLean]);
  EXPECT_FALSE(changed[kSteady]);
  EXPECT_EQ(std::count(changed.begin(), changed.end(), true), 1);
  // A moved axis moves every cell.
  ParameterImage moved = ridden;
  moved.P(kInj1Axis + 14) = static_cast<std::uint8_t>(moved.P(kInj1Axis + 14) - 1);
  const std::array<bool, kMapCells> all = CellsChangedSince(a, tunes, moved);
  EXPECT_EQ(std::count(all.begin(), all.end(), true), kMapCells);
}

TEST(TuneKeeper, KeepsANewTuneOnlyWhenTheInjectionChanges) {
  TempDir dir;
  const std::string log = (dir.path / "ride.csv").string();
  Tune t;
  TuneKeeper keeper(log);
  EXPECT_EQ(keeper.Follow(nullptr, {}), kUnknownTune) << "nothing known of the unit yet";
  EXPECT_EQ(keeper.Follow(&t.image, {}), 1);
  EXPECT_TRUE(std::filesystem::exists(dir.path / "ride.ign"));
  ParameterImage ignition = t.image;
  ignition.P(35) = static_cast<std::uint8_t>(ignition.P(35) + 1);  // not injection
  EXPECT_EQ(keeper.Follow(&ignition, {}), 1);
  EXPECT_EQ(keeper.Follow(nullptr, {}), 1) << "a transfer running: still the last tune";
  const ParameterImage corrected = WithCell(t.image, kLean, 112);
  EXPECT_EQ(keeper.Follow(&corrected, {}), 2);
  EXPECT_EQ(TunePathOfLog(log, 2), (dir.path / "ride.tune-2.ign").string());
  ParameterImage mode = corrected;
  mode.P(kMapModeByte) = MapModeCoupled;
  EXPECT_EQ(keeper.Follow(&mode, {}), 3);
  EXPECT_EQ(keeper.Kept(), 3);

  const auto loaded = LoadRiddenTunes(log, ParameterImage{});
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_FALSE(loaded[0]);
  ASSERT_TRUE(loaded[1] && loaded[2] && loaded[3]);
  EXPECT_FALSE(InjectionDiffers(*loaded[2], corrected));
  EXPECT_TRUE(InjectionDiffers(*loaded[1], corrected));
}

TEST(TuneKeeper, ATuneThatCannotBeWrittenLeavesItsRowsUnknownAndNoHole) {
  TempDir dir;
  const std::string log = (dir.path / "ride.csv").string();
  Tune t;
  TuneKeeper keeper(log);
  // A folder where the tune would go: no file can take its place.
  std::filesystem::create_directory(dir.path / "ride.ign");
  std::string error;
  EXPECT_EQ(keeper.Follow(&t.image, {}, &error), kUnknownTune);
  EXPECT_NE(error.find("ride.ign"), std::string::npos) << error;
  std::filesystem::remove(dir.path / "ride.ign");
  EXPECT_EQ(keeper.Follow(&t.image, {}), kUnknownTune) << "the same tune is not tried again on every row";
  const ParameterImage corrected = WithCell(t.image, kLean, 112);
  EXPECT_EQ(keeper.Follow(&corrected, {}), 1) << "the next change takes the first free number";
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path / "ride.ign"));
}

}  // namespace
}  // namespace velmor

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/map_edit.h"
#include "editor/undo.h"
#include "model/defaults.h"
#include "model/normalise.h"
#include "test_images.h"

namespace velmor {
namespace {

using Op = MapOperation;

// An RPM axis that does not rise evenly, so that column numbers and rpm
// give different lines: 1000, 2000, 4000, 5000, 8000 ... rpm.
constexpr MapAxis kAxis{10, 20, 40, 50, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180};
constexpr CellLimits kAdvanceLimits{0, 60};

// Every cell 20, with the cells of `set` given their own values.
Map150 MapOf(std::initializer_list<std::pair<std::pair<int, int>, int>> set, int fill = 20) {
  Map150 m{};
  m.fill(static_cast<std::uint16_t>(fill));
  for (const auto& [cell, v] : set) m[MapCell(cell.first, cell.second)] = static_cast<std::uint16_t>(v);
  return m;
}

struct EditCase {
  std::string name;
  Map150 before;
  CellBlock block;
  MapEdit edit;
  // Cells expected to change, with their new values; every other cell keeps its value.
  std::vector<std::pair<std::pair<int, int>, int>> changed;
};

void ExpectEdit(const EditCase& c, CellLimits limits = kAdvanceLimits) {
  SCOPED_TRACE(c.name);
  const Map150 after = EditedValues(c.before, kAxis, c.block, c.edit, limits);
  Map150 expected = c.before;
  for (const auto& [cell, v] : c.changed) expected[MapCell(cell.first, cell.second)] = static_cast<std::uint16_t>(v);
  for (int k = 0; k < kMapCells; ++k) {
    EXPECT_EQ(after[k], expected[k]) << "row " << k / kMapColumns << " column " << k % kMapColumns;
  }
}

TEST(MapEdit, SetAddScaleActOnTheBlockWithinLimitsRoundingHalvesUp) {
  const CellBlock corner{8, 13, 9, 14};  // the map's bottom-right corner
  const EditCase cases[] = {
      {"set one cell", MapOf({}), {4, 7, 4, 7}, {Op::Set, 33}, {{{4, 7}, 33}}},
      {"set above the range", MapOf({}), corner, {Op::Set, 75},
       {{{8, 13}, 60}, {{8, 14}, 60}, {{9, 13}, 60}, {{9, 14}, 60}}},
      {"set below the range", MapOf({}), {0, 0, 0, 1}, {Op::Set, -3}, {{{0, 0}, 0}, {{0, 1}, 0}}},
      {"add at the top edge", MapOf({{{0, 0}, 58}}), {0, 0, 0, 2}, {Op::Add, 4},
       {{{0, 0}, 60}, {{0, 1}, 24}, {{0, 2}, 24}}},
      {"subtract to the lower bound", MapOf({{{9, 14}, 2}}), corner, {Op::Add, -5},
       {{{8, 13}, 15}, {{8, 14}, 15}, {{9, 13}, 15}, {{9, 14}, 0}}},
      {"scale 105 % rounds 10.5 up", MapOf({{{2, 2}, 10}}), {2, 2, 2, 3}, {Op::Scale, 10500},
       {{{2, 2}, 11}, {{2, 3}, 21}}},
      {"scale 90 %: 13.5 up, 1.8 up", MapOf({{{0, 0}, 15}, {{0, 1}, 2}}), {0, 0, 0, 1}, {Op::Scale, 9000},
       {{{0, 0}, 14}, {{0, 1}, 2}}},
      {"scale 12.49 % of 20 stays below a half", MapOf({}), {5, 5, 5, 5}, {Op::Scale, 1249}, {{{5, 5}, 2}}},
      {"scale 12.5 % of 20 is 2.5", MapOf({}), {5, 5, 5, 5}, {Op::Scale, 1250}, {{{5, 5}, 3}}},
      {"scale limited to the range", MapOf({}), {3, 3, 3, 3}, {Op::Scale, 40000}, {{{3, 3}, 60}}},
      {"a negative scale counts as zero", MapOf({}), {3, 3, 3, 3}, {Op::Scale, -100}, {{{3, 3}, 0}}},
  };
  for (const EditCase& c : cases) ExpectEdit(c);

  // A block given corner to corner in any order is the same block.
  const Map150 m = MapOf({});
  EXPECT_EQ(EditedValues(m, kAxis, CellBlock::Spanning(9, 14, 8, 13), {Op::Set, 1}, kAdvanceLimits),
            EditedValues(m, kAxis, corner, {Op::Set, 1}, kAdvanceLimits));
}

TEST(MapEdit, InterpolationFollowsTheAxesAndRoundsHalvesUp) {
  const EditCase cases[] = {
      // Along a row, x is the rpm: 1000 -> 5000 rpm, column 1 (2000) is a
      // quarter of the way and column 2 (4000) three quarters.
      {"row by rpm", MapOf({{{3, 0}, 0}, {{3, 3}, 40}}), {3, 0, 3, 3}, {Op::InterpolateRows},
       {{{3, 1}, 10}, {{3, 2}, 30}}},
      // Columns 5..7 are evenly spaced (9000, 10000, 11000 rpm): 0.5 in the middle.
      {"row rounds a half up", MapOf({{{0, 5}, 0}, {{0, 7}, 1}}), {0, 5, 0, 7}, {Op::InterpolateRows},
       {{{0, 6}, 1}}},
      {"falling row rounds a half up too", MapOf({{{0, 5}, 1}, {{0, 7}, 0}}), {0, 5, 0, 7}, {Op::InterpolateRows},
       {{{0, 6}, 1}}},
      {"rows: each row its own line", MapOf({{{0, 0}, 0}, {{0, 2}, 30}, {{1, 0}, 30}, {{1, 2}, 0}}), {0, 0, 1, 2},
       {Op::InterpolateRows}, {{{0, 1}, 10}, {{1, 1}, 20}}},
      {"1 x n with vertical keeps values", MapOf({{{3, 0}, 0}, {{3, 3}, 40}}), {3, 0, 3, 3},
       {Op::InterpolateColumns}, {}},
      {"1 x n with both is the row line", MapOf({{{3, 0}, 0}, {{3, 3}, 40}}), {3, 0, 3, 3}, {Op::InterpolateBoth},
       {{{3, 1}, 10}, {{3, 2}, 30}}},
      // Along a column, x is the throttle: rows 0..4 are 0, 2, 5, 10, 20 %.
      {"column by throttle", MapOf({{{0, 6}, 0}, {{4, 6}, 60}}), {0, 6, 4, 6}, {Op::InterpolateColumns},
       {{{1, 6}, 6}, {{2, 6}, 15}, {{3, 6}, 30}}},
      {"n x 1 with horizontal keeps values", MapOf({{{0, 6}, 0}, {{4, 6}, 60}}), {0, 6, 4, 6},
       {Op::InterpolateRows}, {}},
      {"n x 1 with both is the column line", MapOf({{{0, 6}, 0}, {{4, 6}, 60}}), {0, 6, 4, 6},
       {Op::InterpolateBoth}, {{{1, 6}, 6}, {{2, 6}, 15}, {{3, 6}, 30}}},
      {"one cell keeps its value", MapOf({{{4, 4}, 7}}), {4, 4, 4, 4}, {Op::InterpolateBoth}, {}},
      // Bilinear from the corners of rows 6..8 (40, 60, 80 %) and columns
      // 0..2 (1000, 2000, 4000 rpm): the middle cell is 1/3 along x and
      // half along y: top 0 + 60/3 = 20, bottom 30 + 30/3 = 40, mean 30.
      {"both from the four corners", MapOf({{{6, 0}, 0}, {{6, 2}, 60}, {{8, 0}, 30}, {{8, 2}, 60}}), {6, 0, 8, 2},
       {Op::InterpolateBoth},
       {{{6, 1}, 20}, {{7, 0}, 15}, {{7, 1}, 30}, {{7, 2}, 60}, {{8, 1}, 40}}},
  };
  for (const EditCase& c : cases) ExpectEdit(c);

  // An axis that does not rise across the block: column numbers instead.
  MapAxis flat{};
  flat.fill(30);
  const Map150 m = MapOf({{{0, 0}, 0}, {{0, 3}, 30}});
  const Map150 after = EditedValues(m, flat, {0, 0, 0, 3}, {Op::InterpolateRows}, kAdvanceLimits);
  EXPECT_EQ(after[MapCell(0, 1)], 10);
  EXPECT_EQ(after[MapCell(0, 2)], 20);
}

TEST(MapEdit, SmoothTakesTheMeanOfNeighboursFromTheValuesBefore) {
  const EditCase cases[] = {
      // The corner has three neighbours: (9 + 0 + 0 + 0) / 4 = 2.25.
      {"corner, four cells", MapOf({{{0, 0}, 9}}, 0), {0, 0, 0, 0}, {Op::Smooth}, {{{0, 0}, 2}}},
      // (10 + 0 * 5) / 6 at an edge = 1.67.
      {"edge, six cells", MapOf({{{0, 5}, 10}}, 0), {0, 5, 0, 5}, {Op::Smooth}, {{{0, 5}, 2}}},
      // 9 cells: 18 / 9 = 2; the neighbours are read before smoothing, so the
      // second cell sees the spike, not the smoothed 2.
      {"inner cells from the old values", MapOf({{{4, 4}, 18}}, 0), {4, 4, 4, 5}, {Op::Smooth},
       {{{4, 4}, 2}, {{4, 5}, 2}}},
      // A neighbour outside the block counts; 18 / 4 = 4.5 rounds up.
      {"half up", MapOf({{{9, 13}, 18}}, 0), {9, 14, 9, 14}, {Op::Smooth}, {{{9, 14}, 5}}},
      {"flat area stays", MapOf({}), CellBlock::Whole(), {Op::Smooth}, {}},
  };
  for (const EditCase& c : cases) ExpectEdit(c);
}

// The image after the defaults, normalised, with the injection maps in `mode`.
struct ImageFixture : testsupport::DefaultImage {
  std::unique_ptr<UndoRing> ring = std::make_unique<UndoRing>();
  BlockMarks marks{};

  explicit ImageFixture(std::uint8_t mode = MapModeNormal) {
    image.P(47) = mode;
    // Injection words that are not a whole percentage of their base time,
    // so that any re-quantisation of a cell shows.
    for (int k = 0; k < kMapCells; ++k) {
      image.SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(image.Word(kInj1Map + 2 * k) + 3));
      image.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>(image.Word(kInj2Map + 2 * k) + 7));
    }
    PersistedSelection s;
    Normalise(image, s);
    if (mode == MapModeEqual) CopyMap1ToMap2(image, tables);
    InitUndo(*ring, image, PageAdvance);
  }
  std::uint16_t Word(int map, int k) const { return image.Word(map + 2 * k); }
};

TEST(MapEdit, OnlyTheChangedCellsOfTheImageAreWritten) {
  for (int page : {PageAdvance, PageInj1, PageInj2}) {
    SCOPED_TRACE(page);
    ImageFixture f;
    const ParameterImage before = f.image;
    const CellBlock block{2, 3, 4, 6};
    const Map150 values = MapValues(f.image, f.tables, page);
    const int step = page == PageAdvance ? 2 : 10;
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, page, block, {Op::Add, step}), MapWriteResult::Changed);

    f.tables = {};
    const Map150 after = MapValues(f.image, f.tables, page);
    for (int k = 0; k < kMapCells; ++k) {
      const bool inside = block.Contains(k / kMapColumns, k % kMapColumns);
      EXPECT_EQ(after[k], values[k] + (inside ? step : 0)) << k;
    }
    // Outside the block every byte of the parameter area is as it was.
    for (int n = 0; n < kParamSize; ++n) {
      const bool advanceCell = n >= kAdvanceMap && n < kAdvanceMap + kMapCells;
      const int map = page == PageInj1 ? kInj1Map : kInj2Map;
      const bool injCell = page != PageAdvance && n >= map && n < map + 2 * kMapCells;
      const int k = advanceCell && page == PageAdvance ? n - kAdvanceMap : injCell ? (n - map) / 2 : -1;
      if (k >= 0 && block.Contains(k / kMapColumns, k % kMapColumns)) continue;
      ASSERT_EQ(f.image.P(n), before.P(n)) << "P+" << n;
    }
    if (page != PageAdvance) {
      // A written cell is its new percentage of the base time, rounded.
      const int k = MapCell(3, 4);
      const Map150& base = page == PageInj1 ? f.tables.BaseTime1 : f.tables.BaseTime2;
      EXPECT_EQ(f.Word(page == PageInj1 ? kInj1Map : kInj2Map, k), PercentToTime(after[k], base[k]));
    }
  }
}

TEST(MapEdit, Map2FollowsTheMapModes) {
  const CellBlock block{5, 5, 6, 6};
  {
    SCOPED_TRACE("coupled: map 2 moves by the same amount in the block only");
    ImageFixture f(MapModeCoupled);
    const Map150 p2 = MapValues(f.image, f.tables, PageInj2);
    const ParameterImage before = f.image;
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, PageInj1, block, {Op::Add, 7}), MapWriteResult::Changed);
    const Map150 after2 = MapValues(f.image, f.tables, PageInj2);
    for (int k = 0; k < kMapCells; ++k) {
      if (block.Contains(k / kMapColumns, k % kMapColumns)) {
        EXPECT_EQ(after2[k], p2[k] + 7) << k;
      } else {
        EXPECT_EQ(f.Word(kInj2Map, k), before.Word(kInj2Map + 2 * k)) << k;
      }
    }
    EXPECT_EQ(ApplyMapEdit(f.image, f.tables, PageInj2, block, {Op::Add, 7}), MapWriteResult::Refused);
  }
  {
    SCOPED_TRACE("coupled: map 2 moves within its own range, past 1000 %");
    ImageFixture f(MapModeCoupled);
    Map150 p2 = MapValues(f.image, f.tables, PageInj2);
    p2[MapCell(5, 5)] = 995;
    f.image.P(47) = MapModeNormal;
    ASSERT_EQ(WriteMapValues(f.image, f.tables, PageInj2, p2), MapWriteResult::Changed);
    f.image.P(47) = MapModeCoupled;
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, PageInj1, block, {Op::Add, 10}), MapWriteResult::Changed);
    EXPECT_EQ(MapValues(f.image, f.tables, PageInj2)[MapCell(5, 5)], 1005);
  }
  {
    SCOPED_TRACE("equal: map 2 is a copy of map 1");
    ImageFixture f(MapModeEqual);
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, PageInj1, block, {Op::Scale, 11000}), MapWriteResult::Changed);
    for (int n = 0; n < 2 * kMapCells; ++n) ASSERT_EQ(f.image.P(kInj2Map + n), f.image.P(kInj1Map + n)) << n;
    const ParameterImage before = f.image;
    EXPECT_EQ(ApplyMapEdit(f.image, f.tables, PageInj2, block, {Op::Add, 1}), MapWriteResult::Refused);
    EXPECT_EQ(f.image, before);
  }
  {
    SCOPED_TRACE("normal: the maps are independent");
    ImageFixture f(MapModeNormal);
    const ParameterImage before = f.image;
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, PageInj2, block, {Op::Set, 150}), MapWriteResult::Changed);
    for (int n = 0; n < 2 * kMapCells; ++n) ASSERT_EQ(f.image.P(kInj1Map + n), before.P(kInj1Map + n)) << n;
    ASSERT_EQ(ApplyMapEdit(f.image, f.tables, PageInj1, block, {Op::Set, 150}), MapWriteResult::Changed);
    EXPECT_EQ(MapValues(f.image, f.tables, PageInj2)[MapCell(5, 5)], 150);
  }
}

TEST(MapEdit, EveryOperationIsOneUndoStep) {
  const MapEdit edits[] = {{Op::Set, 30},           {Op::Add, 3},        {Op::Scale, 12000},
                           {Op::InterpolateRows},   {Op::InterpolateColumns}, {Op::InterpolateBoth},
                           {Op::Smooth}};
  for (int page : {PageAdvance, PageInj1}) {
    for (const MapEdit& e : edits) {
      SCOPED_TRACE("page " + std::to_string(page) + " operation " + std::to_string(static_cast<int>(e.Operation)));
      ImageFixture f(MapModeCoupled);
      // A bumpy block, so that every operation changes something.
      Map150 v = MapValues(f.image, f.tables, page);
      v[MapCell(1, 1)] = 5;
      v[MapCell(2, 2)] = 50;
      ASSERT_EQ(WriteMapValues(f.image, f.tables, page, v), MapWriteResult::Changed);
      InitUndo(*f.ring, f.image, page);
      const ParameterImage start = f.image;

      ASSERT_EQ(ApplyMapEdit(f.image, f.tables, page, {0, 0, 4, 4}, e), MapWriteResult::Changed);
      PersistedSelection s;
      Normalise(f.image, s);
      ASSERT_TRUE(PushUndo(*f.ring, f.image, page, f.marks, {}).Changed);
      EXPECT_EQ(UndoDepth(*f.ring), 1);
      ASSERT_TRUE(Undo(*f.ring, f.image, page, f.marks, {}).Moved);
      EXPECT_EQ(f.image, start);
    }
  }
}

TEST(MapEdit, AnEditThatChangesNothingWritesNothing) {
  ImageFixture f;
  const ParameterImage before = f.image;
  const int shown = MapValues(f.image, f.tables, PageInj1)[MapCell(7, 7)];
  // Setting the value a cell shows keeps its off-grid word.
  EXPECT_EQ(ApplyMapEdit(f.image, f.tables, PageInj1, {7, 7, 7, 7}, {Op::Set, shown}), MapWriteResult::Unchanged);
  EXPECT_EQ(ApplyMapEdit(f.image, f.tables, PageAdvance, CellBlock::Whole(), {Op::Add, 0}),
            MapWriteResult::Unchanged);
  EXPECT_EQ(f.image, before);
  EXPECT_EQ(ApplyMapEdit(f.image, f.tables, PagePosition, CellBlock::Whole(), {Op::Add, 1}),
            MapWriteResult::Refused);
}

}  // namespace
}  // namespace velmor

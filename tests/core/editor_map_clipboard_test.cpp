#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/map_clipboard.h"

namespace velmor {
namespace {

constexpr CellLimits kLimits{0, 60};

Map150 Counting() {
  Map150 m{};
  for (int k = 0; k < kMapCells; ++k) m[k] = static_cast<std::uint16_t>(k % 61);
  return m;
}

MapAxis Axis() {
  MapAxis a{};
  for (int c = 0; c < kMapColumns; ++c) a[c] = static_cast<std::uint8_t>(10 + 10 * c);
  return a;
}

TEST(MapClipboard, ABlockAndTheWholeMapGoOutAndComeBack) {
  const Map150 m = Counting();
  EXPECT_EQ(CellsToText(m, Axis(), {1, 2, 2, 4}), "17\t18\t19\n32\t33\t34\n");

  const std::string whole = CellsToText(m, Axis(), CellBlock::Whole());
  EXPECT_EQ(whole.substr(0, whole.find('\n')),
            "\t1000\t2000\t3000\t4000\t5000\t6000\t7000\t8000\t9000\t10000\t11000\t12000\t13000\t14000\t15000");
  EXPECT_EQ(whole.substr(whole.rfind('\n', whole.size() - 2) + 1, 4), "100\t");
  // Pasted back onto a map of zeros, the axes are recognised and left out.
  const PastedCells pasted = TextToCells(whole);
  ASSERT_TRUE(pasted.Ok);
  const PastePlacement p = PlaceCells(Map150{}, pasted, {0, 0, 0, 0}, kLimits);
  EXPECT_EQ(p.Values, m);
  EXPECT_EQ(p.Rows, kMapRows);
  EXPECT_EQ(p.Columns, kMapColumns);
  EXPECT_FALSE(p.CutOff);
}

TEST(MapClipboard, NumbersAreReadAsSpreadsheetsWriteThem) {
  struct Case {
    std::string text;
    bool ok;
    std::vector<std::vector<int>> rows;
    std::string bad;
    bool ambiguous = false;
  };
  const std::vector<Case> cases = {
      {"1\t2\r\n3\t4\r\n", true, {{1, 2}, {3, 4}}, ""},
      {"12,5\t12.4\t-2.5\t+7\t 8 ", true, {{13, 12, -2, 7, 8}}, ""},
      {"5\n\n", true, {{5}}, ""},
      {"1\tabc\t2", false, {}, "abc"},
      {"1\t\t2", false, {}, ""},          // an empty field inside a row
      {"1.2.3", false, {}, "1.2.3"},
      {"1e3", false, {}, "1e3"},
      {"", false, {}, ""},
      {"\t1000\t2000\n0\t5\t6\n2\t7\t8\n", true, {{5, 6}, {7, 8}}, ""},  // with axes
      // A thousand in one spreadsheet, 1.234 in another: neither is guessed.
      {"5\t1,234", false, {}, "1,234", true},
      {"-1,234 ", false, {}, "-1,234", true},
      {"1,23\t1,2345\t1.234", true, {{1, 1, 1}}, ""},
  };
  for (const Case& c : cases) {
    const PastedCells p = TextToCells(c.text);
    EXPECT_EQ(p.Ok, c.ok) << c.text;
    EXPECT_EQ(p.Rows, c.rows) << c.text;
    if (!c.ok) {
      EXPECT_EQ(p.BadField, c.bad) << c.text;
    }
    EXPECT_EQ(p.Ambiguous, c.ambiguous) << c.text;
  }
}

TEST(MapClipboard, PlacingCutsOffAtTheEdgesLimitsAndFillsFromOneValue) {
  const Map150 m = Counting();
  {
    SCOPED_TRACE("a 3 x 3 block at the bottom-right corner");
    const PastePlacement p = PlaceCells(m, TextToCells("1\t2\t3\n4\t5\t6\n7\t8\t9"), {8, 13, 8, 13}, kLimits);
    EXPECT_TRUE(p.CutOff);
    EXPECT_EQ(p.Rows, 2);
    EXPECT_EQ(p.Columns, 2);
    Map150 expected = m;
    expected[MapCell(8, 13)] = 1;
    expected[MapCell(8, 14)] = 2;
    expected[MapCell(9, 13)] = 4;
    expected[MapCell(9, 14)] = 5;
    EXPECT_EQ(p.Values, expected);
  }
  {
    SCOPED_TRACE("values limited to the range");
    const PastePlacement p = PlaceCells(m, TextToCells("-4\t99"), {0, 0, 0, 0}, kLimits);
    EXPECT_EQ(p.Values[0], 0);
    EXPECT_EQ(p.Values[1], 60);
  }
  {
    SCOPED_TRACE("one value fills a selection");
    const PastePlacement p = PlaceCells(m, TextToCells("7"), {2, 2, 3, 4}, kLimits);
    for (int k = 0; k < kMapCells; ++k) {
      const bool inside = CellBlock{2, 2, 3, 4}.Contains(k / kMapColumns, k % kMapColumns);
      EXPECT_EQ(p.Values[k], inside ? 7 : m[k]) << k;
    }
  }
  {
    SCOPED_TRACE("text that is not numbers places nothing");
    const PastePlacement p = PlaceCells(m, TextToCells("x"), {0, 0, 0, 0}, kLimits);
    EXPECT_EQ(p.Values, m);
    EXPECT_EQ(p.Rows, 0);
  }
}

}  // namespace
}  // namespace velmor

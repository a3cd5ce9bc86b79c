#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/compare.h"
#include "files/memo.h"
#include "model/defaults.h"
#include "model/normalise.h"
#include "test_images.h"

namespace velmor {
namespace {

// An image and its tables, which a test edits.
using Edited = testsupport::DefaultImage;

Edited Defaults() {
  Edited e;
  PersistedSelection selection{};
  Normalise(e.image, selection);
  RefreshPercentMaps(e.image, e.tables);
  return e;
}

struct Change {
  const char* name;
  std::function<void(ParameterImage&)> edit;
  int page;
  int row, column;        // map cells only
  const char* line;       // the whole difference as velmor-cli diff prints it
};

const Change kChanges[] = {
    {"scalar field", [](ParameterImage& i) { i.P(35) = 95; }, PageBike, -1, -1,
     "Bike: Fan 1 switch-on temperature [°C]: 102 -> 95"},
    {"map cell", [](ParameterImage& i) { i.P(kAdvanceMap + MapCell(6, 3)) = 40; }, PageAdvance, 6, 3,
     "Advance: Advance map, TPS 40 %, column 3 (4000 rpm) [°]: 36 -> 40"},
    {"memo", [](ParameterImage& i) { WriteNoteText(i, "new exhaust\nsecond"); }, PageBike, -1, -1,
     nullptr},
    {"field on another page", [](ParameterImage& i) { i.P(98) = 1; }, PageN2O, -1, -1,
     "N2O: N2O enabled: off -> on"},
};

TEST(Compare, EachChangeIsOneDifferenceAndApplyingItMakesTheImagesEqual) {
  for (const Change& c : kChanges) {
    SCOPED_TRACE(c.name);
    const Edited a = Defaults();
    Edited b = a;
    c.edit(b.image);
    RefreshPercentMaps(b.image, b.tables);

    const std::vector<ImageDifference> diffs = DiffImages(a.image, a.tables, b.image, b.tables);
    ASSERT_EQ(diffs.size(), 1u);
    const ImageDifference& d = diffs[0];
    EXPECT_EQ(d.Page, c.page);
    EXPECT_EQ(d.Row, c.row);
    EXPECT_EQ(d.Column, c.column);
    EXPECT_EQ(d.IsMapCell(), c.row >= 0);
    if (c.line != nullptr) {
      EXPECT_EQ(d.Line(), c.line);
    }

    ParameterImage into = a.image;
    const unsigned blocks = ApplyDifferences(into, b.image, diffs);
    EXPECT_EQ(into, b.image);
    EXPECT_EQ(blocks, 1u << BlockOfParam(d.Offset + d.ByteCount - 1) | 1u << BlockOfParam(d.Offset));
    // Applying again changes nothing.
    EXPECT_EQ(ApplyDifferences(into, b.image, diffs), 0u);
  }
}

TEST(Compare, OnlyTheChosenDifferencesAreTaken) {
  const Edited a = Defaults();
  Edited b = a;
  for (const Change& c : kChanges) c.edit(b.image);
  RefreshPercentMaps(b.image, b.tables);
  const std::vector<ImageDifference> all = DiffImages(a.image, a.tables, b.image, b.tables);
  ASSERT_EQ(all.size(), std::size(kChanges));

  // The map cell and the field on another page; not the fan or the memo.
  std::vector<ImageDifference> chosen, left;
  for (const ImageDifference& d : all) (d.Page == PageAdvance || d.Page == PageN2O ? chosen : left).push_back(d);
  ASSERT_EQ(chosen.size(), 2u);
  ParameterImage into = a.image;
  ApplyDifferences(into, b.image, chosen);
  DerivedTables intoTables = a.tables;
  RefreshPercentMaps(into, intoTables);

  const std::vector<ImageDifference> remaining = DiffImages(into, intoTables, b.image, b.tables);
  ASSERT_EQ(remaining.size(), left.size());
  for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(remaining[i].Line(), left[i].Line());
  EXPECT_EQ(into.P(kAdvanceMap + MapCell(6, 3)), 40);
  EXPECT_EQ(into.P(98), 1);
  EXPECT_EQ(into.P(35), a.image.P(35));
}

TEST(Compare, InjectionCellsShowTimeAndPercentAndUncoveredBytesTheirOffset) {
  Edited a = Defaults();
  a.image.P(47) = MapModeNormal;
  RefreshPercentMaps(a.image, a.tables);
  Edited b = a;
  b.image.SetWord(kInj1Map + 2 * MapCell(0, 0), 5000);
  b.image.P(1) = 9;  // reserved
  RefreshPercentMaps(b.image, b.tables);
  const std::vector<ImageDifference> diffs = DiffImages(a.image, a.tables, b.image, b.tables);
  ASSERT_EQ(diffs.size(), 2u);
  EXPECT_EQ(diffs[0].Page, PageInj1);
  EXPECT_EQ(diffs[0].ByteCount, 2);
  EXPECT_TRUE(diffs[0].ValueB.starts_with("5000 µs (")) << diffs[0].ValueB;
  EXPECT_EQ(diffs[1].Line(), "Not an editor field: P+1: 0 -> 9");
  EXPECT_EQ(diffs[1].FieldIndex, -1);

  ParameterImage into = a.image;
  EXPECT_EQ(ApplyDifferences(into, b.image, diffs), 1u << 1 | 1u << BlockOfParam(kInj1Map));
  EXPECT_EQ(into, b.image);
}

// An injection cell's percentage as the page shows it, and set as typing
// would set it.
int Percent(const Edited& e, int page, int k) {
  return (page == PageInj1 ? e.tables.PercentMap1 : e.tables.PercentMap2)[k];
}
int CellOffset(int page, int k) { return (page == PageInj1 ? kInj1Map : kInj2Map) + 2 * k; }
void SetPercent(Edited& e, int page, int k, int percent) {
  StorePercentCell(e.image, CellOffset(page, k), static_cast<std::uint16_t>(percent),
                   (page == PageInj1 ? e.tables.BaseTime1 : e.tables.BaseTime2)[k]);
  RefreshPercentMaps(e.image, e.tables);
}

// Under the map modes a compare Apply does what typing the values would: in
// the coupled mode map 2 moves by as many percent as map 1's cells did (a
// map-2 cell chosen itself keeps its own value); in " 1 = 2" map 2's
// differences are not offered at all, since map 1 is copied over them.
TEST(Compare, ApplyFollowsTheMapModes) {
  Edited a = Defaults();
  a.image.P(kMapModeByte) = MapModeCoupled;
  RefreshPercentMaps(a.image, a.tables);
  const int moved = MapCell(3, 4), own = MapCell(5, 6);
  Edited b = a;
  SetPercent(b, PageInj1, moved, Percent(a, PageInj1, moved) + 10);
  SetPercent(b, PageInj1, own, Percent(a, PageInj1, own) + 4);
  b.image.SetWord(CellOffset(PageInj2, own), static_cast<std::uint16_t>(a.image.Word(CellOffset(PageInj2, own)) + 37));
  RefreshPercentMaps(b.image, b.tables);

  const std::vector<ImageDifference> diffs = DiffImages(a.image, a.tables, b.image, b.tables);
  ASSERT_EQ(diffs.size(), 3u);
  Edited into = a;
  ApplyDifferences(into.image, b.image, diffs);
  RefreshPercentMaps(into.image, into.tables);
  EXPECT_EQ(into.image.Word(CellOffset(PageInj1, moved)), b.image.Word(CellOffset(PageInj1, moved)))
      << "map 1 takes the other's word exactly";
  EXPECT_EQ(Percent(into, PageInj2, moved), Percent(a, PageInj2, moved) + 10) << "map 2 moves with map 1";
  EXPECT_EQ(into.image.Word(CellOffset(PageInj2, own)), b.image.Word(CellOffset(PageInj2, own)))
      << "a chosen map-2 cell keeps its own value";

  Edited equal = Defaults();
  equal.image.P(kMapModeByte) = MapModeEqual;
  RefreshPercentMaps(equal.image, equal.tables);
  Edited file = equal;
  file.image.SetWord(CellOffset(PageInj2, moved),
                     static_cast<std::uint16_t>(equal.image.Word(CellOffset(PageInj2, moved)) + 50));
  file.image.P(kAdvanceMap) = static_cast<std::uint8_t>(equal.image.P(kAdvanceMap) + 1);
  RefreshPercentMaps(file.image, file.tables);
  std::vector<ImageDifference> offered = DiffImages(equal.image, equal.tables, file.image, file.tables);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(TakeOutFollowingMap2(offered, equal.image), 1);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].Page, PageAdvance);
  EXPECT_EQ(TakeOutFollowingMap2(offered, a.image), 0) << "only in \" 1 = 2\"";
}

}  // namespace
}  // namespace velmor

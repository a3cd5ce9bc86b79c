#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/document.h"
#include "files/file_io.h"
#include "temp_dir.h"

namespace velmor {
namespace {

const IgnVersionTexts kVersions{" 3. 2.2009", "14:05", "Jet01", "Mar  5 2024", "14:03:59"};

// What no normalised and refreshed document holds: a falling RPM axis, a
// map time over 60000 µs, map 2 unlike map 1 in " 1 = 2", and percent
// tables that belong to no map.
void Disturb(Document& d) {
  d.Image.P(kMapModeByte) = MapModeEqual;
  d.Image.P(kInj1Axis + 5) = 1;
  d.Image.SetWord(kInj1Map + 2 * 40, 65000);
  d.Image.SetWord(kInj2Map + 2 * 7, 1234);
  d.Image.P(kInj2Axis + 2) = 200;
  d.Tables.PercentMap1.fill(7);
  d.Tables.PercentMap2.fill(7);
}

// A document as every change must leave it: a further pass finds nothing to
// do, " 1 = 2" shows map 1 twice, and the percent tables are those of the
// maps the image holds.
void ExpectNormalisedAndRefreshed(const Document& d) {
  ParameterImage again = d.Image;
  PersistedSelection selection = d.Selection;
  Normalise(again, selection);
  EXPECT_EQ(again, d.Image) << "a further pass changes the image";
  if (d.Image.P(kMapModeByte) == MapModeEqual) {
    for (int k = 0; k < kMapColumns; ++k) EXPECT_EQ(d.Image.P(kInj2Axis + k), d.Image.P(kInj1Axis + k)) << k;
    for (int k = 0; k < kMapCells; ++k)
      EXPECT_EQ(d.Image.Word(kInj2Map + 2 * k), d.Image.Word(kInj1Map + 2 * k)) << k;
  }
  DerivedTables fresh;
  RefreshPercentMaps(d.Image, fresh);
  EXPECT_EQ(d.Tables.BaseTime1, fresh.BaseTime1);
  EXPECT_EQ(d.Tables.BaseTime2, fresh.BaseTime2);
  EXPECT_EQ(d.Tables.PercentMap1, fresh.PercentMap1);
  EXPECT_EQ(d.Tables.PercentMap2, fresh.PercentMap2);
}

class DocumentTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return (dir_.path / name).string(); }
  // A file holding a disturbed image as it is, not normalised.
  std::string DisturbedFile() {
    Document source;
    Disturb(source);
    const std::string path = Path("disturbed.ign");
    EXPECT_TRUE(SaveParameterFile(path, source.Image, kVersions).Ok);
    return path;
  }

  TempDir dir_;
};

TEST_F(DocumentTest, EveryChangeEndsNormalisedAndRefreshedWithItsFileName) {
  struct Case {
    const char* what;
    std::function<void(Document&)> change;
    std::string fileName;  // afterwards; "=" keeps the one before
  };
  const std::string disturbed = DisturbedFile();
  const std::string saved = Path("saved.ign");
  const Case cases[] = {
      {"new", [](Document& d) { d.New(3); }, ""},
      {"new for the map page", [](Document& d) { ASSERT_TRUE(d.NewForPage(PageInj1)); }, ""},
      {"open", [&](Document& d) { ASSERT_TRUE(d.Open(disturbed).Loaded()); }, disturbed},
      {"open for the map page", [&](Document& d) { ASSERT_TRUE(d.OpenForPage(disturbed, PageInj1).Loaded()); },
       disturbed},
      {"save", [&](Document& d) { ASSERT_TRUE(d.Save(saved, kVersions).Written.Ok); }, saved},
      {"the pass and the refresh", [](Document& d) { d.NormaliseAndRefresh(); }, "="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document d;
    d.FileName = "before.ign";
    Disturb(d);
    c.change(d);
    ExpectNormalisedAndRefreshed(d);
    EXPECT_EQ(d.FileName, c.fileName == "=" ? "before.ign" : c.fileName);
  }
}

TEST_F(DocumentTest, SaveWritesTheImageAsNormalised) {
  Document d;
  Disturb(d);
  ASSERT_TRUE(d.Save(Path("saved.ign"), kVersions).Written.Ok);
  std::string text;
  ASSERT_TRUE(ReadWholeFile(Path("saved.ign"), text));
  EXPECT_EQ(text, WriteParameterText(d.Image, kVersions));
}

TEST_F(DocumentTest, WhatIsSavedOpensAsTheSameDocumentInEveryMapMode) {
  for (const std::uint8_t mode : {MapModeNormal, MapModeCoupled, MapModeEqual}) {
    SCOPED_TRACE("map mode " + std::to_string(mode));
    Document saved;
    saved.New(5);
    saved.Image.P(kMapModeByte) = mode;
    for (int k = 0; k < kMapCells; ++k) saved.Image.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>(900 + 3 * k));
    ASSERT_TRUE(saved.Save(Path("round.ign"), kVersions).Written.Ok);

    Document opened;  // model 0 beforehand
    ASSERT_TRUE(opened.Open(Path("round.ign")).Loaded());
    EXPECT_EQ(opened.Image, saved.Image);
    EXPECT_EQ(opened.Tables.PercentMap1, saved.Tables.PercentMap1);
    EXPECT_EQ(opened.Tables.PercentMap2, saved.Tables.PercentMap2);
  }
}

// A file that brings nothing, a page the coupled maps protect, a save that
// cannot write: the document is left as it was, file name included.
TEST_F(DocumentTest, WhatDoesNotHappenLeavesTheDocumentAlone) {
  struct Case {
    const char* what;
    std::uint8_t mode;
    std::function<bool(Document&)> refused;  // runs the operation: true when it said no
  };
  const std::string noHeader = Path("no-header.ign");
  ASSERT_TRUE(AtomicWriteFile(noHeader, "BIKE 3\r\nNOTHING 1 2 3\r\n").Ok);
  const std::string disturbed = DisturbedFile();
  const std::string missing = Path("missing.ign");
  const std::string unwritable = Path("no-such-dir/saved.ign");
  auto opens = [](const std::string& path, IgnReadOutcome outcome) {
    return [=](Document& d) { return d.Open(path).Read.Outcome == outcome; };
  };
  auto opensPage = [](const std::string& path, int page) {
    return [=](Document& d) { return d.OpenForPage(path, page).Read.Outcome == IgnReadOutcome::Refused; };
  };
  const Case cases[] = {
      {"a file that is not there", MapModeNormal, opens(missing, IgnReadOutcome::CannotOpen)},
      {"a file without the header", MapModeNormal, opens(noHeader, IgnReadOutcome::NothingLoaded)},
      {"map 1's page of a file while coupled", MapModeCoupled, opensPage(disturbed, PageInj1)},
      {"map 2's page of a file while coupled", MapModeCoupled, opensPage(disturbed, PageInj2)},
      {"no page of that number", MapModeNormal, opensPage(disturbed, PageCount)},
      {"new for map 1's page while coupled", MapModeCoupled,
       [](Document& d) { return !d.NewForPage(PageInj1).has_value(); }},
      {"a save into no directory", MapModeNormal,
       [&](Document& d) { return !d.Save(unwritable, kVersions).Written.Ok; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document d;
    d.Image.P(kMapModeByte) = c.mode;
    d.NormaliseAndRefresh();
    d.FileName = "before.ign";
    const Document before = d;
    EXPECT_TRUE(c.refused(d));
    EXPECT_EQ(d.Image, before.Image);
    EXPECT_EQ(d.Tables.PercentMap1, before.Tables.PercentMap1);
    EXPECT_EQ(d.Tables.PercentMap2, before.Tables.PercentMap2);
    EXPECT_EQ(d.FileName, "before.ign");
  }
}

TEST(DocumentSelection, ThePassLimitsTheSelectionsWithTheImage) {
  Document d;
  d.Selection = {.Language = 9, .PortSelection = 21, .ScanIndex = 20};
  d.NormaliseAndRefresh();
  EXPECT_EQ(d.Selection.Language, 0);
  EXPECT_EQ(d.Selection.PortSelection, 0);
  EXPECT_EQ(d.Selection.ScanIndex, 0);
}

// The gate decides once for every origin: the same edit of Fan 1 (block 1)
// and of one map-1 cell (block 5), applied in each state of the link and the
// switches, checked against the image byte for byte.
TEST(DocumentGate, DecidesOnceForEveryState) {
  struct Case {
    const char* name;
    EditContext context;
    bool staleFan;  // the fan changed since the edit was worked out
    EditVerdict verdict;
    EditRefusal refusal;
    bool fanWritten, cellWritten, programs;
  };
  const Case cases[] = {
      {"idle", {}, false, EditVerdict::Applied, EditRefusal::None, true, true, false},
      {"idle, programming after change", {false, {true, false}}, false, EditVerdict::Applied, EditRefusal::None,
       true, true, true},
      {"a Read runs", {true, {true, false}}, false, EditVerdict::Refused, EditRefusal::Reading, false, false, false},
      {"tuning on: the tuned map is left", {false, {true, true}}, false, EditVerdict::Applied, EditRefusal::TunedMap,
       true, false, false},
      {"worked out from an older fan", {}, true, EditVerdict::Refused, EditRefusal::Stale, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Document d;
    d.Image.P(kMapModeByte) = MapModeNormal;
    d.Image.P(300) = 1;  // the unit tunes map 1 (blocks 5 and 6)
    d.NormaliseAndRefresh();
    auto history = std::make_unique<UndoRing>();
    InitUndo(*history, d.Image, PageBike);
    BlockMarks marks{};
    ParameterImage wanted = d.Image;
    wanted.P(35) = static_cast<std::uint8_t>(wanted.P(35) + 3);
    wanted.SetWord(kInj1Map + 20, static_cast<std::uint16_t>(wanted.Word(kInj1Map + 20) + 37));
    const Edit edit = EditBetween(d.Image, wanted, PageInj1);
    ASSERT_EQ(edit.Changes.size(), 2u);
    EXPECT_EQ(edit.Changes[1].Width, 2);
    if (c.staleFan) d.Image.P(35) = static_cast<std::uint8_t>(d.Image.P(35) + 1);
    const ParameterImage before = d.Image;

    const EditResult r = d.Apply(edit, c.context, *history, marks);
    EXPECT_EQ(r.Verdict, c.verdict);
    EXPECT_EQ(r.Refusal, c.refusal);
    EXPECT_EQ(r.StartProgramming, c.programs);
    EXPECT_EQ(d.Image.P(35), c.fanWritten ? wanted.P(35) : before.P(35));
    EXPECT_EQ(d.Image.Word(kInj1Map + 20), c.cellWritten ? wanted.Word(kInj1Map + 20) : before.Word(kInj1Map + 20));
    for (int n = 0; n < kParamSize; ++n) {
      if (n == 35 || n == kInj1Map + 20 || n == kInj1Map + 21) continue;
      ASSERT_EQ(d.Image.P(n), before.P(n)) << "P+" << n;
    }
    EXPECT_EQ(UndoDepth(*history), c.verdict == EditVerdict::Applied ? 1 : 0);
    EXPECT_EQ(marks[1], c.fanWritten ? 1 : 0);
    EXPECT_EQ(marks[5], c.cellWritten ? 1 : 0);
  }
}

// Undo passes the same gate: during a Read it is refused and the step stays
// for later.
TEST(DocumentGate, UndoWaitsForTheRead) {
  Document d;
  auto history = std::make_unique<UndoRing>();
  InitUndo(*history, d.Image, PageBike);
  BlockMarks marks{};
  ParameterImage wanted = d.Image;
  wanted.P(35) = static_cast<std::uint8_t>(wanted.P(35) + 3);
  ASSERT_TRUE(d.Apply(EditBetween(d.Image, wanted, PageBike), {}, *history, marks).Applied());
  EditContext reading;
  reading.Reading = true;
  EXPECT_EQ(d.Undo(reading, PageBike, *history, marks).Refusal, EditRefusal::Reading);
  EXPECT_EQ(d.Image.P(35), wanted.P(35));
  EXPECT_EQ(UndoDepth(*history), 1);
  EXPECT_TRUE(d.Undo({}, PageBike, *history, marks).Applied());
  EXPECT_NE(d.Image.P(35), wanted.P(35));
}

// A commit of a map page whose values were not changed writes nothing; one
// changed cell writes its own word only, also where the unit's tuning left
// times between whole percentages.
TEST(DocumentGate, StoringAnUnchangedMapPageWritesNothing) {
  Document d;
  d.Image.P(kMapModeByte) = MapModeNormal;
  d.NormaliseAndRefresh();
  for (int k = 0; k < kMapCells; ++k)  // the unit's tuning: times off the whole percent
    d.Image.SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(d.Image.Word(kInj1Map + 2 * k) + k % 3));
  d.Refresh();
  std::array<std::uint8_t, kMapColumns> axis{};
  for (int i = 0; i < kMapColumns; ++i) axis[i] = d.Image.P(kInj1Axis + i);
  for (std::uint8_t mode : {MapModeNormal, MapModeCoupled}) {
    SCOPED_TRACE(int(mode));
    Document page = d;
    page.Image.P(kMapModeByte) = mode;
    page.Refresh();
    ParameterImage proposed = page.Image;
    DerivedTables tables = page.Tables;
    Map150 cells = tables.PercentMap1;
    StoreMapPage(proposed, tables, PageInj1, axis, cells);
    EXPECT_TRUE(EditBetween(page.Image, proposed, PageInj1).Empty());
    cells[MapCell(4, 4)] = static_cast<std::uint16_t>(cells[MapCell(4, 4)] + 5);
    StoreMapPage(proposed, tables, PageInj1, axis, cells);
    const Edit one = EditBetween(page.Image, proposed, PageInj1);
    ASSERT_EQ(one.Changes.size(), mode == MapModeCoupled ? 2u : 1u);
    EXPECT_EQ(one.Changes[0].Offset, kInj1Map + 2 * MapCell(4, 4));
    if (mode == MapModeCoupled) {
      EXPECT_EQ(one.Changes[1].Offset, kInj2Map + 2 * MapCell(4, 4));
    }
  }
}

}  // namespace
}  // namespace velmor

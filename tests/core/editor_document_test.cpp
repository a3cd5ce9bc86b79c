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

}  // namespace
}  // namespace velmor

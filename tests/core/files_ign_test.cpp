#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "files/ign_file.h"
#include "files/ign_sections.h"
#include "files/memo.h"
#include "model/defaults.h"
#include "test_images.h"

namespace velmor {
namespace {

using testsupport::DefaultImage;

const IgnVersionTexts kVersions{" 3. 2.2009", "14:05", "Jet01", "Mar  5 2024", "14:03:59"};

std::vector<std::uint8_t> Area(const ParameterImage& image) {
  return {image.ParamArea().begin(), image.ParamArea().end()};
}

// A file whose header is right, followed by `body`.
std::string File78(const std::string& body) { return "KORDAVIN_KEY    78 \r\n" + body; }

// The P+ offsets of the bytes a section carries.
std::vector<int> Carried(const IgnSection& section) {
  std::vector<int> offsets;
  for (const IgnItem& item : section.Items) {
    const int width = item.Kind == IgnItemKind::Words ? 2 : 1;
    if (item.Kind == IgnItemKind::Continuation || item.Kind == IgnItemKind::LineBreak) continue;
    for (int i = 0; i < item.Count * width; ++i) offsets.push_back(item.Offset + i);
  }
  return offsets;
}

// Reads `text` whole into the defaults of model 0.
DefaultImage ReadWhole(const std::string& text, IgnReadResult* result = nullptr) {
  DefaultImage f;
  IgnReadResult r = ReadParameterText(text, f.image, f.tables, IgnScope::WholeFile);
  if (result != nullptr) *result = r;
  return f;
}

TEST(FilesIgnRoundTrip, DefaultsOfEveryModelComeBackIdentical) {
  for (int model = 0; model < kBikeModelCount; ++model) {
    DefaultImage saved(model);
    const std::string lines[] = {"Tuned for the track", "", "jets: 2 sizes up", "Poznámka"};
    WriteNote(saved.image, lines);
    const std::string text = WriteParameterText(saved.image, kVersions);

    DefaultImage loaded((model + 3) % kBikeModelCount);  // another model beforehand
    WriteNote(loaded.image, std::vector<std::string>{"old note"});
    const IgnReadResult r = ReadParameterText(text, loaded.image, loaded.tables, IgnScope::WholeFile);
    ASSERT_TRUE(r.Loaded()) << model;
    EXPECT_EQ(r.Version, 78);
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(Area(loaded.image), Area(saved.image)) << "model " << model;
    EXPECT_EQ(NoteLines(loaded.image), NoteLines(saved.image)) << "model " << model;
  }
}

TEST(FilesIgnRoundTrip, EveryValueTheFileCarriesSurvivesAndTheRestTakesTheModelDefaults) {
  std::mt19937 random(78);
  for (int run = 0; run < 20; ++run) {
    DefaultImage saved;
    for (auto& b : saved.image.ParamArea()) b = static_cast<std::uint8_t>(random());
    saved.image.P(0) = static_cast<std::uint8_t>(run % 10);  // 8 and 9 are not models
    saved.image.P(98) &= 1;   // on/off values are written as 0 or 1
    saved.image.P(107) &= 1;
    const std::string note[] = {"abc", "d"};
    WriteNote(saved.image, note);
    const std::string text = WriteParameterText(saved.image, kVersions);

    DefaultImage loaded = ReadWhole(text);
    DefaultImage defaults(saved.image.P(0));
    // Bytes no section carries: reserved ones, fixed constants, the memo tail.
    std::vector<bool> carried(kParamSize, false);
    for (const IgnSection& s : IgnSections()) {
      for (int n : Carried(s)) carried[n] = true;
    }
    for (int n = 0; n < kParamSize; ++n) {
      if (n >= kMemoStart) continue;
      const std::uint8_t expected = carried[n] ? saved.image.P(n) : defaults.image.P(n);
      ASSERT_EQ(loaded.image.P(n), expected) << "P+" << n << " run " << run;
    }
    EXPECT_EQ(NoteLines(loaded.image), NoteLines(saved.image));
  }
}

TEST(FilesIgnWriter, FirstLinesAreExact) {
  DefaultImage f(0);
  f.image.P(37) = 95;  // rpm correction −5
  const std::string text = WriteParameterText(f.image, kVersions);
  const std::string head =
      "KORDAVIN_KEY    78 \r\n"
      "\r\n"
      "BIKE             0 \r\n"
      "EXITATION     1900 \r\n"
      "             \r\n"
      "APS             55  2247   105  4744 \r\n"
      "WATER_TEMP_SENSOR  \r\n"
      "              4505  3832  3159  2412  1665  1203   741   536   331 \r\n"
      "AIR_TEMP_SENSOR    \r\n"
      "              4505  3832  3159  2412  1665  1203   741   536   331 \r\n"
      "SENSOR_LAMBDA          0 \r\n"
      "               100   130   140   150   180 \r\n"
      "               900   840   760    50     0 \r\n"
      "LAMBDA_TACHO       \r\n"
      "               100   200 \r\n"
      "              1000 12000 \r\n"
      "INPUTS           1     1     0     1     1     1 \r\n"
      "LIMITER       7200 10800 11100 11100    20 \r\n"
      "TPS            340  4730 \r\n"
      "FAN            102   104 \r\n"
      "RPM              2    -5 \r\n"
      "NO_FUEL_IND            0 \r\n"
      "\r\n"
      "ADVANCE_MISC     1     0     0     0 \r\n"
      "RPM_ADV       1000  2000  3000  4000  5000  5500  6000  6500  7000  7500  8000  9000 10000 11000 12000 \r\n"
      "ADVANCE          9    19    30    36    36    35    34    34    34    34    34    34    34    34    34 \r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
}

TEST(FilesIgnWriter, SectionsWithOddLayoutsAndTheTailAreExact) {
  DefaultImage f(0);
  f.image.P(174) = 95;  // gear 1 advance correction −5
  const std::string note[] = {"AB", "", "\xE8x"};  // Windows-1250 bytes
  WriteNote(f.image, note);
  const std::string text = WriteParameterText(f.image, kVersions);
  const std::string expected[] = {
      // The last row of a map is followed by a continuation line too.
      "    34    34 \r\n             \r\nJET1_MISC        2 \r\n",
      "\r\nN2O              0 \r\n                20    60  2000  3000   100   100 \r\n"
      "                 0     0  2000  3000 \r\n",
      "\r\nGEAR             2     6 \r\n             \r\n"
      "              2000  1000   666   500   400   333 \r\n",
      "\r\nGEAR_CORR       -5     0     0     0     0     0 \r\n",
      "\r\nCLUTCH           0  2000    50     0 \r\n               100   100   100   100   100   100 \r\n"
      "               500   500   500   500   500   500 \r\n\r\n",
      "\r\nDISPLAY          0\r\n\r\n",
      "\r\nTUNING           1   200     3   145     3   200     1     1    10 \r\n\r\n",
      "\r\nLAMBDA_BAR     100   120   140   180 \r\n             \r\n"
      "VERSIONS\r\nHEX   3. 2.2009  14:05   Jet01\r\nEXE  Mar  5 2024   14:03:59\r\n\r\n"
      "MEMO         \r\nAB\r\n\r\n\xE8x",
  };
  for (const std::string& piece : expected) {
    EXPECT_NE(text.find(piece), std::string::npos) << piece;
  }
  EXPECT_TRUE(text.ends_with("\xE8x"));
}

// Whatever bytes the unit names itself with, the HEX line stays one line.
TEST(FilesIgnWriter, AUnitNameWithLineBreaksStaysOnItsLine) {
  DefaultImage f(0);
  IgnVersionTexts versions = kVersions;
  versions.UnitName = "Jet\r\n01\x01";
  const std::string text = WriteParameterText(f.image, versions);
  EXPECT_NE(text.find("\r\nHEX   3. 2.2009  14:05   Jet  01 \r\nEXE  "), std::string::npos);
}

TEST(FilesIgnReader, HeaderSearchAcceptsVersion78And63AndSkipsOthers) {
  struct Case {
    std::string text;
    IgnReadOutcome outcome;
    std::vector<MsgKey> messages;
    int fan1;  // P+35 afterwards; the defaults hold 102
  };
  const Case cases[] = {
      {"KORDAVIN_KEY 77\r\nFAN 50 60", IgnReadOutcome::NothingLoaded, {MsgKey::MsgFileVersionMismatch}, 102},
      {"KORDAVIN_KEY 77 FAN 50 KORDAVIN_KEY 78 FAN 70 60\r\n", IgnReadOutcome::Loaded,
       {MsgKey::MsgFileVersionMismatch}, 70},
      {"KORDAVIN_KEY 63\nFAN 40 60\n", IgnReadOutcome::Loaded, {MsgKey::MsgFileOlderVersion}, 40},
      {"garbage words\nKORDAVIN_KEY    78 \nFAN 55 60\n", IgnReadOutcome::Loaded, {}, 55},
      {"FAN 50 60", IgnReadOutcome::NothingLoaded, {}, 102},
      {"", IgnReadOutcome::NothingLoaded, {}, 102},
      {"kordavin_key 78 FAN 50 60", IgnReadOutcome::NothingLoaded, {}, 102},
      {"KORDAVIN_KEY FAN 50 KORDAVIN_KEY 78 FAN 30 40\n", IgnReadOutcome::Loaded, {}, 30},
  };
  for (const Case& c : cases) {
    IgnReadResult r;
    DefaultImage f = ReadWhole(c.text, &r);
    EXPECT_EQ(r.Outcome, c.outcome) << c.text;
    EXPECT_EQ(r.Messages, c.messages) << c.text;
    EXPECT_EQ(f.image.P(35), c.fan1) << c.text;
    if (c.outcome == IgnReadOutcome::NothingLoaded) {
      EXPECT_EQ(f.image, DefaultImage().image) << c.text;
    }
  }
}

TEST(FilesIgnReader, Version63FollowsTheOlderLayout) {
  // Sections a version-63 file has no (or another) structure for.
  const std::string body =
      "BIKE 3\r\n"
      "WATER_TEMP_SENSOR 1 2 3 4 5 6 7 8 9\r\n"
      "IDLE 1 5000 7 1 500 9 100\r\n"
      "N2O 1\r\n 50 60 2000 3000\r\n 5 6 4000 1000\r\n"
      "CLUTCH 1 3000 40 5\r\n 20 30 40 50 60 70\r\n 100 200 300 400 500 600\r\n"
      "TUNING 0 500 2 150 4 300 2 2 20\r\n";
  DefaultImage defaults(3);

  IgnReadResult r;
  DefaultImage v63 = ReadWhole("KORDAVIN_KEY 63\r\n" + body, &r);
  ASSERT_TRUE(r.Loaded());
  EXPECT_EQ(r.Version, 63);
  EXPECT_EQ(r.Messages, std::vector<MsgKey>{MsgKey::MsgFileOlderVersion});
  for (int n : {194, 195, 210, 211, 333, 334, 337, 340, 372, 290, 295, 298, 300, 301, 158, 159}) {
    EXPECT_EQ(v63.image.P(n), defaults.image.P(n)) << "P+" << n;
  }
  const std::pair<int, int> read63[] = {
      {98, 1},  {99, 50}, {100, 60}, {102, 20}, {101, 30}, {103, 5}, {104, 6}, {106, 40}, {105, 10},
      {120, 1}, {133, 30}, {134, 40}, {135, 5},
      {121, 2}, {122, 3}, {126, 7},  // clutch-master times ÷ 10
      {127, 10}, {132, 60},
  };
  for (auto [n, value] : read63) EXPECT_EQ(v63.image.P(n), value) << "P+" << n;

  // The same values in a version-78 file: times ÷ 5, and N2O has two more.
  DefaultImage v78 = ReadWhole(File78(body));
  EXPECT_EQ(v78.image.P(121), 4);
  EXPECT_EQ(v78.image.P(126), 14);
  EXPECT_EQ(v78.image.P(194), 1);
  EXPECT_EQ(v78.image.P(333), 1);
}

TEST(FilesIgnReader, ValuesKeepTheirLow16BitsAndDivideAsSignedNumbers) {
  struct Case {
    std::string section;
    int offset;
    int expected;
  };
  const Case cases[] = {
      {"RPM 2 -5", 37, 95},                 // written with "%5d "
      {"RPM 2 -100", 37, 0},
      {"GEAR_CORR -20 0 0 0 0 0", 174, 80},
      {"ADVANCE_MISC 1 -10 -30 0", 43, 90},
      {"ADVANCE_MISC 1 -10 -30 0", 44, 70},
      {"LIMITER 10850", 28, 108},           // truncated
      {"TPS 340 4730", 34, 223},
      {"TPS 340 2000", 34, 206},            // (2000 − 2500) ÷ 10 = −50
      {"TPS 340 2495", 34, 0},              // −0.5 truncates toward zero
      {"EXITATION 65636", 4, 1},            // 65636 keeps 100
      {"RPM 2 40000", 37, 164},             // 40100, low 8 bits
      {"EXITATION -100", 4, 142},           // 65436 ÷ 100 = 654
      {"IDLE 0 0 0 0 63750", 337, 255},     // large values divide as they are
      {"FAN 300", 35, 44},
      {"FAN +7", 35, 7},
      {"CHOKE 5 10 15 20 90", 71, 246},     // 90 − 100 wraps
      {"APS 70000", 6, 4464 & 0xFF},
      {"APS -1", 6, 0xFF},
      {"N2O 7", 98, 7},                     // on/off is taken as read
      {"FAN 99999999999", 35, 99999999999 % (1ull << 32) & 0xFF},
  };
  for (const Case& c : cases) {
    // MEMO ends the sections a case leaves short, as a non-numeric token does.
    DefaultImage f = ReadWhole(File78(c.section + "\r\nMEMO"));
    EXPECT_EQ(f.image.P(c.offset), c.expected) << c.section;
  }
  DefaultImage word = ReadWhole(File78("APS 70000 -1\r\nMEMO"));
  EXPECT_EQ(word.image.Word(6), 4464);
  EXPECT_EQ(word.image.Word(8), 65535);
}

TEST(FilesIgnReader, OnlyExactKeywordsStartSections) {
  DefaultImage f = ReadWhole(File78("BIKEX 3 bike 3 fan 50 60 XFAN 51 FANS 52 FAN"));
  EXPECT_EQ(f.image, DefaultImage().image);  // no defaults for model 3, nothing read
}

TEST(FilesIgnReader, ANonNumericValueKeepsTheRestOfItsSectionAndTheLoopGoesOn) {
  DefaultImage base;
  DefaultImage word = ReadWhole(File78("LIMITER 7000 x 9000 FAN 50 60\r\n"));
  EXPECT_EQ(word.image.P(28), 70);
  EXPECT_EQ(word.image.P(29), base.image.P(29));  // the loop took "x" and "9000" as words
  EXPECT_EQ(word.image.P(35), 50);
  EXPECT_EQ(word.image.P(41), 60);

  // Digits glued to a word: the digits count, the rest is the next token.
  DefaultImage glued = ReadWhole(File78("FAN 12x 70 80\r\n"));
  EXPECT_EQ(glued.image.P(35), 12);
  EXPECT_EQ(glued.image.P(41), 104);
  DefaultImage keyword = ReadWhole(File78("FAN 12FAN 70 80\r\n"));
  EXPECT_EQ(keyword.image.P(35), 70);
  EXPECT_EQ(keyword.image.P(41), 80);
}

TEST(FilesIgnReader, BikeAppliesTheDefaultsOfItsModelOnlyInAWholeFileRead) {
  DefaultImage model2(2);
  DefaultImage onlyBike = ReadWhole(File78("BIKE 2\r\n"));
  EXPECT_EQ(onlyBike.image, model2.image);

  // A section before BIKE is overwritten by the defaults, one after it is kept.
  DefaultImage order = ReadWhole(File78("FAN 50 60\r\nBIKE 2\r\nRPM 4 -10\r\n"));
  EXPECT_EQ(order.image.P(35), 102);
  EXPECT_EQ(order.image.P(36), 4);
  EXPECT_EQ(order.image.P(37), 90);
  EXPECT_EQ(order.image.P(4), 30);  // model 2's excitation time

  DefaultImage page = DefaultImage();
  ReadParameterText(File78("BIKE 5 FAN 50 60\r\n"), page.image, page.tables, IgnScope::Page, PageBike);
  EXPECT_EQ(page.image.P(0), 0);
  EXPECT_EQ(page.image.P(35), 50);

  // A BIKE token without a number names no model: no defaults.
  DefaultImage noModel = ReadWhole(File78("FAN 50 60 BIKE x\r\n"));
  EXPECT_EQ(noModel.image.P(35), 50);
}

// The bytes each page's sections carry, written out by hand.
std::vector<std::pair<int, int>> PageRanges(int page) {
  switch (page) {
    case 0: return {{4, 4}, {14, 14}, {25, 32}, {35, 41}, {318, 321}, {1200, 1349}};
    case 1: return {{42, 45}, {405, 419}, {450, 599}};
    case 2: return {{47, 47}, {420, 434}, {600, 899}};
    case 3: return {{435, 449}, {900, 1199}};
    case 4: return {{56, 56}, {375, 404}};
    case 5: return {{67, 74}, {80, 97}, {280, 287}};
    case 6: return {{6, 13}, {33, 34}, {194, 229}, {302, 317}};
    case 7: return {{333, 370}, {372, 373}};
    case 8: return {{98, 106}, {158, 159}};
    case 9: return {{136, 138}, {154, 157}, {160, 185}};
    case 10: return {{107, 135}};
    case 11: return {{290, 290}, {292, 292}, {294, 298}, {300, 301}, {326, 327}};
    case 12: return {{322, 325}};
  }
  return {};
}

TEST(FilesIgnReader, PageScopeChangesOnlyThatPagesBytes) {
  // The file names another bike and differs from the image in every value.
  DefaultImage other(5);
  std::mt19937 random(5);
  for (int n = 1; n < kParamSize; ++n) other.image.P(n) = static_cast<std::uint8_t>(random());
  other.image.P(47) = MapModeNormal;
  const std::string note[] = {"from the other file"};
  WriteNote(other.image, note);
  const std::string text = WriteParameterText(other.image, kVersions);
  const DefaultImage reference = ReadWhole(text);  // what each section reads back as

  for (int page = 0; page < PageCount; ++page) {
    DefaultImage f;
    f.image.P(47) = MapModeNormal;
    const ParameterImage before = f.image;
    const IgnReadResult r = ReadParameterText(text, f.image, f.tables, IgnScope::Page, page);
    ASSERT_TRUE(r.Loaded()) << page;
    std::vector<bool> inPage(kParamSize, false);
    for (auto [first, last] : PageRanges(page)) {
      for (int n = first; n <= last; ++n) inPage[n] = true;
    }
    int changed = 0;
    for (int n = 0; n < kParamSize; ++n) {
      const std::uint8_t expected = inPage[n] ? reference.image.P(n) : before.P(n);
      EXPECT_EQ(f.image.P(n), expected) << "page " << page << " P+" << n;
      changed += f.image.P(n) != before.P(n);
    }
    EXPECT_GT(changed, 0) << page;
  }
}

TEST(FilesIgnReader, PageScopeRefusesCoupledMapPagesWithoutOpeningTheFile) {
  for (int page : {PageInj1, PageInj2}) {
    DefaultImage f;
    f.image.P(47) = MapModeCoupled;
    const ParameterImage before = f.image;
    const IgnReadResult r =
        ReadParameterFile("/nonexistent/file.ign", f.image, f.tables, IgnScope::Page, page);
    EXPECT_EQ(r.Outcome, IgnReadOutcome::Refused) << page;
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(f.image, before);
  }
  DefaultImage f;
  f.image.P(47) = MapModeCoupled;
  EXPECT_EQ(ReadParameterFile("/nonexistent/file.ign", f.image, f.tables, IgnScope::Page, PageAdvance).Outcome,
            IgnReadOutcome::CannotOpen);
  EXPECT_EQ(ReadParameterText(File78(""), f.image, f.tables, IgnScope::Page, PageCount).Outcome,
            IgnReadOutcome::Refused);

  // Coupling read from the file does not close map 2's sections in a
  // whole-file read: only "Open for actual page" looks at the map mode.
  DefaultImage g;
  g.image.P(47) = MapModeNormal;
  ReadParameterText(File78("JET1_MISC 1 RPM_JET_2A 5000\r\nMEMO"), g.image, g.tables, IgnScope::WholeFile);
  EXPECT_EQ(g.image.P(47), MapModeCoupled);
  EXPECT_EQ(g.image.P(435), 50);
}

TEST(FilesIgnReader, MemoRunsToTheEndOfTheFile) {
  struct Case {
    std::string tail;
    std::string area;  // expected start of the note area
  };
  const Case cases[] = {
      {"MEMO         \r\nAB\r\nXY", std::string("AB\0XY", 5)},
      {"MEMO\nAB\n\nXY\n", std::string("AB\0\0XY\0", 7)},        // empty lines are NULs
      {"MEMO   \r\n   indented\r\n  kept", std::string("indented\0  kept", 15)},
      {"MEMO", ""},
      {"MEMO\r\nFAN 50 60", "FAN 50 60"},                           // text, not a section
      {"MEMO\r\n\xE8\xE1r\rx", "\xE8\xE1r\rx"},                      // bytes as they are
  };
  for (const Case& c : cases) {
    DefaultImage f;
    WriteNote(f.image, std::vector<std::string>{"previous note that is longer"});
    ReadParameterText(File78(c.tail), f.image, f.tables, IgnScope::WholeFile);
    std::string expected = c.area;
    expected.resize(kMemoSize, '\0');
    const auto area = f.image.ParamArea().subspan(kMemoStart, kMemoSize);
    EXPECT_EQ(std::string(area.begin(), area.end()), expected) << c.tail;
    EXPECT_EQ(f.image.P(35), 102) << c.tail;
  }
}

TEST(FilesIgnReader, AMemoLongerThanTheAreaIsCutBeforeTheLastByte) {
  DefaultImage f = ReadWhole(File78("MEMO\r\n" + std::string(140, 'x') + "\r\n" + std::string(300, 'y')));
  for (int n = 1200; n < 1340; ++n) ASSERT_EQ(f.image.P(n), 'x');
  EXPECT_EQ(f.image.P(1340), 0);
  for (int n = 1341; n < 1349; ++n) ASSERT_EQ(f.image.P(n), 'y');
  EXPECT_EQ(f.image.P(1349), 0);
  EXPECT_EQ(NoteLines(f.image).size(), 2u);
}

TEST(FilesIgnReader, MemoOfAnotherPageIsNeitherReadNorTakenForSections) {
  DefaultImage f;
  const ParameterImage before = f.image;
  ReadParameterText(File78("MEMO\r\nADVANCE 1 2 3 4"), f.image, f.tables, IgnScope::Page, PageAdvance);
  EXPECT_EQ(f.image, before);
  ReadParameterText(File78("MEMO\r\nnew note"), f.image, f.tables, IgnScope::Page, PageBike);
  EXPECT_EQ(NoteLines(f.image), std::vector<std::string>{"new note"});
}

TEST(FilesIgnReader, LineFeedOnlyFilesReadLikeCrLfFiles) {
  DefaultImage saved(6);
  const std::string note[] = {"one", "two"};
  WriteNote(saved.image, note);
  std::string text = WriteParameterText(saved.image, kVersions);
  std::string lf;
  for (char c : text) {
    if (c != '\r') lf += c;
  }
  EXPECT_EQ(ReadWhole(lf).image, ReadWhole(text).image);
  EXPECT_EQ(Area(ReadWhole(lf).image), Area(saved.image));
}

// A tune as a tuner keeps it: model 2 with injection map 1 at 110 % and a
// note. Whatever a read of a piece of it does must show against `Before`.
struct CutFixture {
  DefaultImage Tune{2};
  std::string Text;
  DefaultImage Before{5};
  CutFixture() {
    for (int w = 0; w < 150; ++w) {
      const int at = 600 + 2 * w;
      Tune.image.SetWord(at, static_cast<std::uint16_t>(Tune.image.Word(at) * 11 / 10));
    }
    const std::string note[] = {"track day", "jets 2 up"};
    WriteNote(Tune.image, note);
    Text = WriteParameterText(Tune.image, kVersions);
    const std::string before[] = {"the tune before"};
    WriteNote(Before.image, before);
  }
};

bool SameTables(const DerivedTables& a, const DerivedTables& b) {
  return a.ModelBase1 == b.ModelBase1 && a.ModelBase2 == b.ModelBase2 && a.BaseTime1 == b.BaseTime1 &&
         a.BaseTime2 == b.BaseTime2 && a.PercentMap1 == b.PercentMap1 && a.PercentMap2 == b.PercentMap2;
}

// Cut at every byte: a piece is refused with the image and its tables as
// they were, or it loads, and then every section it holds reads as in the
// whole file and every other one is named. Never a map half from the file
// and half from before.
TEST(FilesIgnCutOff, EveryCutOfARealTuneIsRefusedWholeOrLoadsWholeSectionsAndNamesTheRest) {
  const CutFixture f;
  const DefaultImage whole = ReadWhole(f.Text);
  const std::size_t memo = f.Text.find("\r\nMEMO") + 6;  // past the keyword
  int refused = 0;
  int named = 0;
  for (std::size_t n = 0; n < f.Text.size(); ++n) {
    DefaultImage read = f.Before;
    const IgnReadResult r = ReadParameterText(f.Text.substr(0, n), read.image, read.tables, IgnScope::WholeFile);
    if (!r.Loaded()) {
      ASSERT_EQ(read.image, f.Before.image) << "cut at " << n;
      ASSERT_TRUE(SameTables(read.tables, f.Before.tables)) << "cut at " << n;
      refused += r.Outcome == IgnReadOutcome::CutOff;
      continue;
    }
    for (const IgnSection& s : IgnSections()) {
      if (std::find(r.Missing.begin(), r.Missing.end(), s.Keyword) != r.Missing.end()) continue;
      for (int b : Carried(s)) ASSERT_EQ(read.image.P(b), whole.image.P(b)) << s.Keyword << " P+" << b << " cut at " << n;
    }
    if (n < memo) {
      ASSERT_FALSE(r.Missing.empty()) << "cut at " << n;
      ++named;
    }
  }
  // Both answers come up: most cuts fall inside a line, some between
  // sections.
  EXPECT_GT(refused, named);
  EXPECT_GT(named, 0);
}

TEST(FilesIgnCutOff, TheReadSaysWhereTheFileEnds) {
  struct Case {
    const char* what;
    std::string text;
    std::string_view in;
    int line;
    IgnScope scope = IgnScope::WholeFile;
    int page = 0;
  };
  const Case cases[] = {
      {"a map with fewer values than cells", File78("BIKE 2\r\nADVANCE 1 2 3 \r\n             4 5 \r\n"),
       "ADVANCE", 4},
      {"a section header with nothing after it", File78("BIKE 2\r\nFAN 50 60\r\nJET_1A       \r\n"), "JET_1A", 4},
      {"a last line without its line break", File78("BIKE 2\r\nFAN   50   6"), "FAN", 3},
      {"a cut between CR and LF", File78("BIKE 2\r\nFAN 50 60\r"), "FAN", 3},
      {"the version number", "KORDAVIN_KEY    7", "KORDAVIN_KEY", 1},
      {"the header keyword alone", "\r\nKORDAVIN_KEY  \r\n", "KORDAVIN_KEY", 2},
      {"the version texts", File78("BIKE 2\r\nVERSIONS\r\nHEX   3. 2.20"), "VERSIONS", 4},
      {"an older version's section", "KORDAVIN_KEY 63\r\nBIKE 2\r\nCLUTCH 1 3000\r\n", "CLUTCH", 3},
      {"another page's section in a page read", File78("ADVANCE_MISC 1 0 0 0\r\nJET_1A 100 100\r\n"), "JET_1A",
       3, IgnScope::Page, PageAdvance},
  };
  for (const Case& c : cases) {
    DefaultImage read;
    WriteNote(read.image, std::vector<std::string>{"kept"});
    const DefaultImage before = read;
    const IgnReadResult r = ReadParameterText(c.text, read.image, read.tables, c.scope, c.page);
    EXPECT_EQ(r.Outcome, IgnReadOutcome::CutOff) << c.what;
    EXPECT_EQ(r.CutIn, c.in) << c.what;
    EXPECT_EQ(r.CutLine, c.line) << c.what;
    EXPECT_EQ(read.image, before.image) << c.what;
  }
  IgnReadResult r;
  ReadWhole(cases[0].text, &r);
  EXPECT_EQ(IgnReadNotice(r, LanguageCode::English),
            "The file is cut off: it ends inside ADVANCE, in line 4. Nothing was loaded.");
  EXPECT_EQ(IgnReadNotice(r, LanguageCode::Czech),
            "Soubor je useknutý: končí uprostřed ADVANCE, na řádku 4. Nic nebylo načteno.");
}

// Files of older versions, or made by hand, hold only some sections: they
// load as ever, and the read names what was not there.
TEST(FilesIgnReader, AFileWithoutSomeSectionsLoadsAndNamesThem) {
  const auto allBut = [](std::vector<std::string_view> present, bool memo) {
    std::vector<std::string_view> missing;
    for (const IgnSection& s : IgnSections()) {
      if (std::find(present.begin(), present.end(), s.Keyword) == present.end()) missing.push_back(s.Keyword);
    }
    if (memo) missing.push_back(kIgnMemoKeyword);
    return missing;
  };
  struct Case {
    const char* what;
    std::string text;
    IgnScope scope;
    int page;
    std::vector<std::string_view> missing;
  };
  const Case cases[] = {
      {"a whole file", WriteParameterText(DefaultImage(2).image, kVersions), IgnScope::WholeFile, 0, {}},
      {"two sections", File78("BIKE 2\r\nFAN 50 60\r\n"), IgnScope::WholeFile, 0, allBut({"BIKE", "FAN"}, true)},
      {"version 63, whose files have no temperature, idle and tuning sections",
       "KORDAVIN_KEY 63\r\nBIKE 2\r\nMEMO",
       IgnScope::WholeFile, 0,
       allBut({"BIKE", "WATER_TEMP_SENSOR", "AIR_TEMP_SENSOR", "IDLE", "TUNING"}, false)},
      {"a page read names its page's sections", File78("ADVANCE_MISC 1 0 0 0\r\nADVANCE 9\r\nMEMO"),
       IgnScope::Page, PageAdvance, {"RPM_ADV"}},
      {"the bike page's memo", File78("BIKE 2\r\nFAN 50 60\r\n"), IgnScope::Page, PageBike,
       {"EXITATION", "LAMBDA_TACHO", "INPUTS", "LIMITER", "RPM", "NO_FUEL_IND", "MEMO"}},
  };
  for (const Case& c : cases) {
    DefaultImage read;
    const IgnReadResult r = ReadParameterText(c.text, read.image, read.tables, c.scope, c.page);
    ASSERT_TRUE(r.Loaded()) << c.what;
    EXPECT_EQ(r.Missing, c.missing) << c.what;
  }
  IgnReadResult r;
  const DefaultImage loaded = ReadWhole(File78("BIKE 2\r\nFAN 50 60\r\nMEMO\r\nnote"), &r);
  EXPECT_EQ(loaded.image.P(35), 50);
  const std::string notice = IgnReadNotice(r, LanguageCode::English);
  EXPECT_TRUE(notice.starts_with("Not in the file, so their values stay as they were or take the defaults: "
                                 "EXITATION, APS, WATER_TEMP_SENSOR, "))
      << notice;
  EXPECT_TRUE(notice.ends_with(", RPM, NO_FUEL_IND, ADVANCE_MISC, RPM_ADV, ADVANCE, JET1_MISC, RPM_JET_1A, JET_1A, "
                               "RPM_JET_2A, JET_2A, POSITION_A, IDLE, CHOKE, START_INJ, INJ_CORR, ACCEL, ACC_CORR, "
                               "ADVANCE_CORR, N2O, SPEED_PULSES, GEAR, GEAR_AUTO, GEAR_CORR, PILOT_LIGHT, CLUTCH, "
                               "DISPLAY, TUNING, TEST_OUT, LAMBDA_BAR"))
      << notice;
  IgnReadResult whole;
  whole.Outcome = IgnReadOutcome::Loaded;
  EXPECT_EQ(IgnReadNotice(whole, LanguageCode::German), "");
}

}  // namespace
}  // namespace velmor

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

#include "model/fields.h"

namespace velmor {
namespace {

const FieldDef& Field(int page, std::string_view name) {
  const FieldDef* f = FindField(page, name);
  EXPECT_NE(f, nullptr) << "page " << page << " has no control " << name;
  static const FieldDef kNone{};
  return f ? *f : kNone;
}

// ---------------------------------------------------------------------------
// Encodings

TEST(FieldsEncoding, StoresEveryEncodingAndShowsItBack) {
  struct Case {
    int page;
    const char* name;
    int shown;
    int raw;        // byte or word expected in the image
    int shownBack;  // what the refresh shows afterwards
  };
  const Case cases[] = {
      {PageBike, "UpDownFan1", 95, 95, 95},                     // value
      {PageBike, "UpDownStartLimiter", 12345, 123, 12300},      // ÷100 truncates
      {PageBike, "UpDownBuzeni", 700, 7, 700},
      {PageCorrections, "UpDownAkcelJet", 7499, 149, 7450},     // ÷50
      {PagePosition, "UpDownPolohaAPoz14", 720, 144, 720},      // ÷5
      {PageRace, "UpDownClutchTime0", 1274, 254, 1270},         // ÷5 in 10 ms steps
      {PageIdle, "UpDownIdleStepPuls", 25000, 100, 25000},      // ÷250
      {PageBike, "UpDownRpmKorekce", -60, 40, -60},             // +100
      {PageBike, "UpDownRpmKorekce", 60, 160, 60},
      {PageGear, "UpDownGearKorAdv5", -5, 95, -5},
      {PageCorrections, "UpDownSyticKorekce0", 300, 200, 300},  // -100
      {PageN2O, "UpDownGasJetKor2", 100, 0, 100},
      {PageSensors, "UpDownTps100", 2500, 0, 2500},             // the P+34 rule
      {PageSensors, "UpDownTps100", 4900, 240, 4900},
      {PageSensors, "UpDownTps100", 4999, 249, 4990},
      {PageSensors, "UpDownTps100", 5000, 250, 5000},
      {PageN2O, "CheckBoxGas", 1, 1, 1},                        // on/off
      {PageN2O, "CheckBoxGas", 0, 0, 0},
      {PageGear, "RadioGroupGearSystem", 2, 2, 2},              // choice
      {PageBike, "ComboBoxBike", 7, 7, 7},
      {PageSensors, "UpDownApsNapeti1", 0x1234, 0x1234, 0x1234},  // words
      {PageCorrections, "UpDownAccT0", 30000, 30000, 30000},
      {PageGear, "UpDownRpmSpeedProGear5", 32000, 32000, 32000},
      {PageIdle, "UpDownIdleServoPoz8", 11990, 11990, 11990},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(c.shown));
    const FieldDef& f = Field(c.page, c.name);
    ParameterImage image;
    image.Bytes.fill(0xAA);
    image.P(333) = 1;  // step-motor idle control: the idle table holds rpm
    const ParameterImage before = image;

    StoreShownValue(f, c.shown, image);
    EXPECT_EQ(RawValue(f, image), c.raw);
    EXPECT_EQ(ShownValue(f, image), c.shownBack);
    for (int n = 0; n < kParamSize; ++n) {
      if (n < f.Offset || n >= f.Offset + FieldByteCount(f)) {
        ASSERT_EQ(image.P(n), before.P(n)) << "P+" << n << " changed";
      }
    }
  }
}

TEST(FieldsEncoding, DecodesStoredBytesAsTheRefreshShowsThem) {
  struct Case {
    int page;
    const char* name;
    int raw;
    int shown;
  };
  const Case cases[] = {
      {PageBike, "UpDownRpmKorekce", 40, -60},   {PageBike, "UpDownRpmKorekce", 95, -5},
      {PageSensors, "UpDownTps100", 0, 2500},    {PageSensors, "UpDownTps100", 223, 4730},
      {PageSensors, "UpDownTps100", 240, 4900},  {PageBike, "UpDownBuzeni", 7, 700},
      {PageBike, "UpDownBuzeni", 0, 0},  // not limited here: the field pair limits what it shows
      {PageCorrections, "UpDownSyticKorekce3", 200, 300},
      {PageN2O, "CheckBoxGas", 7, 1},            {PageN2O, "CheckBoxGas", 0, 0},
      {PageBike, "ComboBoxBike", 9, 9},          {PageIdle, "UpDownIdleAdvPoz0", 20, 1000},
      {PageBike, "UpDownLambdaTachoRpm1", 250, 25000},
  };
  for (const auto& c : cases) {
    const FieldDef& f = Field(c.page, c.name);
    ParameterImage image;
    if (f.Width == FieldWidth::Word)
      image.SetWord(f.Offset, static_cast<std::uint16_t>(c.raw));
    else
      image.P(f.Offset) = static_cast<std::uint8_t>(c.raw);
    EXPECT_EQ(ShownValue(f, image), c.shown) << c.name << " holding " << c.raw;
  }
}

TEST(FieldsEncoding, OutOfRangeValuesAreLimitedAndNeverWrap) {
  struct Case {
    int page;
    const char* name;
    int shown;
    int raw;
  };
  const Case cases[] = {
      // Bytes whose editors could once exceed 255: limited, not wrapped.
      {PageTuning, "UpDownLadeniKrok", 2500, 255},
      {PageTuning, "UpDownLadeniMaxAcc", 2500, 255},
      {PageRace, "UpDownClutchTime3", 2500, 255},
      {PageBike, "UpDownRpmKorekce", -100, 40},
      {PageBike, "UpDownFan2", 300, 150},
      {PageBike, "UpDownBuzeni", 0, 1},
      {PageSensors, "UpDownTps100", 1000, 0},
      {PageSensors, "UpDownTps100", 9000, 250},
      {PageCorrections, "UpDownAccKPlus", -1, 0},
      {PageTuning, "UpDownLadeniKanal", 4, 2},
      {PageAdvance, "UpDownMapCell0", 61, 60},
      {PageBike, "CheckBoxAktRpm", 5, 1},
  };
  for (const auto& c : cases) {
    const FieldDef& f = Field(c.page, c.name);
    ParameterImage image;
    StoreShownValue(f, c.shown, image);
    EXPECT_EQ(RawValue(f, image), c.raw) << c.name << " = " << c.shown;
  }
}

TEST(FieldsEncoding, AChoiceOutsideItsItemsLeavesTheByte) {
  ParameterImage image;
  image.P(0) = 3;
  StoreShownValue(Field(PageBike, "ComboBoxBike"), 8, image);  // "-------------"
  EXPECT_EQ(image.P(0), 3);
  image.P(56) = 2;
  StoreShownValue(Field(PagePosition, "RadioGroupPolohaA"), -1, image);  // nothing selected
  EXPECT_EQ(image.P(56), 2);
  StoreShownValue(Field(PagePosition, "RadioGroupPolohaA"), 0, image);
  EXPECT_EQ(image.P(56), 0);
}

TEST(FieldsEncoding, IdleServoRangeFollowsTheIdleMode) {
  const FieldDef& f = Field(PageIdle, "EditIdleServoPoz4");
  EXPECT_EQ(f.Offset, 348);
  ParameterImage image;

  image.P(333) = 0;
  FieldRange r = RangeOf(f, image);
  EXPECT_EQ(r.Min, 0);
  EXPECT_EQ(r.Max, 100);
  EXPECT_EQ(r.Step, 1);
  StoreShownValue(f, 5000, image);
  EXPECT_EQ(image.Word(348), 100);

  image.P(333) = 1;
  r = RangeOf(f, image);
  EXPECT_EQ(r.Max, 12000);
  EXPECT_EQ(r.Step, 10);
  StoreShownValue(f, 5000, image);
  EXPECT_EQ(image.Word(348), 5000);
  StoreShownValue(f, 20000, image);
  EXPECT_EQ(image.Word(348), 12000);

  // Fields without a rule keep their own range whatever the mode.
  const FieldDef& adv = Field(PageIdle, "UpDownIdleAdvPoz4");
  image.P(333) = 0;
  EXPECT_EQ(RangeOf(adv, image).Max, 12000);
  EXPECT_EQ(RangeOf(adv, image).Step, 50);
}

TEST(FieldsEncoding, InjectionCellsAreEditedInThePercentTables) {
  const FieldDef& cell1 = Field(PageInj1, "EditMapCell93");
  const FieldDef& cell2 = Field(PageInj2, "UpDownMapCell149");
  EXPECT_EQ(cell1.Enc, Encoding::Percent);
  EXPECT_EQ(cell1.Offset, kInj1Map + 2 * 93);
  EXPECT_EQ(cell2.Offset, 1198);

  ParameterImage image;
  DerivedTables tables;
  image.SetWord(cell1.Offset, 1234);
  tables.PercentMap1[93] = 90;
  EXPECT_EQ(ShownValue(cell1, image, tables), 90);
  EXPECT_EQ(ShownValue(cell1, image), 1234);  // without tables: the time itself

  const ParameterImage before = image;
  StoreShownValue(cell2, 40000, image, tables);
  EXPECT_EQ(tables.PercentMap2[149], 32000);
  EXPECT_EQ(tables.PercentMap1[149], 0);
  StoreShownValue(cell1, 110, image);  // the image is not written directly
  EXPECT_EQ(image, before);
  EXPECT_EQ(PercentTableOf(Field(PageAdvance, "EditMapCell93"), tables), nullptr);
}

TEST(FieldsEncoding, ReadsEditTextLikeTheSpinner) {
  const FieldRange rpm{0, 25000, 100};
  const FieldRange signedRange{-60, 60, 1};
  struct Case {
    const char* text;
    FieldRange range;
    int held;
    int expected;
    const char* separator = ",";
  };
  const Case cases[] = {
      {"12345", rpm, 700, 12345},
      {"12,345", rpm, 700, 12345},             // the spinner's digit grouping
      {"12.345", rpm, 700, 12345, "."},
      {" 900 ", rpm, 700, 900},
      {"-60", signedRange, 0, -60},
      {"-61", signedRange, 7, 7},              // outside the range: held value
      {"30000", rpm, 700, 700},
      {"99999999999", rpm, 700, 700},
      {"abc", rpm, 700, 700},                  // not a number
      {"12a", rpm, 700, 700},
      {"", rpm, 700, 700},
      {"-", signedRange, 5, 5},
      {"+5", signedRange, 3, 3},
      {"1 2", rpm, 700, 700},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadFieldText(c.text, c.held, c.range, c.separator), c.expected)
        << "\"" << c.text << "\"";
  }
}

// ---------------------------------------------------------------------------
// The table itself

TEST(FieldsTable, EveryParameterByteIsOneFieldOrACarriedByte) {
  // Bytes no editor shows: the fixed calibration constants and the reserved bytes.
  const std::vector<std::pair<int, int>> carried = {
      {1, 3},     {5, 5},     {15, 24},   {46, 46},   {48, 55},   {57, 66},
      {75, 79},   {139, 153}, {186, 193}, {230, 279}, {288, 289}, {291, 291},
      {293, 293}, {299, 299}, {328, 332}, {371, 371}, {374, 374},
  };
  std::array<bool, kParamSize> isCarried{};
  for (const auto& [lo, hi] : carried)
    for (int n = lo; n <= hi; ++n) isCarried[n] = true;

  std::map<int, std::string> writer;
  for (const FieldDef& f : EditorFields()) {
    for (int n = f.Offset; n < f.Offset + FieldByteCount(f); ++n) {
      ASSERT_GE(n, 0);
      ASSERT_LT(n, kParamSize);
      if (isCarried[n]) {
        ADD_FAILURE() << f.ControlName << " on page " << f.Page << " writes carried byte P+" << n;
      }
      EXPECT_FALSE(writer.contains(n))
          << "P+" << n << " written by " << writer[n] << " and " << f.ControlName << " (page "
          << f.Page << ")";
      writer[n] = f.ControlName + " page " + std::to_string(f.Page);
    }
  }
  for (int n = 0; n < kParamSize; ++n) {
    if (!isCarried[n]) {
      EXPECT_TRUE(writer.contains(n)) << "no field edits P+" << n;
    }
  }
}

TEST(FieldsTable, ComponentNamesAreUniqueAndPairedByTheRule) {
  std::map<std::string, std::set<int>> pagesOfName;
  for (int page = 0; page < PageCount; ++page) {
    std::set<std::string> onPage;
    for (const FieldDef& f : FieldsOfPage(page)) {
      EXPECT_EQ(f.Page, page);
      EXPECT_FALSE(f.ControlName.empty());
      EXPECT_TRUE(onPage.insert(f.ControlName).second) << f.ControlName << " twice on " << page;
      pagesOfName[f.ControlName].insert(page);
      if (f.Kind == ControlKind::FieldPair) {
        ASSERT_EQ(f.ControlName.rfind("UpDown", 0), 0u) << f.ControlName;
        EXPECT_EQ(f.EditName, "Edit" + f.ControlName.substr(6));
        EXPECT_TRUE(onPage.insert(f.EditName).second) << f.EditName << " twice on " << page;
        pagesOfName[f.EditName].insert(page);
      } else {
        EXPECT_TRUE(f.EditName.empty()) << f.ControlName;
      }
    }
  }
  // Only the map editor, which the three map pages share, repeats its names.
  for (const auto& [name, pages] : pagesOfName) {
    if (pages.size() == 1) continue;
    EXPECT_EQ(pages, (std::set<int>{PageAdvance, PageInj1, PageInj2})) << name;
    const FieldDef* f = FindField(*pages.begin(), name);
    ASSERT_NE(f, nullptr) << name;
    EXPECT_EQ(f->Parent, "MapPanel") << name;
  }
}

TEST(FieldsTable, GridsHaveTheirCellsNamedByRowIndex) {
  struct Grid {
    int page;
    FieldGrid grid;
    std::vector<const char*> stems;
    int count;
  };
  const Grid grids[] = {
      {PageBike, FieldGrid::LambdaTacho, {"LambdaTachoAf", "LambdaTachoRpm"}, 2},
      {PageAdvance, FieldGrid::RpmAxis, {"RpmAxisField"}, 15},
      {PageAdvance, FieldGrid::MapCells, {"MapCell"}, 150},
      {PageAdvance, FieldGrid::MapExtra, {"MapExtra"}, 3},
      {PageInj1, FieldGrid::RpmAxis, {"RpmAxisField"}, 15},
      {PageInj1, FieldGrid::MapCells, {"MapCell"}, 150},
      {PageInj2, FieldGrid::RpmAxis, {"RpmAxisField"}, 15},
      {PageInj2, FieldGrid::MapCells, {"MapCell"}, 150},
      {PagePosition, FieldGrid::InjectionPosition, {"PolohaARpm", "PolohaAPoz"}, 15},
      {PageCorrections, FieldGrid::InjectionByTemperature, {"KorVoda", "KorVzduch"}, 5},
      {PageCorrections, FieldGrid::AdvanceByCoolant, {"IgnVoda"}, 5},
      {PageSensors, FieldGrid::TemperatureSensors, {"CidloTVoda", "CidloTVzduch"}, 9},
      {PageSensors, FieldGrid::LambdaSensor, {"CidloLambdaAf", "CidloLambdaNap"}, 5},
      {PageIdle, FieldGrid::IdleServoRpm, {"IdleServoPoz"}, 9},
      {PageIdle, FieldGrid::IdleAdvanceRpm, {"IdleAdvPoz"}, 9},
      {PageGear, FieldGrid::RpmSpeedPerGear, {"RpmSpeedProGear"}, 6},
      {PageGear, FieldGrid::GearCorrection, {"GearKorAdv", "GearKorJet"}, 6},
      {PageRace, FieldGrid::Clutch, {"ClutchPilotA", "ClutchPilotB", "ClutchTime", "ClutchPause"},
       6},
  };
  for (const auto& g : grids) {
    int inGrid = 0;
    for (const FieldDef& f : FieldsOfPage(g.page)) inGrid += f.Grid == g.grid;
    EXPECT_EQ(inGrid, g.count * static_cast<int>(g.stems.size())) << g.stems[0];
    for (const char* stem : g.stems) {
      for (int i = 0; i < g.count; ++i) {
        const std::string suffix = stem + std::to_string(i);
        const FieldDef* f = FindField(g.page, "Edit" + suffix);
        ASSERT_NE(f, nullptr) << "Edit" << suffix << " on page " << g.page;
        EXPECT_EQ(f->Grid, g.grid) << suffix;
        EXPECT_EQ(f->ControlName, "UpDown" + suffix);
      }
      EXPECT_EQ(FindField(g.page, "Edit" + std::string(stem) + std::to_string(g.count)), nullptr);
    }
  }
  int grids_elsewhere = 0;
  for (const FieldDef& f : EditorFields())
    grids_elsewhere += f.Grid == FieldGrid::MapExtra && f.Page != PageAdvance;
  EXPECT_EQ(grids_elsewhere, 0);
}

TEST(FieldsTable, GridCellsEditTheirOwnOffsets) {
  struct Case {
    int page;
    const char* name;
    int offset;
    int row, column;
  };
  const Case cases[] = {
      {PageAdvance, "EditMapCell93", 543, 6, 3},  // TPS 40 %, column 3
      {PageAdvance, "EditRpmAxisField14", 419, -1, 14},
      {PageInj1, "EditRpmAxisField0", 420, -1, 0},
      {PageInj2, "EditMapCell149", 1198, 9, 14},
      {PageAdvance, "EditMapExtra2", 45, -1, 2},
      {PagePosition, "EditPolohaARpm3", 378, 0, 3},
      {PagePosition, "EditPolohaAPoz3", 393, 1, 3},
      {PageSensors, "EditCidloTVzduch8", 228, 8, 1},
      {PageSensors, "EditCidloLambdaNap4", 316, 4, 1},
      {PageGear, "EditRpmSpeedProGear2", 166, 2, 0},  // gear 3, as the capture button writes it
      {PageRace, "EditClutchPause5", 132, 5, 3},
      {PageBike, "EditLambdaTachoRpm1", 321, 1, 1},
  };
  for (const auto& c : cases) {
    const FieldDef& f = Field(c.page, c.name);
    EXPECT_EQ(f.Offset, c.offset) << c.name;
    EXPECT_EQ(f.Row, c.row) << c.name;
    EXPECT_EQ(f.Column, c.column) << c.name;
  }
  const FieldDef& cell = Field(PageAdvance, "EditMapCell93");
  EXPECT_EQ(cell.Cell, 93);
  EXPECT_EQ(cell.Caption, "Advance map, TPS 40 %, column 3 [°]");
  EXPECT_EQ(Field(PageSensors, "EditCidloTVoda0").Caption, "Coolant sensor voltage, -10 °C [mV]");
  EXPECT_EQ(Field(PageGear, "EditGearKorJet5").Caption, "Injection correction, gear 6 [%]");
}

TEST(FieldsTable, EveryValueInEveryRangeSurvivesTheImage) {
  for (const FieldDef& f : EditorFields()) {
    if (f.Enc == Encoding::Text || f.Offset == 333) continue;  // the note; the idle mode itself
    const int modes = f.Range == RangeRule::Fixed ? 1 : 2;
    for (int mode = 0; mode < modes; ++mode) {
      ParameterImage image;
      DerivedTables tables;
      image.P(333) = static_cast<std::uint8_t>(mode);
      const FieldRange r = RangeOf(f, image);
      ASSERT_GE(r.Min, -32768) << f.ControlName;
      ASSERT_LE(r.Max, 32767) << f.ControlName;
      ASSERT_GT(r.Step, 0) << f.ControlName;
      if (f.Enc == Encoding::Scaled || f.Enc == Encoding::Tps100) {
        EXPECT_EQ(r.Step % f.Scale, 0) << f.ControlName << ": the arrows would leave the grid";
      }
      // Every arrow step of a byte field; the ends and a stride of the long word ranges.
      const int steps = (r.Max - r.Min) / r.Step;
      std::vector<int> values;
      for (int i = 0; i <= steps; ++i) {
        if (f.Width == FieldWidth::Byte || i < 3 || steps - i < 3 || i % 97 == 0)
          values.push_back(r.Min + i * r.Step);
      }
      values.push_back(r.Max);
      for (int v : values) {
        StoreShownValue(f, v, image, tables);
        const int expected = f.Enc == Encoding::Scaled   ? v / f.Scale * f.Scale
                             : f.Enc == Encoding::Tps100 ? v / 10 * 10
                                                         : v;
        ASSERT_EQ(ShownValue(f, image, tables), expected)
            << f.ControlName << " on page " << f.Page << " at " << v << " (idle mode " << mode
            << ")";
      }
    }
  }
}

TEST(FieldsTable, PagesHoldTheControlsTheirTransferReads) {
  int declaredSpinners = 0;
  for (const FieldDef& f : EditorFields())
    declaredSpinners += f.Kind == ControlKind::FieldPair && f.Grid == FieldGrid::None;
  EXPECT_EQ(declaredSpinners, 73);

  std::size_t total = 0;
  for (int page = 0; page < PageCount; ++page) {
    EXPECT_FALSE(FieldsOfPage(page).empty()) << page;
    total += FieldsOfPage(page).size();
  }
  EXPECT_EQ(total, EditorFields().size());
  EXPECT_TRUE(FieldsOfPage(-1).empty());
  EXPECT_TRUE(FieldsOfPage(PageCount).empty());

  // Only two fields stay out of the transfer loop.
  for (const FieldDef& f : EditorFields()) {
    if (f.ControlName == "RadioGroupLadeniMode") {
      EXPECT_EQ(f.Flow, FieldFlow::RefreshOnly);
    } else if (f.ControlName == "Menu_Jet123Mode") {
      EXPECT_EQ(f.Flow, FieldFlow::OwnHandler);
      EXPECT_EQ(f.Offset, 47);
    } else {
      EXPECT_EQ(f.Flow, FieldFlow::TransferAndRefresh) << f.ControlName;
    }
    EXPECT_FALSE(f.Section.empty()) << f.ControlName;
    EXPECT_FALSE(f.Caption.empty()) << f.ControlName;
    if (f.Enc == Encoding::Choice) {
      EXPECT_EQ(static_cast<int>(f.Items.size()), f.Max + 1) << f.ControlName;
    }
  }
  // The radio groups with a handler of their own are still read by their page.
  EXPECT_EQ(Field(PageIdle, "RadioGroupIdleMode").Offset, 333);
  EXPECT_EQ(Field(PageBike, "RadioGroupPinBody11").Offset, 40);
  EXPECT_EQ(Field(PageBike, "Memo1").Enc, Encoding::Text);
  EXPECT_EQ(FindField(PageBike, "UpDownFan1"), FindField(PageBike, "EditFan1"));
  EXPECT_EQ(FindField(PageSensors, "UpDownFan1"), nullptr);
}

TEST(FieldsTable, MapCaptionsNameRowAndColumn) {
  ParameterImage image;
  image.P(kAdvanceAxis + 3) = 40;
  image.P(kInj2Axis + 3) = 45;
  EXPECT_EQ(MapRowCaption(6), "TPS 40 %");
  EXPECT_EQ(MapRowCaption(0), "TPS 0 %");
  EXPECT_EQ(MapRowCaption(10), "");
  EXPECT_EQ(MapColumnCaption(PageAdvance, 3, image), "column 3 (4000 rpm)");
  EXPECT_EQ(MapColumnCaption(PageInj2, 3, image), "column 3 (4500 rpm)");
  EXPECT_EQ(MapColumnCaption(PageBike, 3, image), "column 3");
  EXPECT_EQ(MapAxisOffset(PageInj1), kInj1Axis);
  EXPECT_EQ(MapAxisOffset(PageRace), -1);
  EXPECT_EQ(PageCaption(PageN2O), "N2O");
  EXPECT_EQ(PageCaption(13), "");
}

// Enter commits every box. A grid box also commits when clicked or left, so
// moving through a map with the mouse never loses a typed cell; the declared
// boxes commit on one of the two as the page's form had them.
TEST(FieldsCommit, EachBoxCommitsOnItsEvents) {
  const auto events = [](int page, std::string_view name) {
    const FieldDef* f = FindField(page, name);
    return f ? CommitEventsOf(*f) : -1;
  };
  EXPECT_EQ(events(PageAdvance, "EditMapCell17"), CommitOnClick | CommitOnLeave);
  EXPECT_EQ(events(PageAdvance, "EditRpmAxisField3"), CommitOnClick | CommitOnLeave);
  EXPECT_EQ(events(PageCorrections, "EditKorVoda2"), CommitOnClick | CommitOnLeave);
  EXPECT_EQ(events(PageBike, "EditFan1"), CommitOnLeave);
  EXPECT_EQ(events(PageGear, "EditPocetGear"), CommitOnLeave);
  EXPECT_EQ(events(PageBike, "EditBuzeni"), CommitOnClick);
  EXPECT_EQ(events(PageTuning, "EditLadeniKrok"), CommitOnClick);
  EXPECT_EQ(events(PageMonitor, "EditLambdaBar3"), CommitOnClick);
  EXPECT_EQ(events(PageCorrections, "EditStartJet"), CommitOnEnter);
  EXPECT_EQ(events(PageN2O, "CheckBoxGas"), CommitOnEnter);
  // Every declared name is a box of the table (a misspelt one would leave
  // its box committing on Enter only): 18 commit on leaving, 39 on a click,
  // none on both.
  int onLeave = 0, onClick = 0;
  for (const FieldDef& f : EditorFields()) {
    if (f.Grid != FieldGrid::None) continue;
    const int e = CommitEventsOf(f);
    EXPECT_NE(e, CommitOnClick | CommitOnLeave) << f.EditName;
    onLeave += (e & CommitOnLeave) ? 1 : 0;
    onClick += (e & CommitOnClick) ? 1 : 0;
  }
  EXPECT_EQ(onLeave, 18);
  EXPECT_EQ(onClick, 39);
}

}  // namespace
}  // namespace velmor

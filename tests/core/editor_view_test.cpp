#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "editor/names.h"
#include "editor/view.h"
#include "model/defaults.h"
#include "test_images.h"

namespace velmor {
namespace {

struct ViewFixture {
  ParameterImage image;
  std::unique_ptr<ViewModel> model = std::make_unique<ViewModel>();
  ViewInputs in;

  const ViewModel& Refresh(int page) {
    in.Page = page;
    RefreshView(image, in, *model);
    return *model;
  }
  const ControlState& Get(std::string_view name) const {
    const ControlState* s = model->Find(name);
    static const ControlState missing{};
    EXPECT_NE(s, nullptr) << name;
    return s ? *s : missing;
  }
  // -1: the view leaves the control's visibility alone.
  int Visible(std::string_view name) const {
    const ControlState* s = model->Find(name);
    if (s == nullptr || !s->Has(SetVisible)) return -1;
    return s->Visible ? 1 : 0;
  }
};

TEST(EditorView, MapViewModeFollowsPageTpsSwitchMsAndCoupling) {
  struct Case { int page; int p42; int p47; bool ms; MapViewMode mode; };
  const Case cases[] = {
      {PageAdvance, 1, 0, false, MapViewMode::Edit},   {PageAdvance, 0, 0, false, MapViewMode::SingleRow},
      {PageAdvance, 0, 0, true, MapViewMode::SingleRow},
      {PageInj1, 0, 0, false, MapViewMode::Edit},      {PageInj1, 0, 1, true, MapViewMode::Times},
      {PageInj1, 0, 1, false, MapViewMode::Edit},
      {PageInj2, 0, 0, false, MapViewMode::Edit},      {PageInj2, 0, 1, false, MapViewMode::ReadOnly},
      {PageInj2, 0, 0, true, MapViewMode::Times},      {PageInj2, 0, 1, true, MapViewMode::TimesReadOnly},
      {PagePosition, 1, 0, true, MapViewMode::None},   {PageBike, 1, 1, false, MapViewMode::None},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    image.P(42) = static_cast<std::uint8_t>(c.p42);
    image.P(47) = static_cast<std::uint8_t>(c.p47);
    EXPECT_EQ(ComputeMapViewMode(image, c.page, c.ms), c.mode)
        << "page " << c.page << " P+42 " << c.p42 << " P+47 " << c.p47 << " ms " << c.ms;
  }
}

// What each mode shows: 1 shown, 0 hidden.
TEST(EditorView, EachMapViewModeShowsItsColumns) {
  struct Case {
    int page; int p42; int p47; bool ms; MapViewMode mode;
    int axisEdit, axisSpin, columnButton, cellRow0, cellRow9, spinRow0, spinRow9, cellEnabled, timeLabel,
        rowLabel, tpsLabel, tools;
  };
  const Case cases[] = {
      //                                          axE axS col c0 c9 s0 s9 en tl rl tps tools
      {PageInj1, 0, 0, false, MapViewMode::Edit, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1},
      {PageInj2, 0, 1, false, MapViewMode::ReadOnly, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0},
      {PageInj1, 0, 0, true, MapViewMode::Times, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1},
      {PageInj2, 0, 1, true, MapViewMode::TimesReadOnly, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0},
      {PageAdvance, 0, 0, false, MapViewMode::SingleRow, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1},
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(42) = static_cast<std::uint8_t>(c.p42);
    f.image.P(47) = static_cast<std::uint8_t>(c.p47);
    f.in.MsMode = c.ms;
    const ViewModel& m = f.Refresh(c.page);
    SCOPED_TRACE("mode " + std::to_string(static_cast<int>(c.mode)));
    EXPECT_EQ(m.Mode, c.mode);
    for (int i : {0, 14}) {
      EXPECT_EQ(f.Visible(EditorNames::RpmAxisEdit(i)), c.axisEdit);
      EXPECT_EQ(f.Visible(EditorNames::RpmAxisUpDown(i)), c.axisSpin);
      EXPECT_EQ(f.Visible(EditorNames::ColumnStepButton(i)), c.columnButton);
    }
    for (int col : {0, 7, 14}) {
      EXPECT_EQ(f.Visible(EditorNames::MapCellEdit(MapCell(0, col))), c.cellRow0);
      EXPECT_EQ(f.Visible(EditorNames::MapCellEdit(MapCell(9, col))), c.cellRow9);
      EXPECT_EQ(f.Visible(EditorNames::MapCellUpDown(MapCell(0, col))), c.spinRow0);
      EXPECT_EQ(f.Visible(EditorNames::MapCellUpDown(MapCell(9, col))), c.spinRow9);
      EXPECT_EQ(f.Get(EditorNames::MapCellEdit(MapCell(9, col))).Enabled, c.cellEnabled == 1);
      EXPECT_EQ(f.Visible(EditorNames::CellTimeLabel(MapCell(4, col))), c.timeLabel);
    }
    EXPECT_EQ(f.Visible(EditorNames::TpsRowLabel(0)), c.rowLabel);
    EXPECT_EQ(f.Visible(EditorNames::TpsRowLabel(9)), c.rowLabel);
    EXPECT_EQ(f.Visible(kLabelMapTpsName), c.tpsLabel);
    EXPECT_EQ(f.Visible(kMapStepButtonName), c.tools);
    EXPECT_EQ(f.Visible(kCheckBoxAllUniName), c.tools);
    EXPECT_EQ(f.Visible(kLabelMapRpmName), 1);
    EXPECT_EQ(f.Visible(kMapTopBevelName), 1);
  }
}

TEST(EditorView, RowNineMovesToTheTopOnlyWithoutTps) {
  struct Case { int p42; int editTop; int labelTop; };
  const Case cases[] = {{0, 53, 58}, {1, 323, 328}};
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(42) = static_cast<std::uint8_t>(c.p42);
    f.Refresh(PageAdvance);
    for (int col = 0; col < kMapColumns; ++col) {
      const int k = MapCell(9, col);
      EXPECT_EQ(f.Get(EditorNames::MapCellEdit(k)).Top, c.editTop) << col;
      EXPECT_EQ(f.Get(EditorNames::MapCellUpDown(k)).Top, c.editTop) << col;
      EXPECT_EQ(f.Get(EditorNames::CellTimeLabel(k)).Top, c.labelTop) << col;
    }
    // Other rows are never moved.
    EXPECT_FALSE(f.Get(EditorNames::MapCellEdit(MapCell(0, 0))).Has(SetTop));
  }
  // Leaving the single-row view puts row 9 back even on another map page.
  ViewFixture f;
  f.Refresh(PageInj1);
  EXPECT_EQ(f.Get(EditorNames::MapCellEdit(MapCell(9, 3))).Top, 323);
}

TEST(EditorView, MsShowsEachCellTimeInMillisecondsOfThePagesMap) {
  EXPECT_EQ(FormatCellTime(11920, std::array<char, 8>{}.data()), 7);
  struct Case { std::uint16_t word; std::string text; };
  const Case cases[] = {{11920, "11.920 "}, {5, "0.005 "}, {0, "0.000 "}, {65535, "65.535 "}, {1000, "1.000 "}};
  for (const auto& c : cases) {
    char buf[8];
    const int n = FormatCellTime(c.word, buf);
    EXPECT_EQ(std::string(buf, n), c.text) << c.word;
  }

  ViewFixture f;
  f.image.SetWord(kInj1Map + 2 * 17, 11920);
  f.image.SetWord(kInj2Map + 2 * 17, 5);
  f.in.MsMode = true;
  f.Refresh(PageInj1);
  EXPECT_EQ(f.Get(EditorNames::CellTimeLabel(17)).Text(), "11.920 ");
  f.Refresh(PageInj2);
  EXPECT_EQ(f.Get(EditorNames::CellTimeLabel(17)).Text(), "0.005 ");
  // Without "Ms" the hidden labels keep whatever text they have.
  f.in.MsMode = false;
  f.Refresh(PageInj1);
  EXPECT_FALSE(f.Get(EditorNames::CellTimeLabel(17)).Has(SetText));
}

TEST(EditorView, InjectionMapModeMarksTabHeaderAndPageCommands) {
  struct Case {
    int p47; int page;
    bool normal, coupled, same, tabShown;
    int header5; std::string_view headerText; ViewColour headerColour; bool pageCommands;
  };
  const Case cases[] = {
      {0, PageInj1, true, false, false, true, 0, kHeaderCoupledText, ViewColour::Yellow, true},
      {1, PageInj1, false, true, false, true, 1, kHeaderCoupledText, ViewColour::Yellow, false},
      {1, PageInj2, false, true, false, true, 1, kHeaderCoupledText, ViewColour::Yellow, false},
      {2, PageInj1, false, false, true, false, 1, kHeaderSameText, ViewColour::Aqua, true},
      {1, PageAdvance, false, true, false, true, 0, kHeaderCoupledText, ViewColour::Yellow, true},
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(47) = static_cast<std::uint8_t>(c.p47);
    f.Refresh(c.page);
    SCOPED_TRACE("P+47 " + std::to_string(c.p47) + " page " + std::to_string(c.page));
    EXPECT_EQ(f.Get("Menu_Jet123Normal").Checked, c.normal);
    EXPECT_EQ(f.Get("Menu_Jet123Coupled").Checked, c.coupled);
    EXPECT_EQ(f.Get("Menu_Jet123Stejny").Checked, c.same);
    EXPECT_EQ(f.Visible(kTabSheetInj2AName), c.tabShown ? 1 : 0);
    const ControlState& h5 = f.Get(EditorNames::MapHeaderLabel(5));
    EXPECT_EQ(f.Visible(EditorNames::MapHeaderLabel(5)), c.header5);
    EXPECT_EQ(h5.Text(), c.headerText);
    EXPECT_EQ(h5.Colour, c.headerColour);
    EXPECT_EQ(f.Get("MenuNewActPage").Enabled, c.pageCommands);
    EXPECT_EQ(f.Get("MenuOpenActPage").Enabled, c.pageCommands);
  }
}

TEST(EditorView, LeavingACoupledInjectionPageEnablesPageCommandsAgain) {
  ViewFixture f;
  f.image.P(47) = MapModeCoupled;
  f.Refresh(PageInj1);
  EXPECT_FALSE(f.Get("MenuNewActPage").Enabled);
  f.Refresh(PageCorrections);
  EXPECT_TRUE(f.Get("MenuNewActPage").Enabled);
  EXPECT_TRUE(f.Get("MenuOpenActPage").Enabled);
}

TEST(EditorView, AdvancePageLaysOutExtraFieldsAndTheirCaptions) {
  ViewFixture f;
  f.image.P(42) = 1;
  f.Refresh(PageInj1);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(f.Visible(EditorNames::MapExtraEdit(n)), 0);
  EXPECT_EQ(f.Visible(EditorNames::MapHeaderLabel(0)), 0);
  EXPECT_EQ(f.Visible(kCheckBoxTpsUniName), 0);
  EXPECT_EQ(f.Visible(kCheckBoxMsUniName), 1);

  // Back on page 1 every extra field is there again, left to right:
  // base advance, its caption, cylinder 1, cylinder 2, their caption.
  f.Refresh(PageAdvance);
  EXPECT_EQ(f.Visible(kCheckBoxTpsUniName), 1);
  EXPECT_EQ(f.Visible(kCheckBoxMsUniName), 0);
  struct Extra { int n; int left; int min, max; };
  const Extra extras[] = {{2, 90, 0, 100}, {0, 310, -15, 15}, {1, 365, -15, 15}};
  for (const auto& e : extras) {
    const ControlState& edit = f.Get(EditorNames::MapExtraEdit(e.n));
    const ControlState& spin = f.Get(EditorNames::MapExtraUpDown(e.n));
    EXPECT_TRUE(edit.Visible && spin.Visible) << e.n;
    EXPECT_EQ(edit.Left, e.left) << e.n;
    EXPECT_EQ(edit.Width, 30) << e.n;
    EXPECT_EQ(spin.Left, e.left + 30) << e.n;
    EXPECT_EQ(spin.Min, e.min) << e.n;
    EXPECT_EQ(spin.Max, e.max) << e.n;
  }
  EXPECT_EQ(f.Get(EditorNames::MapExtraUpDown(0)).Increment, 1);
  const ControlState& h0 = f.Get(EditorNames::MapHeaderLabel(0));
  const ControlState& h1 = f.Get(EditorNames::MapHeaderLabel(1));
  EXPECT_TRUE(h0.Visible && h0.Has(SetTextKey));
  EXPECT_EQ(h0.TextKey, MsgKey::TxtBaseAdvance);
  EXPECT_EQ(h0.Left, 145);
  EXPECT_EQ(h1.TextKey, MsgKey::TxtCylCorrection);
  EXPECT_EQ(h1.Left, 420);
  for (int n = 2; n <= 5; ++n) EXPECT_EQ(f.Visible(EditorNames::MapHeaderLabel(n)), 0) << n;
}

TEST(EditorView, IdlePageFollowsIdleModeAndAdvanceSwitch) {
  struct Case { int mode; int adv; int servo, step, advShown, limits; int max, increment; };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, 100, 1},     // nothing but the mode group
      {1, 0, 1, 1, 0, 1, 12000, 10},  // step motor
      {0, 1, 0, 0, 1, 1, 100, 1},     // idle advance only
      {2, 0, 1, 0, 0, 0, 12000, 10},  // a servo that is not a step motor
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(333) = static_cast<std::uint8_t>(c.mode);
    f.image.P(358) = static_cast<std::uint8_t>(c.adv);
    f.Refresh(PageIdle);
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " adv " + std::to_string(c.adv));
    for (auto name : {"GroupBoxIdleServoPoz", "CheckBoxIdleSmerReg", "UpDownIdleStepPuls", "LabelIdleStepPerioda"})
      EXPECT_EQ(f.Visible(name), c.servo) << name;
    for (auto name : {"EditIdleStart", "LabelIdleHyster"}) EXPECT_EQ(f.Visible(name), c.step) << name;
    for (auto name : {"LabelIdleKorAdv", "GroupBoxIdleAdvPoz", "EditIdleMaxAdv", "UpDownIdleAdvNaCas"})
      EXPECT_EQ(f.Visible(name), c.advShown) << name;
    for (auto name : {"EditIdleRpmMez", "LabelIdleTpsMez"}) EXPECT_EQ(f.Visible(name), c.limits) << name;
    EXPECT_EQ(f.Visible("RadioGroupIdleMode"), -1);
    for (int i : {0, 8}) {
      EXPECT_EQ(f.Get(EditorNames::IdleServoPozUpDown(i)).Max, c.max);
      EXPECT_EQ(f.Get(EditorNames::IdleServoPozUpDown(i)).Increment, c.increment);
    }
  }
}

TEST(EditorView, NitrousGroupsFollowTheSwitch) {
  for (int gas : {0, 1}) {
    ViewFixture f;
    f.image.P(98) = static_cast<std::uint8_t>(gas);
    f.Refresh(PageN2O);
    EXPECT_EQ(f.Visible("GroupBoxGas"), gas);
    EXPECT_EQ(f.Visible("GroupBoxRetard"), gas);
    EXPECT_TRUE(f.Get("CheckBoxGas").Enabled);
  }
}

TEST(EditorView, GearPageFollowsSystemAndGearCount) {
  struct Case {
    int s, n;
    int ratioGroup, button1, button3, button4, pomer3, pomer4, korLabel1, korLabel3, korRow2, korRow3,
        count, monAuto, monPomer;
  };
  const Case cases[] = {
      //                 grp b1 b3 b4 p3 p4 k1 k3 r2 r3 cnt auto pomer
      {0, 3, /*s=0 n=3*/ 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1},
      {1, 3, /*auto*/    0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 1, 1},
      {2, 6, /*none*/    0, 0, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0},
      {0, 6,             1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1},
      {0, 1,             1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1},
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(136) = static_cast<std::uint8_t>(c.s);
    f.image.P(137) = static_cast<std::uint8_t>(c.n);
    f.Refresh(PageGear);
    SCOPED_TRACE("s " + std::to_string(c.s) + " n " + std::to_string(c.n));
    EXPECT_EQ(f.Visible("GroupBoxRpmSpeedProGear"), c.ratioGroup);
    EXPECT_EQ(f.Visible("ButtonGear1"), c.button1);
    EXPECT_EQ(f.Visible("ButtonGear3"), c.button3);
    EXPECT_EQ(f.Visible("ButtonGear4"), c.button4);
    EXPECT_EQ(f.Visible("ButtonGear6"), c.button4);
    EXPECT_EQ(f.Visible("LabelPomerRpmSpeed3"), c.pomer3);
    EXPECT_EQ(f.Visible("LabelMonGearAuto3"), c.pomer3);
    EXPECT_EQ(f.Visible("LabelMonPomerRpmSpeedAuto4"), c.pomer4);
    EXPECT_EQ(f.Visible("LabelGearKor1"), c.korLabel1);
    EXPECT_EQ(f.Visible("LabelGearKor3"), c.korLabel3);
    // Rows are gear - 1: row 2 is gear 3.
    EXPECT_EQ(f.Visible(EditorNames::GearKorAdvEdit(2)), c.korRow2);
    EXPECT_EQ(f.Visible(EditorNames::GearKorJetUpDown(2)), c.korRow2);
    EXPECT_EQ(f.Visible(EditorNames::GearKorAdvEdit(3)), c.korRow3);
    EXPECT_EQ(f.Visible(EditorNames::GearKorJetEdit(0)), 1);
    for (auto name : {"EditPocetGear", "UpDownPocetGear", "LabelPocetGear", "GroupBoxGearKor"})
      EXPECT_EQ(f.Visible(name), c.count) << name;
    EXPECT_EQ(f.Visible("GroupBoxMonAutoGear"), c.monAuto);
    EXPECT_EQ(f.Visible("LabelMonPomerRpmSpeed"), c.monPomer);
    EXPECT_EQ(f.Visible(EditorNames::RpmSpeedProGearEdit(5)), -1);  // never hidden by the count
  }
}

TEST(EditorView, RacePageShowsClutchRowsPerGear) {
  struct Case { int s, n; int label1, row1, row2; };
  const Case cases[] = {{0, 2, 1, 1, 0}, {0, 6, 1, 1, 1}, {2, 6, 0, 0, 0}, {1, 1, 1, 0, 0}};
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(136) = static_cast<std::uint8_t>(c.s);
    f.image.P(137) = static_cast<std::uint8_t>(c.n);
    f.Refresh(PageRace);
    SCOPED_TRACE("s " + std::to_string(c.s) + " n " + std::to_string(c.n));
    EXPECT_EQ(f.Visible("LabelRaceGear1"), c.label1);
    EXPECT_EQ(f.Visible("LabelRaceGear2"), c.row1);
    EXPECT_EQ(f.Visible("LabelRaceGear3"), c.row2);
    for (int pair = 0; pair < kClutchPairs; ++pair) {
      EXPECT_EQ(f.Visible(EditorNames::ClutchEdit(pair, 0)), 1);  // gear 1 always
      EXPECT_EQ(f.Visible(EditorNames::ClutchUpDown(pair, 0)), 1);
      EXPECT_EQ(f.Visible(EditorNames::ClutchEdit(pair, 1)), c.row1);
      EXPECT_EQ(f.Visible(EditorNames::ClutchUpDown(pair, 2)), c.row2);
    }
  }
}

TEST(EditorView, TuningPageFollowsModeCouplingTuningAndTestLock) {
  struct Case { int p290, p47; bool tuning, locked; int points, channel; ViewColour colour; };
  const Case cases[] = {
      {0, 0, false, false, 1, 1, ViewColour::Normal},
      {1, 1, true, true, 0, 0, ViewColour::Red},
      {0, 2, false, true, 1, 0, ViewColour::Normal},
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(290) = static_cast<std::uint8_t>(c.p290);
    f.image.P(47) = static_cast<std::uint8_t>(c.p47);
    f.in.TuningOn = c.tuning;
    f.in.TestsLocked = c.locked;
    f.Refresh(PageTuning);
    EXPECT_EQ(f.Get("CheckBoxLadeniPovoleno").Colour, c.colour);
    for (auto name : {"EditLadeniRpm", "UpDownLadeniRpm", "LabelLadeniRpm", "EditLadeniTps", "LabelLadeniTps"})
      EXPECT_EQ(f.Visible(name), c.points) << name;
    for (auto name : {"UpDownLadeniKanal", "EditLadeniKanal", "LabelLadeniKanal"})
      EXPECT_EQ(f.Visible(name), c.channel) << name;
    EXPECT_EQ(f.Get("UpDownLadeniKanal").Max, 2);
    for (auto name : {"GroupBoxTestJet", "ButtonTestJet1A", "ButtonTestRpm", "ButtonTestServoInMinus"})
      EXPECT_EQ(f.Get(name).Enabled, !c.locked) << name;
    for (auto name : {"ButtonTestJet3A", "ButtonTestJet4B", "ButtonTestIgn4", "ButtonTestServoExMinus"})
      EXPECT_EQ(f.Visible(name), 0) << name;
  }
}

TEST(EditorView, LambdaBarSplitsTheGaugeOrFallsBackToThirds) {
  struct Case { int b0, b1, b2, b3; int blueW, greenW, redW; };
  const Case cases[] = {
      {100, 130, 160, 200, 90, 90, 120},  // proportional: 30/100 and 30/100 of 300
      {100, 101, 102, 103, 100, 100, 100},
      {100, 100, 200, 200, 0, 300, 0},    // empty first and last band
      {150, 150, 150, 150, 100, 100, 100}, // no scale: thirds
      {100, 170, 140, 200, 100, 100, 100}, // out of order: thirds
      {200, 150, 120, 100, 100, 100, 100}, // falling: thirds
  };
  for (const auto& c : cases) {
    ViewFixture f;
    f.image.P(322) = static_cast<std::uint8_t>(c.b0);
    f.image.P(323) = static_cast<std::uint8_t>(c.b1);
    f.image.P(324) = static_cast<std::uint8_t>(c.b2);
    f.image.P(325) = static_cast<std::uint8_t>(c.b3);
    f.in.LambdaGaugeLeft = 40;
    f.in.LambdaGaugeWidth = 300;
    f.Refresh(PageMonitor);
    SCOPED_TRACE(std::to_string(c.b0) + " " + std::to_string(c.b1) + " " + std::to_string(c.b2) + " " +
                 std::to_string(c.b3));
    const ControlState& blue = f.Get("LabelLambdaBlue");
    const ControlState& green = f.Get("LabelLambdaGreen");
    const ControlState& red = f.Get("LabelLambdaRed");
    EXPECT_EQ(blue.Left, 40);
    EXPECT_EQ(blue.Width, c.blueW);
    EXPECT_EQ(green.Left, 40 + c.blueW);
    EXPECT_EQ(green.Width, c.greenW);
    EXPECT_EQ(red.Left, 40 + c.blueW + c.greenW);
    EXPECT_EQ(red.Width, c.redW);
    EXPECT_EQ(red.Left + red.Width, 340);  // the three always fill the gauge
  }
}

// Each control appears once (a second entry would contradict the first),
// every entry has a name, and the image is never touched.
TEST(EditorView, EveryPageGivesUniqueNamedStatesAndLeavesTheImage) {
  const ParameterImage base = testsupport::DefaultsOf();
  auto model = std::make_unique<ViewModel>();
  for (int p47 = 0; p47 <= 2; ++p47) {
    for (int p42 = 0; p42 <= 1; ++p42) {
      for (bool ms : {false, true}) {
        for (int page = 0; page < PageCount; ++page) {
          ParameterImage image = base;
          image.P(47) = static_cast<std::uint8_t>(p47);
          image.P(42) = static_cast<std::uint8_t>(p42);
          const ParameterImage before = image;
          ViewInputs in;
          in.Page = page;
          in.MsMode = ms;
          in.LambdaGaugeWidth = 200;
          RefreshView(image, in, *model);
          EXPECT_EQ(image, before);
          EXPECT_LT(model->Count, kViewCapacity) << page;
          std::set<std::string_view> names;
          for (const ControlState& s : model->States()) {
            EXPECT_FALSE(s.Name.empty()) << page;
            EXPECT_NE(s.Set, 0) << s.Name;
            EXPECT_TRUE(names.insert(s.Name).second) << "twice: " << s.Name << " on page " << page;
          }
        }
      }
    }
  }
}

// Paper shows values, not the gadgets that change them: every spinner of
// the map editor and of the position and correction grids goes, with the
// tool row and the live gauges, while the boxes holding the values, the
// captions and the page's header line stay.
TEST(EditorView, PrintingHidesTheGadgetsAndKeepsTheValues) {
  for (std::string_view hidden :
       {"StatusBar1", "GroupBoxToolBar", "LabelSpojeni", "CGaugeLambda", "CSpinButtonPolohaA", "UpDownMapCell0",
        "UpDownMapCell149", "UpDownRpmAxisField14", "UpDownMapExtra2", "ColumnStepButton7", "MapStepButton",
        "CheckBoxAll_Uni", "CheckBoxTps_Uni", "CheckBoxZobrMs_Uni", "UpDownPolohaARpm3", "UpDownPolohaAPoz3",
        "UpDownKorVoda8", "UpDownKorVzduch0", "UpDownFan1", "UpDownSyticKorekce3", "ButtonTps100"}) {
    EXPECT_TRUE(HiddenWhenPrinting(hidden)) << hidden;
  }
  for (std::string_view kept :
       {"LabelHlaseni", "EditMapCell0", "EditRpmAxisField3", "EditPolohaARpm3", "EditKorVoda8", "EditFan1",
        "CellTimeLabel5", "MapHeaderLabel5", "LabelVerze1", "PageControl1", "UpDownBuzeni", "CheckBoxGas",
        "UpDownMap", ""}) {
    EXPECT_FALSE(HiddenWhenPrinting(kept)) << kept;
  }
}

}  // namespace
}  // namespace velmor

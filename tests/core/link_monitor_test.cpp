#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/frame.h"
#include "link/monitor.h"

namespace velmor {
namespace {

class MonitorDecodeTest : public ::testing::Test {
 public:
  MonitorDecodeTest() : stems(MonitorStems::For(LanguageCode::English)) {
    frame[0] = kMonitorReply;
    frame[150] = kProtocolVersion;
    frame[23] = 180;  // 80 °C
    frame[24] = 125;  // 25 °C
    Word(64, 13000);
    inputs.Stems = &stems;
  }
  void Word(int offset, int value) {
    frame[offset] = static_cast<std::uint8_t>(value & 0xFF);
    frame[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  bool Decode() {
    SealFrame(frame);
    return DecodeMonitorFrame(frame.data(), inputs, live, view, saving);
  }
  std::string Text(MonLabel l) const { return std::string(view[l].Text.View()); }
  Colour TextColour(MonLabel l) const { return view[l].TextColour; }

  MonitorStems stems;
  MonitorInputs inputs;
  LinkFrame frame{};
  LiveValues live;
  MonitorView view;
  std::uint16_t saving = 0;
};

using L = MonLabel;

TEST_F(MonitorDecodeTest, RejectedFramesChangeNothing) {
  live.Rpm = 1234;
  frame[0] = 0xB1;
  EXPECT_FALSE(Decode());
  frame[0] = kMonitorReply;
  Word(48, 9000);
  SealFrame(frame);
  frame[151] ^= 0x40;
  EXPECT_FALSE(DecodeMonitorFrame(frame.data(), inputs, live, view, saving));
  EXPECT_EQ(live.Rpm, 1234);
  EXPECT_FALSE(view[L::LabelRpm].SetText);
}

TEST_F(MonitorDecodeTest, InputsAllHighShowNoExceptNeutral) {
  frame[1] = 0xFF;
  ASSERT_TRUE(Decode());
  const std::pair<MonLabel, const char*> expected[] = {
      {L::LabelMonTlStartIn, "Switch start - NO"},  {L::LabelMonClutchIn, "Clutch - NO"},
      {L::LabelMonSideStand, "Side stand - NO"},    {L::LabelMonStartLimiterIn, "Start limiter - NO"},
      {L::LabelMonClutchMasterIn, "Clutch master - NO"}, {L::LabelMonRpmLambdaIn, "Tacho/Lambda - NO"},
      {L::LabelMonPinEngine23In, "Pin engine 23 - NO"}};
  for (auto [label, text] : expected) {
    EXPECT_EQ(Text(label), text) << MonLabelName(label);
    EXPECT_EQ(TextColour(label), Colour::Normal) << MonLabelName(label);
  }
  EXPECT_EQ(Text(L::LabelMonNeutral), "Idle - YES");
  EXPECT_EQ(TextColour(L::LabelMonNeutral), Colour::Aqua);

  frame[1] = 0x00;
  ASSERT_TRUE(Decode());
  EXPECT_EQ(Text(L::LabelMonTlStartIn), "Switch start - YES");
  EXPECT_EQ(TextColour(L::LabelMonTlStartIn), Colour::White);
  EXPECT_EQ(TextColour(L::LabelMonClutchMasterIn), Colour::Lime);
  EXPECT_EQ(Text(L::LabelMonNeutral), "Idle - NO");
}

// One frame change against the label it must produce.
struct MonitorCase {
  const char* what;
  std::function<void(MonitorDecodeTest&)> setup;
  MonLabel label;
  const char* text;  // nullptr: the frame leaves the label's text as it was
  Colour colour;
};

void PrintTo(const MonitorCase& c, std::ostream* os) { *os << c.what; }

class MonitorTableTest : public MonitorDecodeTest,
                         public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(MonitorTableTest, LabelTextAndColour) {
  const MonitorCase& c = GetParam();
  c.setup(*this);
  ASSERT_TRUE(Decode());
  if (c.text != nullptr) {
    EXPECT_TRUE(view[c.label].SetText);
    EXPECT_EQ(Text(c.label), c.text);
  } else {
    EXPECT_FALSE(view[c.label].SetText);
  }
  EXPECT_TRUE(view[c.label].SetColour);
  EXPECT_EQ(ColourName(TextColour(c.label)), std::string(ColourName(c.colour)));
}

auto Byte(int index, int value) {
  return [=](MonitorDecodeTest& t) { t.frame[index] = static_cast<std::uint8_t>(value); };
}
auto WordAt(int offset, int value) { return [=](MonitorDecodeTest& t) { t.Word(offset, value); }; }
auto Ext(std::function<void(MonitorDecodeTest&)> f) {
  return [=](MonitorDecodeTest& t) {
    t.inputs.ExtendedMonitor = true;
    f(t);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Frames, MonitorTableTest,
    ::testing::Values(
        MonitorCase{"AllLimiters", Byte(2, 0x38), L::LabelRpm, "RPM = 0 ", Colour::Red},
        MonitorCase{"OneLimiter", Byte(2, 0x10), L::LabelRpm, "RPM = 0 ", Colour::Fuchsia},
        MonitorCase{"NoLimiter", Byte(2, 0x00), L::LabelRpm, "RPM = 0 ", Colour::Normal},
        MonitorCase{"IgnLimiterLabel", Byte(2, 0x08), L::LabelMonIgnLimiter,
                    "Limiter by ignition - YES", Colour::Fuchsia},
        MonitorCase{"TachoOut", Byte(2, 0x40), L::LabelMonRpmLambdaOut, "Tacho/Lambda - Tacho",
                    Colour::Normal},
        MonitorCase{"LambdaOut", Byte(2, 0x00), L::LabelMonRpmLambdaOut, "Tacho/Lambda - Lambda",
                    Colour::Aqua},
        MonitorCase{"PinBody11", Byte(2, 0x00), L::LabelMonPinBody11In, "Pin body 11 - YES",
                    Colour::Aqua},
        MonitorCase{"Nitrous", Byte(2, 0x80), L::LabelN2oOn, "N2O  - YES", Colour::Lime},
        MonitorCase{"ClutchMasterOut", Byte(3, 0x01), L::LabelMonClutchOut,
                    "Clutch master - YES", Colour::Red},
        MonitorCase{"PickupRunning", Byte(3, 0x20), L::LabelSnimacCmps,
                    "Pick-up (CMPS) -  is running", Colour::Lime},
        MonitorCase{"PickupSilent", Byte(3, 0x00), L::LabelSnimacCmps,
                    "Pick-up (CMPS) -  no signal", Colour::Normal},
        MonitorCase{"OilOk", Byte(4, 0x02), L::LabelOilOk, "Oil OK - YES", Colour::Normal},
        MonitorCase{"OilLow", Byte(4, 0x00), L::LabelOilOk, "Oil OK - NO", Colour::Red},
        MonitorCase{"Fan2", Byte(4, 0x10), L::LabelMonFan2, "Fan 2 - YES", Colour::Fuchsia},
        MonitorCase{"Blocking", Byte(4, 0x20), L::LabelMonBlokOut, "Blocking  - YES", Colour::Red},
        MonitorCase{"FuelWarning", Byte(4, 0x40), L::LabelMonFuelMv, "Fuel = 0 mV",
                    Colour::Fuchsia},
        MonitorCase{"PressureFault", Byte(4, 0x01), L::LabelTlak, "AP =  0.0 kPa", Colour::Red},
        MonitorCase{"PressureExt",
                    Ext([](MonitorDecodeTest& t) {
                      t.Word(52, 1013);
                      t.Word(50, 2500);
                    }),
                    L::LabelTlak, "AP = 101.3 kPa= 2500 mV", Colour::Normal},
        MonitorCase{"CoolantFault", Byte(23, 0), L::LabelVoda, "Coolant = error", Colour::Red},
        MonitorCase{"CoolantFaultExt",
                    Ext([](MonitorDecodeTest& t) {
                      t.frame[23] = 0;
                      t.Word(60, 4900);
                    }),
                    L::LabelVoda, "Coolant = error = 4900 mV", Colour::Red},
        MonitorCase{"CoolantHot", Byte(23, 200), L::LabelVoda, "Coolant= 100 °C", Colour::Yellow},
        MonitorCase{"CoolantWarm", Byte(23, 199), L::LabelVoda, "Coolant= 99 °C", Colour::Normal},
        MonitorCase{"AirFault", Byte(24, 60), L::LabelVzduch, "AT = 50 °C", Colour::Red},
        MonitorCase{"AirCold", Byte(24, 61), L::LabelVzduch, "AT = -39 °C", Colour::Normal},
        MonitorCase{"Supply11000", WordAt(64, 11000), L::LabelNapeti, "U = 11.0 V", Colour::Yellow},
        MonitorCase{"Supply11001", WordAt(64, 11001), L::LabelNapeti, "U = 11.0 V", Colour::Normal},
        MonitorCase{"Supply7000", WordAt(64, 7000), L::LabelNapeti, "U =  7.0 V", Colour::Red},
        MonitorCase{"Supply17999", WordAt(64, 17999), L::LabelNapeti, "U = 18.0 V", Colour::Red},
        MonitorCase{"Supply14998", WordAt(64, 14998), L::LabelNapeti, "U = 15.0 V", Colour::Normal},
        MonitorCase{"Supply14999", WordAt(64, 14999), L::LabelNapeti, "U = 15.0 V", Colour::Yellow},
        MonitorCase{"TpsFault",
                    [](MonitorDecodeTest& t) {
                      t.frame[3] = 0x80;
                      t.Word(56, 4990);
                    },
                    L::LabelTps, "TP = error = 4990 mV", Colour::Red},
        MonitorCase{"TpsPlain",
                    [](MonitorDecodeTest& t) {
                      t.frame[9] = 42;
                      t.frame[28] = 7;
                    },
                    L::LabelTps, "TP = 42 %", Colour::Normal},
        MonitorCase{"TpsExt",
                    Ext([](MonitorDecodeTest& t) {
                      t.frame[9] = 42;
                      t.frame[28] = 7;
                      t.Word(56, 2210);
                    }),
                    L::LabelTps, "TP = 42.7 %=2210 mV", Colour::Normal},
        MonitorCase{"Pin14Low", WordAt(46, 2000), L::LabelMonPinEngine14In,
                    "Pin engine 14 = 2000 mV", Colour::Aqua},
        MonitorCase{"Pin14High", WordAt(46, 2001), L::LabelMonPinEngine14In,
                    "Pin engine 14 = 2001 mV", Colour::Normal},
        MonitorCase{"ShiftLightOn", Byte(27, 2), L::LabelMonPilotLight, "Gear Shift Light - YES",
                    Colour::Fuchsia},
        MonitorCase{"ShiftLightBlink", Byte(27, 1), L::LabelMonPilotLight,
                    "Gear Shift Light - Twinkle", Colour::Fuchsia},
        MonitorCase{"ShiftLightOff", Byte(27, 0), L::LabelMonPilotLight, "Gear Shift Light - NO",
                    Colour::Normal},
        MonitorCase{"TuneOk", Byte(29, 13), L::LabelLadeniMsg, "T: OK", Colour::Lime},
        MonitorCase{"TuneAdding", Byte(29, 11), L::LabelLadeniMsg, "T: Adding", Colour::Aqua},
        MonitorCase{"TuneDecrease", Byte(29, 12), L::LabelLadeniMsg, "T: Decrease", Colour::Yellow},
        MonitorCase{"TuneRpmZero", Byte(29, 0), L::LabelLadeniMsg, "T: rpm=0", Colour::Fuchsia},
        MonitorCase{"TuneUnknown", Byte(29, 15), L::LabelLadeniMsg, nullptr, Colour::Fuchsia},
        MonitorCase{"VersionMismatch", Byte(150, 77), L::LabelVersion,
                    "Unmatched version of PC and Ignition programs!  PC-78, IGN-77", Colour::Red},
        MonitorCase{"VersionOk", Byte(150, 78), L::LabelVersion, "", Colour::Normal}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(MonitorDecodeTest, TextFormatsOfTheValues) {
  frame[10] = 12;
  frame[11] = 15;
  frame[14] = 20;
  frame[15] = 31;
  frame[25] = 3;
  Word(44, 2800);
  Word(48, 6500);
  Word(76, 17);
  Word(78, 5);
  Word(84, 9);
  Word(94, 123);
  Word(96, 72);
  Word(100, 125);
  Word(102, 1000);
  Word(104, 5);
  Word(106, 250);
  Word(108, 980);
  Word(110, 1050);
  Word(116, 88);
  Word(120, 745);
  Word(122, 1234);
  Word(134, 985);
  Word(136, 33);
  Word(148, 1200);
  frame[30] = 147;
  ASSERT_TRUE(Decode());
  const std::pair<MonLabel, const char*> expected[] = {
      {L::LabelMon_Ign1, "Advance 1= 12 °"},
      {L::LabelMon_Ign2, "Advance 2= 15 °"},
      {L::LabelMon_Ign, "Advance = 13 °"},
      {L::LabelMon_Jet_1A, "Injection time 1 = 2000 us"},
      {L::LabelMon_Jet_2A, "Injection time 2 = 3100 us"},
      {L::LabelMon_Jet_A, "Injection time = 2550 us"},
      {L::LabelMaxInjProcent, "Max injection = 0 [%]"},  // speed of the previous frame: 0
      {L::LabelGear, "Gear = 3 "},
      {L::LabelMonFuelMv, "Fuel = 2800 mV"},
      {L::LabelRpm, "RPM = 6500 "},
      {L::LabelLambda, "LAMBDA = 14.7 [A/F]"},
      {L::LabelPocetProgramovani, "Number of Programing = 17"},
      {L::LabelTest1, "Test1= 5"},
      {L::LabelTest3, "Test3= 0 "},
      {L::LabelTest4, "Test4=9"},
      {L::LabelMon_PolohaA, "Position = 72 °"},
      {L::LabelKorVodaJet, "TW correction = 12.5 %"},
      {L::LabelKorVzduch, "AT correction = 100.0 %"},
      {L::LabelKorTlak, "AP correction =  0.5 %"},
      {L::LabelKorSytic, "Starting corr. = 25.0 %"},
      {L::LabelKorNapeti, "U correction = -20 us"},
      {L::LabelKorVodaIgn, "TW correction =  5.0 °"},
      {L::LabelMonSpeed, "Speed = 88 [km/h]"},
      {L::LabelMonPomerRpmSpeed, "Rpm/Speed = 74.5 "},
      {L::LabelMonPomerRpmSpeedAuto1, "123.4 "},
      {L::LabelMonPomerRpmSpeedAuto2, " 0.0 "},
      {L::LabelIdleKorAdv, "Idle correction = -1.5 °"},
      {L::LabelKorAccJet, "Acc. corr =  3.3 %"},
  };
  for (auto [label, text] : expected) EXPECT_EQ(Text(label), text) << MonLabelName(label);
  EXPECT_TRUE(view[L::LabelMon_Ign2].SetVisible && view[L::LabelMon_Ign2].Visible);
  EXPECT_EQ(live.Rpm, 6500);
  EXPECT_EQ(live.StartTime, 123);
  EXPECT_EQ(live.RpmSpeedRatio, 745);
  EXPECT_EQ(live.AfrX10, 147);
  EXPECT_EQ(saving, 1200);
  EXPECT_EQ(view[MonGauge::CGaugeFuel].Position, 50);

  // The duty figure uses the engine speed of the previous frame: 31 × 6500 / 12000.
  ASSERT_TRUE(Decode());
  EXPECT_EQ(Text(L::LabelMaxInjProcent), "Max injection = 16 [%]");
  EXPECT_EQ(view[MonGauge::CGaugeDuty].BarColour, Colour::Blue);
}

TEST_F(MonitorDecodeTest, DutyBarAndBaseAdvance) {
  frame[14] = 20;
  frame[15] = 30;
  live.Rpm = 6000;
  Word(48, 6000);
  frame[3] = 0x08;
  ASSERT_TRUE(Decode());
  EXPECT_EQ(view[MonGauge::CGaugeDuty].Position, 15);
  EXPECT_EQ(view[MonGauge::CGaugeDuty].BarColour, Colour::Blue);
  EXPECT_EQ(Text(L::LabelMon_Ign1), "Advance 1= BASE");
  EXPECT_EQ(Text(L::LabelMon_Ign), "Advance = BASE");
  EXPECT_TRUE(live.BaseAdvance);

  frame[15] = 250;
  ASSERT_TRUE(Decode());  // 250 × 6000 / 12000 = 125
  EXPECT_EQ(Text(L::LabelMaxInjProcent), "Max injection = 125 [%]");
  EXPECT_EQ(view[MonGauge::CGaugeDuty].Position, kMonGaugeMax);
  EXPECT_EQ(view[MonGauge::CGaugeDuty].BarColour, Colour::Yellow);
}

TEST_F(MonitorDecodeTest, LiveValuesAndFaultReplacements) {
  frame[2] = 0x28;
  frame[3] = 0x80;
  frame[4] = 0x81;
  frame[9] = 33;
  frame[23] = 0;
  frame[24] = 40;
  Word(52, 998);
  Word(56, 612);
  Word(58, 450);
  ASSERT_TRUE(Decode());
  EXPECT_TRUE(live.IgnLimiterActive);
  EXPECT_FALSE(live.JetLimiterActive);
  EXPECT_TRUE(live.RetardLimiterActive);
  EXPECT_TRUE(live.TpsFault);
  EXPECT_TRUE(live.PressureFault);
  EXPECT_TRUE(live.TestsLocked);
  EXPECT_EQ(live.TpsPercent, 33);
  EXPECT_EQ(live.CoolantRaw, 180);  // a coolant fault reads as 80 °C
  EXPECT_EQ(live.AirRaw, 40);
  EXPECT_EQ(live.PressureX10, 998);
  EXPECT_EQ(live.TpsMillivolts, 612);
  EXPECT_EQ(live.LambdaMillivolts, 450);
  EXPECT_EQ(view[MonGauge::CGaugeVoda].Position, 80);
  EXPECT_EQ(view[MonGauge::CGaugeVoda].BarColour, Colour::Red);
  EXPECT_EQ(view[MonGauge::CGaugeTps].Position, 0);
  EXPECT_EQ(view[MonEdit::EditIgnLimiter].BackColour, Colour::Fuchsia);
  EXPECT_EQ(view[MonEdit::EditJetLimiter].BackColour, Colour::Window);
}

TEST_F(MonitorDecodeTest, VisibilityFollowsTheCheckBoxAndFlags) {
  inputs.GasEnabled = false;
  frame[3] = 0x40;
  ASSERT_TRUE(Decode());
  EXPECT_FALSE(view[L::LabelN2oOn].Visible);
  EXPECT_TRUE(view[L::LabelEeDataErr].SetVisible && view[L::LabelEeDataErr].Visible);
  EXPECT_FALSE(view[L::LabelEeDataErr].SetText);  // its text is the control's own
  inputs.GasEnabled = true;
  frame[3] = 0;
  ASSERT_TRUE(Decode());
  EXPECT_TRUE(view[L::LabelN2oOn].Visible);
  EXPECT_FALSE(view[L::LabelEeDataErr].Visible);
}

TEST_F(MonitorDecodeTest, GaugesStayInRange) {
  inputs.IgnLimiterHundreds = 100;  // 10000 rpm
  Word(48, 7500);
  Word(44, 1000);  // below 1600 mV
  frame[23] = 50;  // -50 °C
  ASSERT_TRUE(Decode());
  EXPECT_EQ(view[MonGauge::CGaugeRpm].Position, 75);
  EXPECT_EQ(view[MonGauge::CGaugeFuel].Position, 0);
  EXPECT_EQ(view[MonGauge::CGaugeVoda].Position, 0);
  inputs.IgnLimiterHundreds = 0;
  ASSERT_TRUE(Decode());
  EXPECT_FALSE(view[MonGauge::CGaugeRpm].SetPosition);  // no limiter: gauge untouched
}

TEST(MonitorLambdaBarTest, Positions) {
  const int cases[][4] = {
      // afr, lo, hi, position
      {100, 110, 170, 0},   {110, 110, 170, 0},  {140, 110, 170, 50}, {170, 110, 170, 100},
      {171, 110, 170, 100}, {130, 130, 130, 100}, {129, 130, 130, 0},  {131, 130, 130, 100},
      {150, 170, 110, 0},   {180, 170, 110, 100}};
  for (const auto& c : cases)
    EXPECT_EQ(LambdaBarPosition(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

TEST_F(MonitorDecodeTest, StemsFollowTheLanguage) {
  MonitorStems german = MonitorStems::For(LanguageCode::German);
  inputs.Stems = &german;
  frame[10] = 10;
  frame[11] = 10;
  frame[2] = 0x08;
  ASSERT_TRUE(Decode());
  EXPECT_EQ(Text(L::LabelMon_Ign), "Vorzündung = 10 °");
  EXPECT_EQ(Text(L::LabelMonIgnLimiter), "Begrenzer - Zündung - JA");
}

}  // namespace
}  // namespace velmor

#include "files/ign_sections.h"

#include <array>

namespace velmor {
namespace {

constexpr IgnItem B(int offset, int count = 1, int scale = 1, int add = 0) {
  return {.Kind = IgnItemKind::Bytes,
          .Offset = static_cast<std::int16_t>(offset),
          .Count = static_cast<std::uint8_t>(count),
          .Scale = static_cast<std::uint8_t>(scale),
          .Add = static_cast<std::int16_t>(add)};
}
// Signed quantities stored as value + 100 are written as themselves.
constexpr IgnItem Signed(int offset, int count) {
  IgnItem item = B(offset, count, 1, -100);
  item.Signed = true;
  return item;
}
constexpr IgnItem W(int offset, int count = 1) {
  return {.Kind = IgnItemKind::Words,
          .Offset = static_cast<std::int16_t>(offset),
          .Count = static_cast<std::uint8_t>(count)};
}
// A 10 x 15 map: a continuation line after every row, the last one included.
constexpr IgnItem MapRows(IgnItem cells) {
  cells.BreakEvery = 15;
  return cells;
}
constexpr IgnItem Flag(int offset, bool blank = true) {
  return {.Kind = IgnItemKind::Flag, .Offset = static_cast<std::int16_t>(offset), .NoBlank = !blank};
}
constexpr IgnItem Only78(IgnItem item) {
  item.AbsentIn63 = true;
  return item;
}
constexpr IgnItem Scale63(IgnItem item, int scale) {
  item.Scale63 = static_cast<std::uint8_t>(scale);
  return item;
}
constexpr IgnItem Cont{.Kind = IgnItemKind::Continuation};
constexpr IgnItem Br{.Kind = IgnItemKind::LineBreak};

constexpr IgnItem kBike[] = {B(0)};
constexpr IgnItem kExitation[] = {B(4, 1, 100), Cont};
constexpr IgnItem kAps[] = {W(6, 4)};
constexpr IgnItem kWaterTemp[] = {Cont, W(194, 9)};
constexpr IgnItem kAirTemp[] = {Cont, W(212, 9)};
constexpr IgnItem kSensorLambda[] = {B(302), Cont, B(303, 5), Cont, W(308, 5)};
constexpr IgnItem kLambdaTacho[] = {Cont, B(318, 2), Cont, B(320, 2, 100)};
constexpr IgnItem kInputs[] = {B(38, 3), B(25, 3)};
constexpr IgnItem kLimiter[] = {B(28, 4, 100), B(32)};
constexpr IgnItem kTps[] = {B(33, 1, 10), B(34, 1, 10, 2500)};
constexpr IgnItem kFan[] = {B(35), B(41)};
constexpr IgnItem kRpm[] = {B(36), Signed(37, 1)};
constexpr IgnItem kNoFuelInd[] = {B(14), Br};
constexpr IgnItem kAdvanceMisc[] = {B(42), Signed(43, 2), B(45)};
constexpr IgnItem kRpmAdv[] = {B(405, 15, 100)};
constexpr IgnItem kAdvance[] = {MapRows(B(450, 150))};
constexpr IgnItem kJet1Misc[] = {B(47)};
constexpr IgnItem kRpmJet1[] = {B(420, 15, 100)};
constexpr IgnItem kJet1[] = {MapRows(W(600, 150))};
constexpr IgnItem kRpmJet2[] = {B(435, 15, 100)};
constexpr IgnItem kJet2[] = {MapRows(W(900, 150))};
constexpr IgnItem kPosition[] = {B(56), Cont, B(375, 15, 100), Cont, B(390, 15, 5)};
constexpr IgnItem kIdle[] = {B(333), B(334, 1, 100), B(335), Cont,                 //
                             B(336), B(337, 1, 250), B(338), B(339, 1, 10), Cont,  //
                             W(372), Cont,                                         //
                             W(340, 9), Cont,                                      //
                             B(358, 4), Cont,                                      //
                             B(362, 9, 50), Cont, Cont};
constexpr IgnItem kChoke[] = {B(67, 4), Cont, B(71, 4, 1, 100)};
constexpr IgnItem kStartInj[] = {B(92), Cont};
constexpr IgnItem kInjCorr[] = {B(80, 5), Cont, B(85, 5)};
constexpr IgnItem kAccel[] = {B(90, 1, 10), B(91, 1, 50), Br};
constexpr IgnItem kAccCorr[] = {W(280, 2), W(286), W(284)};
constexpr IgnItem kAdvanceCorr[] = {B(93, 5), Cont};
constexpr IgnItem kN2O[] = {Flag(98), Cont,                                                      //
                            B(99, 2), B(102, 1, 100), B(101, 1, 100), Only78(B(158, 2, 1, 100)), Cont,  //
                            B(103, 2), B(106, 1, 100), B(105, 1, 100)};
constexpr IgnItem kSpeedPulses[] = {B(138), W(160), Cont};
constexpr IgnItem kGear[] = {B(136, 2), Cont, Cont, W(162, 6)};
constexpr IgnItem kGearAuto[] = {B(154), B(155, 1, 100), B(156), B(157)};
constexpr IgnItem kGearCorr[] = {Signed(174, 6), Cont, B(180, 6)};
constexpr IgnItem kPilotLight[] = {B(108, 6, 100), Cont, B(114, 6, 100)};
constexpr IgnItem kClutch[] = {B(120), B(133, 1, 100), B(134), B(135), Cont,  //
                               Scale63(B(121, 6, 5), 10), Cont,               //
                               B(127, 6, 10), Br};
constexpr IgnItem kDisplay[] = {Flag(107, false), Br};
constexpr IgnItem kTuning[] = {B(290), B(295, 1, 10), B(296), B(292), B(294),
                               B(297, 1, 10), B(298), B(300), B(301), Br};
constexpr IgnItem kTestOut[] = {B(326, 1, 100), B(327, 1, 10), Br};
constexpr IgnItem kLambdaBar[] = {B(322, 4), Cont};

constexpr IgnSection S(std::string_view keyword, int group, std::span<const IgnItem> items,
                       int width = 13, bool skipIn63 = false) {
  return {.Keyword = keyword,
          .FieldWidth = static_cast<std::uint8_t>(width),
          .PageGroup = static_cast<std::int8_t>(group),
          .SkipIn63 = skipIn63,
          .Items = items};
}

constexpr std::array kSections{
    S("BIKE", kIgnWholeFileOnly, kBike),
    S("EXITATION", 0, kExitation),
    S("APS", 6, kAps),
    S("WATER_TEMP_SENSOR", 6, kWaterTemp, 19, true),
    S("AIR_TEMP_SENSOR", 6, kAirTemp, 19, true),
    S("SENSOR_LAMBDA", 6, kSensorLambda, 19),
    S("LAMBDA_TACHO", 0, kLambdaTacho, 19),
    S("INPUTS", 0, kInputs),
    S("LIMITER", 0, kLimiter),
    S("TPS", 6, kTps),
    S("FAN", 0, kFan),
    S("RPM", 0, kRpm),
    S("NO_FUEL_IND", 0, kNoFuelInd, 19),
    S("ADVANCE_MISC", 1, kAdvanceMisc),
    S("RPM_ADV", 1, kRpmAdv),
    S("ADVANCE", 1, kAdvance),
    S("JET1_MISC", 2, kJet1Misc),
    S("RPM_JET_1A", 2, kRpmJet1),
    S("JET_1A", 2, kJet1),
    S("RPM_JET_2A", 3, kRpmJet2),
    S("JET_2A", 3, kJet2),
    S("POSITION_A", 4, kPosition),
    S("IDLE", 7, kIdle, 13, true),
    S("CHOKE", 5, kChoke),
    S("START_INJ", 5, kStartInj),
    S("INJ_CORR", 5, kInjCorr),
    S("ACCEL", 5, kAccel),
    S("ACC_CORR", 5, kAccCorr),
    S("ADVANCE_CORR", 5, kAdvanceCorr),
    S("N2O", 8, kN2O),
    S("SPEED_PULSES", 9, kSpeedPulses),
    S("GEAR", 9, kGear),
    S("GEAR_AUTO", 9, kGearAuto),
    S("GEAR_CORR", 9, kGearCorr),
    S("PILOT_LIGHT", 10, kPilotLight),
    S("CLUTCH", 10, kClutch),
    S("DISPLAY", 10, kDisplay),
    S("TUNING", 11, kTuning, 13, true),
    S("TEST_OUT", 11, kTestOut),
    S("LAMBDA_BAR", 12, kLambdaBar),
};
static_assert(kSections.size() == 40);

}  // namespace

std::span<const IgnSection> IgnSections() { return kSections; }

}  // namespace velmor

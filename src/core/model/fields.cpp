#include "model/fields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace velmor {
namespace {

using std::string_view_literals::operator""sv;

// ---------------------------------------------------------------------------
// Item texts of the choice fields (English, as the window shows them).

constexpr std::array kBikeItems{"Velmor 749"sv,  "Velmor 999"sv,           "Velmor M620"sv,
                                "Velmor M620 & Lambda"sv, "Velmor M695"sv, "Velmor M1000"sv,
                                "Velmor M1000 & Lambda"sv, "Velmor SBK1098"sv};
constexpr std::array kPinEngine23Items{"Neutral"sv, "Oil"sv};
constexpr std::array kPinEngine14Items{"ATS"sv, "Neutral"sv};
constexpr std::array kPinBody11Items{"Fan 1"sv, "Lambda Heat"sv};
constexpr std::array kMapModeItems{"Separate"sv, "Coupled"sv, " 1 = 2"sv};
constexpr std::array kInjectionPositionItems{"Beginning"sv, "Centre"sv, "End"sv};
constexpr std::array kLambdaModeItems{"Standard"sv, "Uego"sv};
constexpr std::array kIdleModeItems{"No"sv, "Step motor without potentiometer"sv};
constexpr std::array kGearSystemItems{"Ration Rpm Speed"sv, "Automat (Ratio Rpm Speed)"sv, "No"sv};
constexpr std::array kSpeedModeItems{"Pulse over 1s for 100 km/h"sv, "Distance for pulse [mm]"sv};
constexpr std::array kClutchModeItems{"No ignition"sv, "Retard"sv};
constexpr std::array kTuningModeItems{"Points"sv, "All"sv};

// ---------------------------------------------------------------------------
// The declared controls, page by page in the order the page transfer reads
// them. A row with `Expand` set stands for a whole run-time grid at that
// place in the order.

struct Row {
  int Page = 0;
  int Offset = 0;
  FieldWidth Width = FieldWidth::Byte;
  Encoding Enc = Encoding::Value;
  int Scale = 1;
  ControlKind Kind = ControlKind::FieldPair;
  FieldFlow Flow = FieldFlow::TransferAndRefresh;
  std::string_view Name;  // field pairs: the part after "Edit" / "UpDown"
  int Min = 0, Max = 0, Step = 1;
  std::string_view Text, Unit, Section;
  std::span<const std::string_view> Items;
  FieldGrid Expand = FieldGrid::None;
};

constexpr Row Pair(int page, int offset, std::string_view name, int min, int max,
                   std::string_view text, std::string_view unit, std::string_view section) {
  Row r;
  r.Page = page, r.Offset = offset, r.Name = name, r.Min = min, r.Max = max;
  r.Text = text, r.Unit = unit, r.Section = section;
  return r;
}
constexpr Row Scaled(int page, int offset, int scale, std::string_view name, int min, int max,
                     int step, std::string_view text, std::string_view unit,
                     std::string_view section) {
  Row r = Pair(page, offset, name, min, max, text, unit, section);
  r.Enc = Encoding::Scaled, r.Scale = scale, r.Step = step;
  return r;
}
constexpr Row Coded(Encoding enc, int page, int offset, std::string_view name, int min, int max,
                    std::string_view text, std::string_view unit, std::string_view section) {
  Row r = Pair(page, offset, name, min, max, text, unit, section);
  r.Enc = enc;
  return r;
}
constexpr Row WordPair(int page, int offset, std::string_view name, int min, int max, int step,
                       std::string_view text, std::string_view unit, std::string_view section) {
  Row r = Pair(page, offset, name, min, max, text, unit, section);
  r.Width = FieldWidth::Word, r.Step = step;
  return r;
}
constexpr Row Check(int page, int offset, std::string_view name, std::string_view text,
                    std::string_view section) {
  Row r;
  r.Page = page, r.Offset = offset, r.Enc = Encoding::OnOff, r.Kind = ControlKind::CheckBox;
  r.Name = name, r.Min = 0, r.Max = 1, r.Text = text, r.Section = section;
  return r;
}
constexpr Row Choice(ControlKind kind, int page, int offset, std::string_view name,
                     std::span<const std::string_view> items, std::string_view text,
                     std::string_view section, FieldFlow flow = FieldFlow::TransferAndRefresh) {
  Row r;
  r.Page = page, r.Offset = offset, r.Enc = Encoding::Choice, r.Kind = kind, r.Flow = flow;
  r.Name = name, r.Min = 0, r.Max = static_cast<int>(items.size()) - 1, r.Items = items;
  r.Text = text, r.Section = section;
  return r;
}
constexpr Row Radio(int page, int offset, std::string_view name,
                    std::span<const std::string_view> items, std::string_view text,
                    std::string_view section, FieldFlow flow = FieldFlow::TransferAndRefresh) {
  return Choice(ControlKind::RadioGroup, page, offset, name, items, text, section, flow);
}
constexpr Row GridAt(int page, FieldGrid grid) {
  Row r;
  r.Page = page, r.Expand = grid;
  return r;
}

constexpr auto E_Plus = Encoding::Plus100;
constexpr auto E_Minus = Encoding::Minus100;

const Row kRows[] = {
    // 0 Bike
    Choice(ControlKind::ComboBox, PageBike, 0, "ComboBoxBike", kBikeItems, "Motorbike type", "BIKE"),
    [] {
      Row r;
      r.Page = PageBike, r.Offset = kMemoStart, r.Width = FieldWidth::Text;
      r.Enc = Encoding::Text, r.Kind = ControlKind::Memo, r.Name = "Memo1";
      r.Min = 0, r.Max = kMemoSize - 1, r.Text = "Memo sheet", r.Section = "MEMO";
      return r;
    }(),
    Check(PageBike, 14, "CheckBoxNoFuelInd", "No fuel indication", "NO_FUEL_IND"),
    Check(PageBike, 25, "CheckBoxAktClutch", "Clutch master input active when closed", "INPUTS"),
    Check(PageBike, 26, "CheckBoxAktStartLimiter", "Start limiter input active when closed",
          "INPUTS"),
    Check(PageBike, 27, "CheckBoxAktRpm", "Tacho/lambda input active when closed", "INPUTS"),
    Scaled(PageBike, 28, 100, "StartLimiter", 900, 25000, 100, "Start limiter", "rpm", "LIMITER"),
    Scaled(PageBike, 29, 100, "IgnLimiter", 900, 25000, 100, "Ignition limiter", "rpm", "LIMITER"),
    Scaled(PageBike, 30, 100, "JetLimiter", 900, 25000, 100, "Injection limiter", "rpm", "LIMITER"),
    Scaled(PageBike, 31, 100, "RetardLimiterRpm", 900, 25000, 100, "Retard limiter", "rpm",
           "LIMITER"),
    Pair(PageBike, 32, "RetardLimiterAdv", 1, 250, "Retard limiter rate", "°/100 rpm", "LIMITER"),
    Pair(PageBike, 35, "Fan1", 0, 150, "Fan 1 switch-on temperature", "°C", "FAN"),
    Pair(PageBike, 41, "Fan2", 0, 150, "Fan 2 switch-on temperature", "°C", "FAN"),
    Pair(PageBike, 36, "RpmPulsu", 0, 6, "Tachometer pulses per revolution", "", "RPM"),
    Coded(E_Plus, PageBike, 37, "RpmKorekce", -60, 60, "Tachometer correction", "", "RPM"),
    Radio(PageBike, 38, "RadioGroupPinEngine23", kPinEngine23Items, "Function of pin Engine 23",
          "INPUTS"),
    Radio(PageBike, 39, "RadioGroupPinEngine14", kPinEngine14Items, "Function of pin Engine 14",
          "INPUTS"),
    Radio(PageBike, 40, "RadioGroupPinBody11", kPinBody11Items, "Function of pin Body 11",
          "INPUTS"),
    GridAt(PageBike, FieldGrid::LambdaTacho),
    Scaled(PageBike, 4, 100, "Buzeni", 100, 10000, 100, "Excitation time", "µs", "EXITATION"),

    // 1 Advance
    GridAt(PageAdvance, FieldGrid::RpmAxis),
    GridAt(PageAdvance, FieldGrid::MapCells),
    Check(PageAdvance, 42, "CheckBoxTps_Uni", "Advance depends on TPS", "ADVANCE_MISC"),
    GridAt(PageAdvance, FieldGrid::MapExtra),

    // 2 Inj-1A; the map mode belongs to both injection pages, its menu items write it
    Choice(ControlKind::MenuGroup, PageInj1, 47, "Menu_Jet123Mode", kMapModeItems,
           "Injection map mode", "JET1_MISC", FieldFlow::OwnHandler),
    GridAt(PageInj1, FieldGrid::RpmAxis),
    GridAt(PageInj1, FieldGrid::MapCells),

    // 3 Inj-2A
    GridAt(PageInj2, FieldGrid::RpmAxis),
    GridAt(PageInj2, FieldGrid::MapCells),

    // 4 Position
    GridAt(PagePosition, FieldGrid::InjectionPosition),
    Radio(PagePosition, 56, "RadioGroupPolohaA", kInjectionPositionItems, "Injection position refers to",
          "POSITION_A"),

    // 5 Corrections
    GridAt(PageCorrections, FieldGrid::InjectionByTemperature),
    GridAt(PageCorrections, FieldGrid::AdvanceByCoolant),
    Pair(PageCorrections, 67, "SyticCas1", 0, 250, "After-start correction time t1", "s", "CHOKE"),
    Pair(PageCorrections, 68, "SyticCas2", 0, 250, "After-start correction time t2", "s", "CHOKE"),
    Pair(PageCorrections, 69, "SyticCas3", 0, 250, "After-start correction time t3", "s", "CHOKE"),
    Pair(PageCorrections, 70, "SyticCas4", 0, 250, "After-start correction time t4", "s", "CHOKE"),
    Coded(E_Minus, PageCorrections, 71, "SyticKorekce0", 100, 350, "After-start correction at 0 s",
          "%", "CHOKE"),
    Coded(E_Minus, PageCorrections, 72, "SyticKorekce1", 100, 350, "After-start correction at t1",
          "%", "CHOKE"),
    Coded(E_Minus, PageCorrections, 73, "SyticKorekce2", 100, 350, "After-start correction at t2",
          "%", "CHOKE"),
    Coded(E_Minus, PageCorrections, 74, "SyticKorekce3", 100, 350, "After-start correction at t3",
          "%", "CHOKE"),
    Scaled(PageCorrections, 90, 10, "AkcelPrah", 10, 2500, 10, "Acceleration injection threshold",
           "%/s", "ACCEL"),
    Scaled(PageCorrections, 91, 50, "AkcelJet", 0, 7500, 50, "Acceleration injection size", "µs",
           "ACCEL"),
    Pair(PageCorrections, 92, "StartJet", 0, 50, "Start injection", "ms", "START_INJ"),
    WordPair(PageCorrections, 280, "AccKPlus", 0, 30000, 1, "Acceleration sensitivity +",
             "%/100%", "ACC_CORR"),
    WordPair(PageCorrections, 282, "AccKMinus", 0, 30000, 1, "Acceleration sensitivity -",
             "%/100%", "ACC_CORR"),
    WordPair(PageCorrections, 284, "AccT100", 10, 30000, 10,
             "Acceleration time constant at TPS 100 %", "10 ms", "ACC_CORR"),
    WordPair(PageCorrections, 286, "AccT0", 10, 30000, 10, "Acceleration time constant at TPS 0 %",
             "10 ms", "ACC_CORR"),

    // 6 Sensors
    Scaled(PageSensors, 33, 10, "Tps0", 0, 2500, 10, "Throttle sensor voltage at 0 %", "mV", "TPS"),
    [] {
      Row r = Pair(PageSensors, 34, "Tps100", 2500, 5000, "Throttle sensor voltage at 100 %", "mV",
                   "TPS");
      r.Enc = Encoding::Tps100, r.Scale = 10, r.Step = 10;
      return r;
    }(),
    WordPair(PageSensors, 6, "ApsTlak1", 0, 1000, 1, "Pressure sensor point 1 pressure", "kPa",
             "APS"),
    WordPair(PageSensors, 8, "ApsNapeti1", 0, 25000, 1, "Pressure sensor point 1 voltage", "mV",
             "APS"),
    WordPair(PageSensors, 10, "ApsTlak2", 0, 1000, 1, "Pressure sensor point 2 pressure", "kPa",
             "APS"),
    WordPair(PageSensors, 12, "ApsNapeti2", 0, 25000, 1, "Pressure sensor point 2 voltage", "mV",
             "APS"),
    GridAt(PageSensors, FieldGrid::TemperatureSensors),
    Radio(PageSensors, 302, "RadioGroupCidloLambdaMode", kLambdaModeItems, "Lambda sensor type",
          "SENSOR_LAMBDA"),
    GridAt(PageSensors, FieldGrid::LambdaSensor),

    // 7 Idle
    Radio(PageIdle, 333, "RadioGroupIdleMode", kIdleModeItems, "Idle control", "IDLE"),
    Scaled(PageIdle, 334, 100, "IdleRpmMez", 300, 20000, 100, "Idle control range", "rpm", "IDLE"),
    Pair(PageIdle, 335, "IdleTpsMez", 1, 100, "Idle control range TPS", "0.1 %", "IDLE"),
    Check(PageIdle, 336, "CheckBoxIdleSmerReg", "Inverse direction of idle control", "IDLE"),
    Scaled(PageIdle, 337, 250, "IdleStepPuls", 250, 25000, 250, "Step motor excitation", "µs",
           "IDLE"),
    Pair(PageIdle, 338, "IdleStepPerioda", 1, 250, "Step motor period", "ms", "IDLE"),
    Scaled(PageIdle, 339, 10, "IdleHyster", 0, 2500, 10, "Idle hysteresis", "rpm", "IDLE"),
    WordPair(PageIdle, 372, "IdleStart", 0, 30000, 10, "Idle start time", "ms", "IDLE"),
    GridAt(PageIdle, FieldGrid::IdleServoRpm),
    GridAt(PageIdle, FieldGrid::IdleAdvanceRpm),
    Check(PageIdle, 358, "CheckBoxIdleAdvOn", "Idle advance control", "IDLE"),
    Pair(PageIdle, 359, "IdleAdvNaRpm", 1, 100, "Idle advance control by rpm", "°/1000 rpm", "IDLE"),
    Pair(PageIdle, 360, "IdleAdvNaCas", 0, 250, "Idle advance control by time", "°/10 s", "IDLE"),
    Pair(PageIdle, 361, "IdleMaxAdv", 1, 100, "Maximum idle advance", "°", "IDLE"),

    // 8 N2O
    Check(PageN2O, 98, "CheckBoxGas", "N2O enabled", "N2O"),
    Pair(PageN2O, 99, "Gas1", 0, 100, "N2O initial", "%", "N2O"),
    Pair(PageN2O, 100, "Gas2", 0, 100, "N2O final", "%", "N2O"),
    Scaled(PageN2O, 102, 100, "GasD", 0, 25500, 100, "N2O delay", "ms", "N2O"),
    Scaled(PageN2O, 101, 100, "GasT", 0, 25500, 100, "N2O build up time", "ms", "N2O"),
    Pair(PageN2O, 103, "Retard1", 0, 25, "N2O retard initial", "°", "N2O"),
    Pair(PageN2O, 104, "Retard2", 0, 25, "N2O retard final", "°", "N2O"),
    Scaled(PageN2O, 106, 100, "RetardD", 0, 25500, 100, "N2O retard delay", "ms", "N2O"),
    Scaled(PageN2O, 105, 100, "RetardT", 0, 25500, 100, "N2O retard build up time", "ms", "N2O"),
    Coded(E_Minus, PageN2O, 158, "GasJetKor1", 100, 350, "Injection 1 correction with N2O", "%",
          "N2O"),
    Coded(E_Minus, PageN2O, 159, "GasJetKor2", 100, 350, "Injection 2 correction with N2O", "%",
          "N2O"),

    // 9 Gear
    Radio(PageGear, 136, "RadioGroupGearSystem", kGearSystemItems, "Gear determination", "GEAR"),
    Pair(PageGear, 137, "PocetGear", 1, 6, "Number of gears", "", "GEAR"),
    GridAt(PageGear, FieldGrid::RpmSpeedPerGear),
    GridAt(PageGear, FieldGrid::GearCorrection),
    Pair(PageGear, 154, "GearAutoTime", 1, 100, "Gear learning minimum time", "s", "GEAR_AUTO"),
    Scaled(PageGear, 155, 100, "GearAutoRpm", 300, 25000, 100, "Gear learning minimum rpm", "rpm",
           "GEAR_AUTO"),
    Pair(PageGear, 156, "GearAutoTps", 0, 100, "Gear learning minimum TPS", "%", "GEAR_AUTO"),
    Pair(PageGear, 157, "GearAutoBand", 1, 100, "Gear learning band", "0.1 %", "GEAR_AUTO"),
    Radio(PageGear, 138, "RadioGroupSpeedMode", kSpeedModeItems, "Speed sensor setting",
          "SPEED_PULSES"),
    WordPair(PageGear, 160, "PulsuProSpeed", 1, 32000, 1, "Speed sensor pulses", "",
             "SPEED_PULSES"),

    // 10 Race
    GridAt(PageRace, FieldGrid::Clutch),
    Radio(PageRace, 120, "RadioGroupClutchMode", kClutchModeItems, "Clutch mode", "CLUTCH"),
    Scaled(PageRace, 133, 100, "ClutchMinRpm", 1000, 25000, 100, "Minimum clutch rpm", "rpm",
           "CLUTCH"),
    Pair(PageRace, 134, "ClutchJet", 0, 100, "Clutch injection", "%", "CLUTCH"),
    Pair(PageRace, 135, "ClutchAdv", 0, 60, "Clutch advance", "°", "CLUTCH"),
    Check(PageRace, 107, "CheckBoxTempDisplay", "Bike display shows temperature instead of speed",
          "DISPLAY"),

    // 11 Tuning. Step and maximum acceleration correction are single bytes:
    // their spinners stop at 255 so that no entry can wrap.
    Pair(PageTuning, 292, "LadeniLambda", 100, 200, "Tuning target A/F", "x10", "TUNING"),
    Pair(PageTuning, 294, "LadeniHyster", 0, 50, "Tuning A/F tolerance", "x10", "TUNING"),
    Scaled(PageTuning, 295, 10, "LadeniRpm", 10, 2000, 10, "Tuning rpm tolerance", "rpm", "TUNING"),
    Pair(PageTuning, 296, "LadeniTps", 1, 20, "Tuning TPS and pressure tolerance", "", "TUNING"),
    Scaled(PageTuning, 297, 10, "LadeniCas", 10, 2500, 10, "Tuning step time", "ms", "TUNING"),
    Pair(PageTuning, 298, "LadeniKrok", 1, 255, "Tuning step", "%", "TUNING"),
    Pair(PageTuning, 300, "LadeniKanal", 1, 2, "Tuning channel", "", "TUNING"),
    Pair(PageTuning, 301, "LadeniMaxAcc", 0, 255, "Tuning maximum acceleration correction", "%",
         "TUNING"),
    Scaled(PageTuning, 326, 100, "TestRpm", 200, 25000, 100, "Output test rpm", "rpm", "TEST_OUT"),
    Scaled(PageTuning, 327, 10, "TestServo", 10, 2500, 10, "Output test servo time", "ms",
           "TEST_OUT"),
    Radio(PageTuning, 290, "RadioGroupLadeniMode", kTuningModeItems, "Tuning mode", "TUNING",
          FieldFlow::RefreshOnly),

    // 12 Monitor
    Pair(PageMonitor, 322, "LambdaBar0", 100, 200, "Lambda bar beginning", "x10", "LAMBDA_BAR"),
    Pair(PageMonitor, 323, "LambdaBar1", 100, 200, "Lambda bar first third", "x10", "LAMBDA_BAR"),
    Pair(PageMonitor, 324, "LambdaBar2", 100, 200, "Lambda bar second third", "x10", "LAMBDA_BAR"),
    Pair(PageMonitor, 325, "LambdaBar3", 100, 200, "Lambda bar end", "x10", "LAMBDA_BAR"),
};

// ---------------------------------------------------------------------------
// The table grids built at start-up.

enum class RowAxis : std::uint8_t {
  Temp9,   // -10 + 15 i °C
  Temp5,   // -10 + 30 i °C
  Gear,    // gear i + 1
  Point,   // point i + 1
  Column,  // RPM column i
};

struct GridColumn {
  std::string_view Stem;
  int Offset = 0;
  FieldWidth Width = FieldWidth::Byte;
  Encoding Enc = Encoding::Value;
  int Scale = 1;
  int Min = 0, Max = 0, Step = 1;
  RangeRule Range = RangeRule::Fixed;
  std::string_view Text, Unit, Section;
};

struct GridDef {
  int Page = 0;
  FieldGrid Grid = FieldGrid::None;
  std::string_view Parent;
  int Count = 0;               // rows (columns of the position grid)
  RowAxis Axis = RowAxis::Point;
  bool PairsAreRows = false;   // the position grid: each "pair" is a whole row
  std::array<GridColumn, 4> Cols{};
  int ColCount = 0;
};

constexpr GridColumn Col(std::string_view stem, int offset, int min, int max,
                         std::string_view text, std::string_view unit, std::string_view section) {
  GridColumn c;
  c.Stem = stem, c.Offset = offset, c.Min = min, c.Max = max;
  c.Text = text, c.Unit = unit, c.Section = section;
  return c;
}
constexpr GridColumn With(GridColumn c, Encoding enc, int scale = 1, int step = 1) {
  c.Enc = enc, c.Scale = scale, c.Step = step;
  return c;
}
constexpr GridColumn Words(GridColumn c, int step = 1) {
  c.Width = FieldWidth::Word, c.Step = step;
  return c;
}

const GridDef kGrids[] = {
    {PageBike, FieldGrid::LambdaTacho, "GroupBoxLambdaTacho", 2, RowAxis::Point, false,
     {Col("LambdaTachoAf", 318, 100, 200, "Lambda on tacho A/F", "x10", "LAMBDA_TACHO"),
      With(Col("LambdaTachoRpm", 320, 0, 25000, "Lambda on tacho rpm", "rpm", "LAMBDA_TACHO"),
           Encoding::Scaled, 100, 100)},
     2},
    {PagePosition, FieldGrid::InjectionPosition, "GroupBoxPolohaA", 15, RowAxis::Column, true,
     {With(Col("PolohaARpm", 375, 300, 25000, "Injection position RPM axis", "rpm", "POSITION_A"),
           Encoding::Scaled, 100, 100),
      With(Col("PolohaAPoz", 390, 0, 720, "Injection position", "°", "POSITION_A"),
           Encoding::Scaled, 5, 5)},
     2},
    {PageCorrections, FieldGrid::InjectionByTemperature, "GroupBoxKorVodaVzduch", 5, RowAxis::Temp5, false,
     {Col("KorVoda", 80, 10, 250, "Injection correction by coolant temperature", "%", "INJ_CORR"),
      Col("KorVzduch", 85, 10, 250, "Injection correction by inlet air temperature", "%",
          "INJ_CORR")},
     2},
    {PageCorrections, FieldGrid::AdvanceByCoolant, "GroupBoxIgnVoda", 5, RowAxis::Temp5, false,
     {With(Col("IgnVoda", 93, -20, 20, "Advance correction by coolant temperature", "°",
               "ADVANCE_CORR"),
           Encoding::Plus100)},
     1},
    {PageSensors, FieldGrid::TemperatureSensors, "GroupBoxCidloTVodaVzduch", 9, RowAxis::Temp9, false,
     {Words(Col("CidloTVoda", 194, 0, 5000, "Coolant sensor voltage", "mV", "WATER_TEMP_SENSOR")),
      Words(Col("CidloTVzduch", 212, 0, 5000, "Inlet air sensor voltage", "mV",
                "AIR_TEMP_SENSOR"))},
     2},
    {PageSensors, FieldGrid::LambdaSensor, "GroupBoxCidloLambda", 5, RowAxis::Point, false,
     {Col("CidloLambdaAf", 303, 100, 200, "Lambda sensor A/F", "x10", "SENSOR_LAMBDA"),
      Words(Col("CidloLambdaNap", 308, 0, 5000, "Lambda sensor voltage", "mV", "SENSOR_LAMBDA"))},
     2},
    {PageIdle, FieldGrid::IdleServoRpm, "GroupBoxIdleServoPoz", 9, RowAxis::Temp9, false,
     {[] {
       GridColumn c = Words(
           Col("IdleServoPoz", 340, 0, 12000, "Idle servo desired rpm", "rpm", "IDLE"), 10);
       c.Range = RangeRule::IdleServo;
       return c;
     }()},
     1},
    {PageIdle, FieldGrid::IdleAdvanceRpm, "GroupBoxIdleAdvPoz", 9, RowAxis::Temp9, false,
     {With(Col("IdleAdvPoz", 362, 0, 12000, "Idle advance desired rpm", "rpm", "IDLE"),
           Encoding::Scaled, 50, 50)},
     1},
    {PageGear, FieldGrid::RpmSpeedPerGear, "GroupBoxRpmSpeedProGear", 6, RowAxis::Gear, false,
     {Words(Col("RpmSpeedProGear", 162, 1, 32000, "Rpm/speed ratio", "x10", "GEAR"))},
     1},
    {PageGear, FieldGrid::GearCorrection, "GroupBoxGearKor", 6, RowAxis::Gear, false,
     {With(Col("GearKorAdv", 174, -20, 20, "Advance correction", "°", "GEAR_CORR"),
           Encoding::Plus100),
      Col("GearKorJet", 180, 0, 250, "Injection correction", "%", "GEAR_CORR")},
     2},
    // The clutch master time is stored in 5 ms units in one byte, so its
    // column stops at 1275 ms instead of running into a wrapped byte.
    {PageRace, FieldGrid::Clutch, "GroupBoxClutch", 6, RowAxis::Gear, false,
     {With(Col("ClutchPilotA", 108, 900, 25000, "Shift light first rpm", "rpm", "PILOT_LIGHT"),
           Encoding::Scaled, 100, 100),
      With(Col("ClutchPilotB", 114, 900, 25000, "Shift light second rpm", "rpm", "PILOT_LIGHT"),
           Encoding::Scaled, 100, 100),
      With(Col("ClutchTime", 121, 0, 1275, "Clutch master time", "ms", "CLUTCH"), Encoding::Scaled,
           5, 10),
      With(Col("ClutchPause", 127, 0, 2500, "Clutch master pause", "ms", "CLUTCH"),
           Encoding::Scaled, 10, 100)},
     4},
};

// The map editor on its three pages.
struct MapPageDef {
  int Page;
  int Axis;
  int Map;
  std::string_view AxisText, AxisSection;
  std::string_view CellText, CellUnit, CellSection;
};

constexpr MapPageDef kMapPages[] = {
    {PageAdvance, kAdvanceAxis, kAdvanceMap, "Advance map RPM axis", "RPM_ADV", "Advance map", "°",
     "ADVANCE"},
    {PageInj1, kInj1Axis, kInj1Map, "Injection map 1 RPM axis", "RPM_JET_1A", "Injection map 1",
     "%", "JET_1A"},
    {PageInj2, kInj2Axis, kInj2Map, "Injection map 2 RPM axis", "RPM_JET_2A", "Injection map 2",
     "%", "JET_2A"},
};

// Injection-map percentages are held in 16 bits; the cell spinners stop at 32000.
constexpr int kPercentMax = kPercentCellMax;

// ---------------------------------------------------------------------------
// Expansion into the flat table.

std::string WithUnit(std::string text, std::string_view unit) {
  if (!unit.empty()) {
    text += " [";
    text += unit;
    text += ']';
  }
  return text;
}

std::string RowText(RowAxis axis, int i) {
  switch (axis) {
    case RowAxis::Temp9: return std::to_string(-10 + 15 * i) + " °C";
    case RowAxis::Temp5: return std::to_string(-10 + 30 * i) + " °C";
    case RowAxis::Gear: return "gear " + std::to_string(i + 1);
    case RowAxis::Point: return "point " + std::to_string(i + 1);
    case RowAxis::Column: return "column " + std::to_string(i);
  }
  return {};
}

std::string PairName(std::string_view prefix, std::string_view stem, int index) {
  std::string name(prefix);
  name += stem;
  if (index >= 0) name += std::to_string(index);
  return name;
}

const MapPageDef* MapPageOf(int page) {
  for (const auto& m : kMapPages)
    if (m.Page == page) return &m;
  return nullptr;
}

void AddRow(const Row& r, std::vector<FieldDef>& out) {
  FieldDef f;
  f.Page = r.Page;
  f.Offset = r.Offset;
  f.Width = r.Width;
  f.Enc = r.Enc;
  f.Scale = r.Scale;
  f.Kind = r.Kind;
  f.Flow = r.Flow;
  if (r.Kind == ControlKind::FieldPair) {
    f.EditName = PairName("Edit", r.Name, -1);
    f.ControlName = PairName("UpDown", r.Name, -1);
  } else {
    f.ControlName = std::string(r.Name);
  }
  f.Min = r.Min, f.Max = r.Max, f.Step = r.Step;
  f.Caption = WithUnit(std::string(r.Text), r.Unit);
  f.Unit = r.Unit;
  f.Section = r.Section;
  f.Items = r.Items;
  out.push_back(std::move(f));
}

FieldDef GridField(const GridDef& g, const GridColumn& c, int pair, int i) {
  FieldDef f;
  f.Page = g.Page;
  f.Offset = c.Offset + (c.Width == FieldWidth::Word ? 2 * i : i);
  f.Width = c.Width;
  f.Enc = c.Enc;
  f.Scale = c.Scale;
  f.EditName = PairName("Edit", c.Stem, i);
  f.ControlName = PairName("UpDown", c.Stem, i);
  f.Min = c.Min, f.Max = c.Max, f.Step = c.Step;
  f.Range = c.Range;
  f.Caption = WithUnit(std::string(c.Text) + ", " + RowText(g.Axis, i), c.Unit);
  f.Unit = c.Unit;
  f.Section = c.Section;
  f.Grid = g.Grid;
  f.Parent = g.Parent;
  f.Row = g.PairsAreRows ? pair : i;
  f.Column = g.PairsAreRows ? i : pair;
  return f;
}

void AddGrid(const GridDef& g, std::vector<FieldDef>& out) {
  if (g.PairsAreRows) {
    for (int p = 0; p < g.ColCount; ++p)
      for (int i = 0; i < g.Count; ++i) out.push_back(GridField(g, g.Cols[p], p, i));
  } else {
    for (int i = 0; i < g.Count; ++i)
      for (int p = 0; p < g.ColCount; ++p) out.push_back(GridField(g, g.Cols[p], p, i));
  }
}

FieldDef MapField(int page, FieldGrid grid, std::string_view stem, int index) {
  FieldDef f;
  f.Page = page;
  f.Grid = grid;
  f.Parent = "MapPanel";
  f.EditName = PairName("Edit", stem, index);
  f.ControlName = PairName("UpDown", stem, index);
  return f;
}

void AddMapAxis(const MapPageDef& m, std::vector<FieldDef>& out) {
  for (int i = 0; i < kMapColumns; ++i) {
    FieldDef f = MapField(m.Page, FieldGrid::RpmAxis, "RpmAxisField", i);
    f.Offset = m.Axis + i;
    f.Enc = Encoding::Scaled;
    f.Scale = 100;
    f.Min = 300, f.Max = 25000, f.Step = 100;
    f.Caption = WithUnit(std::string(m.AxisText) + ", column " + std::to_string(i), "rpm");
    f.Unit = "rpm";
    f.Section = m.AxisSection;
    f.Column = i;
    out.push_back(std::move(f));
  }
}

void AddMapCells(const MapPageDef& m, std::vector<FieldDef>& out) {
  const bool advance = m.Page == PageAdvance;
  for (int k = 0; k < kMapCells; ++k) {
    FieldDef f = MapField(m.Page, FieldGrid::MapCells, "MapCell", k);
    f.Row = k / kMapColumns;
    f.Column = k % kMapColumns;
    f.Cell = k;
    if (advance) {
      f.Offset = m.Map + k;
      f.Min = 0, f.Max = 60;
    } else {
      f.Offset = m.Map + 2 * k;
      f.Width = FieldWidth::Word;
      f.Enc = Encoding::Percent;
      f.Min = 0, f.Max = kPercentMax;
    }
    f.Caption = WithUnit(std::string(m.CellText) + ", " + MapRowCaption(f.Row) + ", column " +
                             std::to_string(f.Column),
                         m.CellUnit);
    f.Unit = m.CellUnit;
    f.Section = m.CellSection;
    out.push_back(std::move(f));
  }
}

void AddMapExtras(std::vector<FieldDef>& out) {
  struct Extra {
    int Offset;
    Encoding Enc;
    int Min, Max;
    std::string_view Text;
  };
  // Extra field 2 is laid out first on screen but is the third of the array.
  constexpr Extra kExtras[] = {
      {43, Encoding::Plus100, -15, 15, "Advance correction cylinder 1"},
      {44, Encoding::Plus100, -15, 15, "Advance correction cylinder 2"},
      {45, Encoding::Value, 0, 100, "Base advance"},
  };
  for (int n = 0; n < 3; ++n) {
    FieldDef f = MapField(PageAdvance, FieldGrid::MapExtra, "MapExtra", n);
    f.Offset = kExtras[n].Offset;
    f.Enc = kExtras[n].Enc;
    f.Min = kExtras[n].Min, f.Max = kExtras[n].Max;
    f.Caption = WithUnit(std::string(kExtras[n].Text), "°");
    f.Unit = "°";
    f.Section = "ADVANCE_MISC";
    f.Column = n;
    out.push_back(std::move(f));
  }
}

void Expand(int page, FieldGrid grid, std::vector<FieldDef>& out) {
  switch (grid) {
    case FieldGrid::RpmAxis:
      if (const auto* m = MapPageOf(page)) AddMapAxis(*m, out);
      return;
    case FieldGrid::MapCells:
      if (const auto* m = MapPageOf(page)) AddMapCells(*m, out);
      return;
    case FieldGrid::MapExtra: AddMapExtras(out); return;
    default:
      for (const auto& g : kGrids)
        if (g.Grid == grid) AddGrid(g, out);
      return;
  }
}

struct Table {
  std::vector<FieldDef> Fields;
  std::array<std::size_t, PageCount + 1> PageStart{};
};

const Table& TheTable() {
  static const Table table = [] {
    Table t;
    t.Fields.reserve(1024);
    for (const Row& r : kRows) {
      if (r.Expand != FieldGrid::None)
        Expand(r.Page, r.Expand, t.Fields);
      else
        AddRow(r, t.Fields);
    }
    // The rows are written in page order, so each page is one run.
    for (int p = 0; p <= PageCount; ++p) {
      auto it = std::find_if(t.Fields.begin(), t.Fields.end(),
                             [p](const FieldDef& f) { return f.Page >= p; });
      t.PageStart[p] = static_cast<std::size_t>(it - t.Fields.begin());
    }
    return t;
  }();
  return table;
}

// PercentMap1 or PercentMap2 of `tables`, const or not, for a percent cell.
template <typename Tables>
auto PercentTableIn(const FieldDef& field, Tables& tables) -> decltype(&tables.PercentMap1) {
  if (field.Enc != Encoding::Percent || field.Cell < 0 || field.Cell >= kMapCells) return nullptr;
  if (field.Page == PageInj1) return &tables.PercentMap1;
  if (field.Page == PageInj2) return &tables.PercentMap2;
  return nullptr;
}

int StoredOf(const FieldDef& f, int v) {
  switch (f.Enc) {
    case Encoding::Scaled: return v / f.Scale;
    case Encoding::Plus100: return v + 100;
    case Encoding::Minus100: return v - 100;
    case Encoding::Tps100: return v / 10 - 250;
    case Encoding::OnOff: return v != 0 ? 1 : 0;
    default: return v;
  }
}

}  // namespace

// ---------------------------------------------------------------------------

std::span<const FieldDef> EditorFields() { return TheTable().Fields; }

std::span<const FieldDef> FieldsOfPage(int page) {
  if (page < 0 || page >= PageCount) return {};
  const Table& t = TheTable();
  return std::span<const FieldDef>(t.Fields)
      .subspan(t.PageStart[page], t.PageStart[page + 1] - t.PageStart[page]);
}

const FieldDef* FindField(int page, std::string_view name) {
  if (name.empty()) return nullptr;
  for (const FieldDef& f : FieldsOfPage(page))
    if (f.EditName == name || f.ControlName == name) return &f;
  return nullptr;
}

// Declared edit boxes that commit when the focus leaves them, and those that
// commit on a click; the remaining declared ones commit on Enter only.
constexpr std::string_view kCommitOnLeave[] = {
    "EditFan1",        "EditFan2",         "EditRpmKorekce",   "EditRpmPulsu",      "EditRetardLimiterRpm",
    "EditRetardLimiterAdv", "EditStartLimiter", "EditIgnLimiter", "EditJetLimiter",  "EditPocetGear",
    "EditGearAutoTime", "EditGearAutoRpm",  "EditGearAutoTps",  "EditGearAutoBand",  "EditPulsuProSpeed",
    "EditClutchMinRpm", "EditClutchJet",    "EditClutchAdv",
};
constexpr std::string_view kCommitOnClick[] = {
    "EditBuzeni",       "EditApsTlak1",     "EditApsNapeti1",   "EditApsTlak2",     "EditTps0",
    "EditTps100",       "EditIdleRpmMez",   "EditIdleTpsMez",   "EditIdleHyster",   "EditIdleStepPerioda",
    "EditIdleAdvNaRpm", "EditIdleMaxAdv",   "EditIdleAdvNaCas", "EditIdleStepPuls", "EditIdleStart",
    "EditGas1",         "EditGas2",         "EditGasD",         "EditGasT",         "EditGasJetKor1",
    "EditGasJetKor2",   "EditRetard1",      "EditRetard2",      "EditRetardD",      "EditRetardT",
    "EditLadeniHyster", "EditLadeniRpm",    "EditLadeniTps",    "EditLadeniCas",    "EditLadeniLambda",
    "EditLadeniKanal",  "EditLadeniKrok",   "EditLadeniMaxAcc", "EditTestRpm",      "EditTestServo",
    "EditLambdaBar0",   "EditLambdaBar1",   "EditLambdaBar2",   "EditLambdaBar3",
};

int CommitEventsOf(const FieldDef& field) {
  if (field.EditName.empty()) return CommitOnEnter;
  if (field.Grid != FieldGrid::None) return CommitOnClick | CommitOnLeave;
  const auto listed = [&field](std::span<const std::string_view> names) {
    return std::find(names.begin(), names.end(), field.EditName) != names.end();
  };
  return (listed(kCommitOnClick) ? CommitOnClick : CommitOnEnter) | (listed(kCommitOnLeave) ? CommitOnLeave : CommitOnEnter);
}

int FieldByteCount(const FieldDef& field) {
  switch (field.Width) {
    case FieldWidth::Byte: return 1;
    case FieldWidth::Word: return 2;
    case FieldWidth::Text: return kMemoSize;
  }
  return 1;
}

FieldSpan FieldSpanAt(int offset) {
  // Which offsets start a word: both injection maps and every word field.
  static const std::array<std::uint8_t, kParamSize> kWordStarts = [] {
    std::array<std::uint8_t, kParamSize> starts{};
    for (int n = kInj1Map; n < kMemoStart; n += 2) starts[n] = 1;
    for (const FieldDef& f : EditorFields()) {
      if (f.Width == FieldWidth::Word && f.Offset >= 0 && f.Offset + 1 < kParamSize) starts[f.Offset] = 1;
    }
    return starts;
  }();
  if (offset < 0 || offset >= kParamSize) return {offset, 1};
  if (kWordStarts[offset] && offset + 1 < kParamSize) return {offset, 2};
  if (offset > 0 && kWordStarts[offset - 1]) return {offset - 1, 2};
  return {offset, 1};
}

int SpanValue(const ParameterImage& image, FieldSpan span) {
  return span.Width == 2 ? image.Word(span.Offset) : image.P(span.Offset);
}

void SetSpanValue(ParameterImage& image, FieldSpan span, int value) {
  if (span.Width == 2) {
    image.SetWord(span.Offset, static_cast<std::uint16_t>(value));
  } else {
    image.P(span.Offset) = static_cast<std::uint8_t>(value);
  }
}

int PartnerOffset(int offset) {
  constexpr int kMapDistance = kInj2Map - kInj1Map;
  constexpr int kAxisDistance = kInj2Axis - kInj1Axis;
  if (offset >= kInj1Map && offset < kInj2Map) return offset + kMapDistance;
  if (offset >= kInj2Map && offset < kInj2Map + kMapDistance) return offset - kMapDistance;
  if (offset >= kInj1Axis && offset < kInj1Axis + kMapColumns) return offset + kAxisDistance;
  if (offset >= kInj2Axis && offset < kInj2Axis + kMapColumns) return offset - kAxisDistance;
  return -1;
}

FieldRange RangeOf(const FieldDef& field, const ParameterImage& image) {
  if (field.Range == RangeRule::IdleServo)
    return image.P(333) == 0 ? FieldRange{0, 100, 1} : FieldRange{0, 12000, 10};
  return FieldRange{field.Min, field.Max, field.Step};
}

int RawValue(const FieldDef& field, const ParameterImage& image) {
  return field.Width == FieldWidth::Word ? image.Word(field.Offset) : image.P(field.Offset);
}

int ShownValue(const FieldDef& field, const ParameterImage& image) {
  const int raw = RawValue(field, image);
  switch (field.Enc) {
    case Encoding::Value:
    case Encoding::Choice:
    case Encoding::Percent: return raw;
    case Encoding::Scaled: return raw * field.Scale;
    case Encoding::Plus100: return raw - 100;
    case Encoding::Minus100: return raw + 100;
    case Encoding::Tps100: return raw * 10 + 2500;
    case Encoding::OnOff: return raw != 0 ? 1 : 0;
    case Encoding::Text: return 0;
  }
  return raw;
}

int ShownValue(const FieldDef& field, const ParameterImage& image, const DerivedTables& tables) {
  if (const Map150* percent = PercentTableOf(field, tables)) return (*percent)[field.Cell];
  return ShownValue(field, image);
}

void StoreShownValue(const FieldDef& field, int shown, ParameterImage& image) {
  if (field.Enc == Encoding::Text || field.Enc == Encoding::Percent) return;
  const FieldRange range = RangeOf(field, image);
  if (field.Enc == Encoding::Choice && !range.Contains(shown)) return;
  int stored = StoredOf(field, range.Limit(shown));
  if (field.Width == FieldWidth::Word) {
    image.SetWord(field.Offset, static_cast<std::uint16_t>(std::clamp(stored, 0, 0xFFFF)));
  } else {
    image.P(field.Offset) = static_cast<std::uint8_t>(std::clamp(stored, 0, 0xFF));
  }
}

void StoreShownValue(const FieldDef& field, int shown, ParameterImage& image,
                     DerivedTables& tables) {
  if (Map150* percent = PercentTableOf(field, tables)) {
    (*percent)[field.Cell] = static_cast<std::uint16_t>(std::clamp(shown, 0, kPercentMax));
    return;
  }
  StoreShownValue(field, shown, image);
}

Map150* PercentTableOf(const FieldDef& field, DerivedTables& tables) {
  return PercentTableIn(field, tables);
}

const Map150* PercentTableOf(const FieldDef& field, const DerivedTables& tables) {
  return PercentTableIn(field, tables);
}

int ReadFieldText(std::string_view text, int held, const FieldRange& range,
                  std::string_view groupSeparator) {
  std::string digits;
  digits.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (!groupSeparator.empty() && text.substr(i, groupSeparator.size()) == groupSeparator) {
      i += groupSeparator.size();
      continue;
    }
    digits += text[i++];
  }
  std::string_view s = digits;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  if (s.empty() || s.front() == '+') return held;

  // A 16-bit spinner can hold no more; anything longer is out of range anyway.
  long long value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return held;
  if (value < -32768 || value > 32767 || !range.Contains(static_cast<int>(value))) return held;
  return static_cast<int>(value);
}

std::string_view PageCaption(int page) {
  static constexpr std::array kCaptions{
      "Bike"sv, "Advance"sv, "Inj. 1"sv, "Inj. 2"sv, "Position"sv, "Corrections"sv, "Sensors"sv,
      "Idle"sv, "N2O"sv,     "Gear"sv,   "Race"sv,   "Tuning"sv,   "Monitor"sv};
  if (page < 0 || page >= static_cast<int>(kCaptions.size())) return {};
  return kCaptions[page];
}

std::string MapRowCaption(int row) {
  if (row < 0 || row >= kMapRows) return {};
  return "TPS " + std::to_string(kTpsRows[row]) + " %";
}

int MapAxisOffset(int page) {
  const MapPageDef* m = MapPageOf(page);
  return m ? m->Axis : -1;
}

std::string MapColumnCaption(int page, int column, const ParameterImage& image) {
  std::string text = "column " + std::to_string(column);
  const int axis = MapAxisOffset(page);
  if (axis >= 0 && column >= 0 && column < kMapColumns)
    text += " (" + std::to_string(image.P(axis + column) * 100) + " rpm)";
  return text;
}

}  // namespace velmor

// The unit's monitor reply: validation, the live values other parts of the
// program use, and a display model of every label, gauge and edit colour the
// live display sets, keyed by component name for the window to apply.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/catalog.h"
#include "model/image.h"

namespace velmor {

// The toolkit's standard colours. `Normal` is the button-face colour (labels),
// `Window` the window colour (edit fields).
enum class Colour : std::uint8_t { Normal, Window, White, Red, Yellow, Lime, Aqua, Fuchsia, Blue };
const char* ColourName(Colour colour);

struct LiveValues {
  std::uint16_t Rpm = 0;
  std::uint16_t TpsPercent = 0;
  std::uint16_t TpsMillivolts = 0;
  std::uint16_t CoolantRaw = 0;
  std::uint16_t AirRaw = 0;
  std::uint8_t Gear = 0;
  std::uint8_t AfrX10 = 0;
  std::uint16_t LambdaMillivolts = 0;
  std::uint16_t PressureX10 = 0;
  std::uint16_t StartTime = 0;
  std::uint16_t RpmSpeedRatio = 0;
  bool IgnLimiterActive = false;
  bool JetLimiterActive = false;
  bool RetardLimiterActive = false;
  bool TpsFault = false;
  bool PressureFault = false;
  bool BaseAdvance = false;
  bool TestsLocked = false;
  // The unit stopped answering: the values above are no reading, and nothing
  // is lit as the engine's operating point.
  bool ConnectionLost = false;
};

// Every label the live display writes, in the order it writes them.
#define VELMOR_MONITOR_LABELS(X)                                                        \
  X(LabelMonTlStartIn) X(LabelMonClutchIn) X(LabelMonNeutral) X(LabelMonSideStand)      \
  X(LabelMonStartLimiterIn) X(LabelMonClutchMasterIn) X(LabelMonRpmLambdaIn)            \
  X(LabelMonPinEngine23In) X(LabelMonPinBody11In) X(LabelMonTlStartOut)                 \
  X(LabelMonStartLimiterOut) X(LabelMonIgnLimiter) X(LabelMonJetLimiter)                \
  X(LabelMonRetardLimiter) X(LabelMonRpmLambdaOut) X(LabelN2oOn) X(LabelMonClutchOut)   \
  X(LabelSnimacCmps) X(LabelEeDataErr) X(LabelOilOk) X(LabelMonLambdaHeat)              \
  X(LabelMonFan1) X(LabelMonFan2) X(LabelMonBlokOut) X(LabelVersion) X(LabelMon_Ign1)   \
  X(LabelMon_Ign2) X(LabelMon_Ign) X(LabelMon_Jet_1A) X(LabelMon_Jet_2A)                \
  X(LabelMon_Jet_A) X(LabelMaxInjProcent) X(LabelGear) X(LabelMonPilotLight)            \
  X(LabelLadeniMsg) X(LabelMonFuelMv) X(LabelMonPinEngine14In) X(LabelRpm) X(LabelTlak) \
  X(LabelTps) X(LabelLambda) X(LabelVoda) X(LabelVzduch) X(LabelNapeti)                 \
  X(LabelPocetProgramovani) X(LabelTest1) X(LabelTest2) X(LabelTest3) X(LabelTest4)     \
  X(LabelTest5) X(LabelTest6) X(LabelTest7) X(LabelTest8) X(LabelMon_PolohaA)           \
  X(LabelKorVodaJet) X(LabelKorVzduch) X(LabelKorTlak) X(LabelKorSytic)                 \
  X(LabelKorNapeti) X(LabelKorVodaIgn) X(LabelMonSpeed) X(LabelMonPomerRpmSpeed)        \
  X(LabelMonPomerRpmSpeedAuto1) X(LabelMonPomerRpmSpeedAuto2)                           \
  X(LabelMonPomerRpmSpeedAuto3) X(LabelMonPomerRpmSpeedAuto4)                           \
  X(LabelMonPomerRpmSpeedAuto5) X(LabelMonPomerRpmSpeedAuto6) X(LabelIdleKorAdv)        \
  X(LabelKorAccJet)

#define VELMOR_MONITOR_GAUGES(X) \
  X(CGaugeDuty) X(CGaugeFuel) X(CGaugeRpm) X(CGaugeTps) X(CGaugeLambda) X(CGaugeVoda)

#define VELMOR_MONITOR_EDITS(X) \
  X(EditStartLimiter) X(EditIgnLimiter) X(EditJetLimiter) X(EditRetardLimiterRpm)

#define VELMOR_ENUM_ENTRY(name) name,
enum class MonLabel : std::uint8_t { VELMOR_MONITOR_LABELS(VELMOR_ENUM_ENTRY) Count };
enum class MonGauge : std::uint8_t { VELMOR_MONITOR_GAUGES(VELMOR_ENUM_ENTRY) Count };
enum class MonEdit : std::uint8_t { VELMOR_MONITOR_EDITS(VELMOR_ENUM_ENTRY) Count };
#undef VELMOR_ENUM_ENTRY

inline constexpr int kMonLabelCount = static_cast<int>(MonLabel::Count);
inline constexpr int kMonGaugeCount = static_cast<int>(MonGauge::Count);
inline constexpr int kMonEditCount = static_cast<int>(MonEdit::Count);

// Component names, for lookups by name.
const char* MonLabelName(MonLabel label);
const char* MonGaugeName(MonGauge gauge);
const char* MonEditName(MonEdit edit);

// A label text in a fixed buffer, so that decoding a frame allocates nothing.
struct FixedText {
  std::array<char, 128> Chars{};
  std::uint8_t Length = 0;
  std::string_view View() const { return {Chars.data(), Length}; }
  void Assign(std::string_view text);
  void Append(std::string_view text);
};

// What one decode did to one element. Only the parts whose Set flag is true
// were written by this frame; the rest keep what the window shows.
struct LabelView {
  bool SetText = false;
  bool SetColour = false;
  bool SetVisible = false;
  bool Visible = false;
  Colour TextColour = Colour::Normal;
  FixedText Text;
};

// All monitor gauges run 0..100; positions are limited to that range because
// the computed values can leave it (the fuel gauge below 1600 mV, the duty
// above 100 %, the coolant bar below 0 °C).
inline constexpr int kMonGaugeMax = 100;

struct GaugeView {
  bool SetPosition = false;
  bool SetBarColour = false;
  int Position = 0;
  Colour BarColour = Colour::Blue;
};

struct EditView {
  bool SetColour = false;
  Colour BackColour = Colour::Window;
};

struct MonitorView {
  std::array<LabelView, kMonLabelCount> Labels{};
  std::array<GaugeView, kMonGaugeCount> Gauges{};
  std::array<EditView, kMonEditCount> Edits{};
  LabelView& operator[](MonLabel l) { return Labels[static_cast<int>(l)]; }
  const LabelView& operator[](MonLabel l) const { return Labels[static_cast<int>(l)]; }
  GaugeView& operator[](MonGauge g) { return Gauges[static_cast<int>(g)]; }
  const GaugeView& operator[](MonGauge g) const { return Gauges[static_cast<int>(g)]; }
  EditView& operator[](MonEdit e) { return Edits[static_cast<int>(e)]; }
  const EditView& operator[](MonEdit e) const { return Edits[static_cast<int>(e)]; }
};

// The catalog stems the live display uses, resolved once per language so that
// a decode looks nothing up.
struct MonitorStems {
  std::string Yes, No, Blink, Advance, ProgramCount, Blocking, StartLimiter, IgnLimiter,
      JetLimiter, RetardLimiter, Pickup, InjTime, MaxInj, Position, Gear, Speed, ShiftLight,
      ClutchMaster, TachoLambda, Coolant, StartSwitch, Clutch, Neutral, SideStand, OilOk,
      LambdaHeat, Fan, Fuel, VersionMismatch;
  std::array<std::string, 15> TuneStatus;
  static MonitorStems For(LanguageCode language);
};

// Inputs of a decode beside the frame itself.
struct MonitorInputs {
  const MonitorStems* Stems = nullptr;
  bool ExtendedMonitor = false;   // CheckBoxExtMonitor
  bool GasEnabled = false;        // CheckBoxGas
  std::uint8_t IgnLimiterHundreds = 0;  // P+29
  std::uint8_t LambdaBarLow = 0;        // P+322
  std::uint8_t LambdaBarHigh = 0;       // P+325
};

MonitorInputs MonitorInputsFromImage(const ParameterImage& image, const MonitorStems& stems,
                                     bool extendedMonitor, bool gasEnabled);

// Validates the 152 bytes at `frame` (reply code 0xB0, checksum). A frame
// that fails leaves `live` and `view` untouched and returns false. Otherwise
// `live` is updated (its Rpm from the previous frame feeds the duty figure),
// `view` is rewritten and `unitSaving` receives word 148.
bool DecodeMonitorFrame(const std::uint8_t* frame, const MonitorInputs& inputs, LiveValues& live,
                        MonitorView& view, std::uint16_t& unitSaving);

// What the live display shows while no unit answers: every label with its
// placeholder of `language`, normal colours, empty gauges; LabelEeDataErr
// hidden and no version warning.
void NoReadingView(LanguageCode language, MonitorView& view);

// The lambda bar position for an A/F value on the scale lo..hi. With equal
// bounds the scale is a single point: below it 0, at or above it 100.
int LambdaBarPosition(int afrX10, int lo, int hi);

}  // namespace velmor

#include "link/monitor.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <optional>

#include "lang/control_texts.h"
#include "link/frame.h"
#include "link/monitor_layout.h"

namespace velmor {

namespace {

#define VELMOR_NAME_ENTRY(name) #name,
constexpr const char* kLabelNames[] = {VELMOR_MONITOR_LABELS(VELMOR_NAME_ENTRY)};
constexpr const char* kGaugeNames[] = {VELMOR_MONITOR_GAUGES(VELMOR_NAME_ENTRY)};
constexpr const char* kEditNames[] = {VELMOR_MONITOR_EDITS(VELMOR_NAME_ENTRY)};
#undef VELMOR_NAME_ENTRY

}  // namespace

const char* ColourName(Colour colour) {
  switch (colour) {
    case Colour::Normal: return "normal";
    case Colour::Window: return "window";
    case Colour::White: return "white";
    case Colour::Red: return "red";
    case Colour::Yellow: return "yellow";
    case Colour::Lime: return "lime";
    case Colour::Aqua: return "aqua";
    case Colour::Fuchsia: return "fuchsia";
    case Colour::Blue: return "blue";
  }
  return "normal";
}

const char* MonLabelName(MonLabel label) { return kLabelNames[static_cast<int>(label)]; }
const char* MonGaugeName(MonGauge gauge) { return kGaugeNames[static_cast<int>(gauge)]; }
const char* MonEditName(MonEdit edit) { return kEditNames[static_cast<int>(edit)]; }

void FixedText::Assign(std::string_view text) {
  Length = 0;
  Append(text);
}

void FixedText::Append(std::string_view text) {
  // Cut at a character boundary: never leave half a UTF-8 sequence behind.
  std::size_t room = Chars.size() - Length;
  std::size_t n = std::min(room, text.size());
  if (n < text.size()) {
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  std::copy_n(text.data(), n, Chars.data() + Length);
  Length = static_cast<std::uint8_t>(Length + n);
}

MonitorStems MonitorStems::For(LanguageCode language) {
  auto t = [language](MsgKey key) { return CatalogText(key, language); };
  MonitorStems s;
  s.Yes = t(MsgKey::TxtYes);
  s.No = t(MsgKey::TxtNo);
  s.Blink = t(MsgKey::TxtBlink);
  s.Advance = t(MsgKey::TxtAdvance);
  s.ProgramCount = t(MsgKey::TxtProgramCount);
  s.Blocking = t(MsgKey::TxtBlocking);
  s.StartLimiter = t(MsgKey::TxtStartLimiter);
  s.IgnLimiter = t(MsgKey::TxtIgnLimiter);
  s.JetLimiter = t(MsgKey::TxtJetLimiter);
  s.RetardLimiter = t(MsgKey::TxtRetardLimiter);
  s.Pickup = t(MsgKey::TxtPickup);
  s.InjTime = t(MsgKey::TxtInjTime);
  s.MaxInj = t(MsgKey::TxtMaxInj);
  s.Position = t(MsgKey::TxtPosition);
  s.Gear = t(MsgKey::TxtGear);
  s.Speed = t(MsgKey::TxtSpeed);
  s.ShiftLight = t(MsgKey::TxtShiftLight);
  s.ClutchMaster = t(MsgKey::TxtClutchMaster);
  s.TachoLambda = t(MsgKey::TxtTachoLambda);
  s.Coolant = t(MsgKey::TxtCoolant);
  s.StartSwitch = t(MsgKey::TxtStartSwitch);
  s.Clutch = t(MsgKey::TxtClutch);
  s.Neutral = t(MsgKey::TxtNeutral);
  s.SideStand = t(MsgKey::TxtSideStand);
  s.OilOk = t(MsgKey::TxtOilOk);
  s.LambdaHeat = t(MsgKey::TxtLambdaHeat);
  s.Fan = t(MsgKey::TxtFan);
  s.Fuel = t(MsgKey::TxtFuel);
  s.VersionMismatch = t(MsgKey::MsgVersionMismatch);
  for (int code = 0; code < 15; ++code)
    s.TuneStatus[code] =
        t(static_cast<MsgKey>(static_cast<int>(MsgKey::TuneRpmZero) + code));
  return s;
}

MonitorInputs MonitorInputsFromImage(const ParameterImage& image, const MonitorStems& stems,
                                     bool extendedMonitor, bool gasEnabled) {
  MonitorInputs in;
  in.Stems = &stems;
  in.ExtendedMonitor = extendedMonitor;
  in.GasEnabled = gasEnabled;
  in.IgnLimiterHundreds = image.P(29);
  in.LambdaBarLow = image.P(322);
  in.LambdaBarHigh = image.P(325);
  return in;
}

void NoReadingView(LanguageCode language, MonitorView& view) {
  for (LabelView& l : view.Labels) {
    l.SetText = l.SetVisible = false;
    l.SetColour = true;
    l.TextColour = Colour::Normal;
  }
  for (const LabelText& p : NoReadingTexts(language)) {
    for (int i = 0; i < kMonLabelCount; ++i) {
      if (p.label != MonLabelName(static_cast<MonLabel>(i))) continue;
      view.Labels[i].SetText = true;
      view.Labels[i].Text.Assign(p.text);
    }
  }
  LabelView& version = view[MonLabel::LabelVersion];
  version.SetText = true;
  version.Text.Assign("");
  LabelView& eeprom = view[MonLabel::LabelEeDataErr];
  eeprom.SetVisible = true;
  eeprom.Visible = false;
  for (GaugeView& g : view.Gauges) {
    g.SetPosition = true;
    g.Position = 0;
    g.SetBarColour = false;
  }
  for (EditView& e : view.Edits) {
    e.SetColour = true;
    e.BackColour = Colour::Window;
  }
}

int LambdaBarPosition(int afrX10, int lo, int hi) {
  if (afrX10 < lo) return 0;
  if (afrX10 > hi || hi == lo) return kMonGaugeMax;
  return (afrX10 - lo) * 100 / (hi - lo);
}

namespace {

int Clamp(int v) { return std::clamp(v, 0, kMonGaugeMax); }

// The n-th of a run of values (test values, learned gear ratios).
MonValue Nth(MonValue first, int n) { return static_cast<MonValue>(static_cast<int>(first) + n); }

// Writes into a label's view; every call marks the parts it sets.
class Writer {
 public:
  explicit Writer(MonitorView& view) : view_(view) {}

  LabelView& Text(MonLabel l, const char* format, ...) __attribute__((format(printf, 3, 4))) {
    char buffer[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    LabelView& v = view_[l];
    v.SetText = true;
    v.Text.Assign(buffer);
    return v;
  }
  // Stem, separator and word: "Clutch - YES".
  LabelView& Words(MonLabel l, std::string_view a, std::string_view b, std::string_view c) {
    LabelView& v = view_[l];
    v.SetText = true;
    v.Text.Assign(a);
    v.Text.Append(b);
    v.Text.Append(c);
    return v;
  }
  void Paint(MonLabel l, Colour c) {
    view_[l].SetColour = true;
    view_[l].TextColour = c;
  }
  void Visible(MonLabel l, bool visible) {
    view_[l].SetVisible = true;
    view_[l].Visible = visible;
  }
  void Gauge(MonGauge g, int position) {
    view_[g].SetPosition = true;
    view_[g].Position = Clamp(position);
  }
  void Bar(MonGauge g, Colour c) {
    view_[g].SetBarColour = true;
    view_[g].BarColour = c;
  }
  void Edit(MonEdit e, Colour c) {
    view_[e].SetColour = true;
    view_[e].BackColour = c;
  }

 private:
  MonitorView& view_;
};

// One input or output state: the label reads "<prefix> - YES" in `onColour`
// when the condition holds, "<prefix> - NO" in the normal colour otherwise.
void YesNo(Writer& w, const MonitorStems& s, MonLabel label, std::string_view prefix,
           std::string_view separator, bool yes, Colour onColour) {
  w.Words(label, prefix, separator, yes ? s.Yes : s.No);
  w.Paint(label, yes ? onColour : Colour::Normal);
}

}  // namespace

bool DecodeMonitorFrame(const std::uint8_t* f, const MonitorInputs& in, LiveValues& live,
                        MonitorView& view, std::uint16_t& unitSaving) {
  if (f[0] != kMonitorReply || !FrameChecksumValid(f)) return false;
  static const MonitorStems kEmptyStems;
  const MonitorStems& s = in.Stems != nullptr ? *in.Stems : kEmptyStems;

  for (auto& l : view.Labels) l.SetText = l.SetColour = l.SetVisible = false;
  for (auto& g : view.Gauges) g.SetPosition = g.SetBarColour = false;
  for (auto& e : view.Edits) e.SetColour = false;
  Writer w(view);
  using L = MonLabel;
  using V = MonValue;
  const char* sep = " - ";
  live.ConnectionLost = false;

  const auto on = [f](MonValue flag) { return MonitorFlag(f, flag); };
  const auto raw = [f](MonValue value) { return MonitorRaw(f, value); };

  // Inputs.
  YesNo(w, s, L::LabelMonTlStartIn, s.StartSwitch, sep, on(V::StartSwitchIn), Colour::White);
  YesNo(w, s, L::LabelMonClutchIn, s.Clutch, sep, on(V::ClutchIn), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonNeutral, s.Neutral, sep, on(V::Neutral), Colour::Aqua);
  YesNo(w, s, L::LabelMonSideStand, s.SideStand, sep, on(V::SideStand), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonStartLimiterIn, s.StartLimiter, sep, on(V::StartLimiterIn), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonClutchMasterIn, s.ClutchMaster, sep, on(V::ClutchMasterIn), Colour::Lime);
  YesNo(w, s, L::LabelMonRpmLambdaIn, s.TachoLambda, sep, on(V::TachoLambdaIn), Colour::Aqua);
  YesNo(w, s, L::LabelMonPinEngine23In, "Pin engine 23", sep, on(V::PinEngine23In), Colour::Aqua);

  // Outputs and limiters.
  YesNo(w, s, L::LabelMonPinBody11In, "Pin body 11", sep, on(V::PinBody11In), Colour::Aqua);
  YesNo(w, s, L::LabelMonTlStartOut, s.StartSwitch, sep, on(V::StartSwitchOut), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonStartLimiterOut, s.StartLimiter, sep, on(V::StartLimiterOut), Colour::Fuchsia);
  w.Edit(MonEdit::EditStartLimiter, on(V::StartLimiterOut) ? Colour::Fuchsia : Colour::Window);
  live.IgnLimiterActive = on(V::IgnLimiter);
  YesNo(w, s, L::LabelMonIgnLimiter, s.IgnLimiter, sep, live.IgnLimiterActive, Colour::Fuchsia);
  w.Edit(MonEdit::EditIgnLimiter, live.IgnLimiterActive ? Colour::Fuchsia : Colour::Window);
  live.JetLimiterActive = on(V::JetLimiter);
  YesNo(w, s, L::LabelMonJetLimiter, s.JetLimiter, sep, live.JetLimiterActive, Colour::Fuchsia);
  w.Edit(MonEdit::EditJetLimiter, live.JetLimiterActive ? Colour::Fuchsia : Colour::Window);
  live.RetardLimiterActive = on(V::RetardLimiter);
  YesNo(w, s, L::LabelMonRetardLimiter, s.RetardLimiter, sep, live.RetardLimiterActive,
        Colour::Fuchsia);
  w.Edit(MonEdit::EditRetardLimiterRpm,
         live.RetardLimiterActive ? Colour::Fuchsia : Colour::Window);
  if (on(V::TachoOut)) {
    w.Words(L::LabelMonRpmLambdaOut, s.TachoLambda, sep, "Tacho");
    w.Paint(L::LabelMonRpmLambdaOut, Colour::Normal);
  } else {
    w.Words(L::LabelMonRpmLambdaOut, s.TachoLambda, sep, "Lambda");
    w.Paint(L::LabelMonRpmLambdaOut, Colour::Aqua);
  }
  YesNo(w, s, L::LabelN2oOn, "N2O ", sep, on(V::N2oOn), Colour::Lime);
  w.Visible(L::LabelN2oOn, in.GasEnabled);

  // Status flags.
  YesNo(w, s, L::LabelMonClutchOut, s.ClutchMaster, sep, on(V::ClutchMasterOut), Colour::Red);
  live.BaseAdvance = on(V::BaseAdvance);
  // The two words after the stem have no catalog entry in any language.
  w.Words(L::LabelSnimacCmps, s.Pickup, sep, on(V::PickupSignal) ? " is running" : " no signal");
  w.Paint(L::LabelSnimacCmps, on(V::PickupSignal) ? Colour::Lime : Colour::Normal);
  w.Visible(L::LabelEeDataErr, on(V::DataError));
  live.TpsFault = on(V::TpsFault);

  live.PressureFault = on(V::PressureFault);
  w.Paint(L::LabelTlak, live.PressureFault ? Colour::Red : Colour::Normal);
  w.Words(L::LabelOilOk, s.OilOk, sep, on(V::OilOk) ? s.Yes : s.No);
  w.Paint(L::LabelOilOk, on(V::OilOk) ? Colour::Normal : Colour::Red);
  YesNo(w, s, L::LabelMonLambdaHeat, s.LambdaHeat, sep, on(V::LambdaHeater), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonFan1, s.Fan, " 1 - ", on(V::Fan1), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonFan2, s.Fan, " 2 - ", on(V::Fan2), Colour::Fuchsia);
  YesNo(w, s, L::LabelMonBlokOut, s.Blocking, sep, on(V::BlockingOut), Colour::Red);
  w.Paint(L::LabelMonFuelMv, on(V::FuelWarning) ? Colour::Fuchsia : Colour::Normal);
  live.TestsLocked = on(V::TestsLocked);

  // Version.
  if (const int version = raw(V::Version); version != kProtocolVersion) {
    LabelView& v = w.Words(L::LabelVersion, s.VersionMismatch, "", "");
    char tail[40];
    std::snprintf(tail, sizeof tail, "  PC-%d, IGN-%d", kProtocolVersion, version);
    v.Text.Append(tail);
    w.Paint(L::LabelVersion, Colour::Red);
  } else {
    w.Words(L::LabelVersion, "", "", "");
    w.Paint(L::LabelVersion, Colour::Normal);
  }

  const int tpsWhole = raw(V::TpsWhole);
  live.TpsPercent = static_cast<std::uint16_t>(tpsWhole);

  // Advance.
  const char* adv = s.Advance.c_str();
  if (live.BaseAdvance) {
    w.Text(L::LabelMon_Ign1, "%s 1= BASE", adv);
    w.Text(L::LabelMon_Ign2, "%s 2= BASE", adv);
    w.Text(L::LabelMon_Ign, "%s = BASE", adv);
  } else {
    const int adv1 = raw(V::Advance1), adv2 = raw(V::Advance2);
    w.Text(L::LabelMon_Ign1, "%s 1= %2d °", adv, adv1);
    w.Text(L::LabelMon_Ign2, "%s 2= %2d °", adv, adv2);
    w.Text(L::LabelMon_Ign, "%s = %2d °", adv, (adv1 + adv2) / 2);
  }
  w.Visible(L::LabelMon_Ign2, true);

  // Injection.
  const char* inj = s.InjTime.c_str();
  const int inj1 = raw(V::Inj1), inj2 = raw(V::Inj2);
  w.Text(L::LabelMon_Jet_1A, "%s 1 = %d us", inj, inj1 * 100);
  w.Text(L::LabelMon_Jet_2A, "%s 2 = %d us", inj, inj2 * 100);
  w.Visible(L::LabelMon_Jet_2A, true);
  w.Text(L::LabelMon_Jet_A, "%s = %d us", inj, (inj1 + inj2) * 100 / 2);

  // Maximum duty, from the engine speed of the previous frame.
  const int duty = static_cast<int>(std::max(inj1, inj2) * static_cast<long>(live.Rpm) / 12000);
  w.Text(L::LabelMaxInjProcent, "%s = %d [%%]", s.MaxInj.c_str(), duty);
  w.Gauge(MonGauge::CGaugeDuty, duty);
  w.Bar(MonGauge::CGaugeDuty, duty > 100 ? Colour::Yellow : Colour::Blue);

  live.CoolantRaw = static_cast<std::uint16_t>(raw(V::Coolant));
  live.AirRaw = static_cast<std::uint16_t>(raw(V::Air));
  live.Gear = static_cast<std::uint8_t>(raw(V::Gear));
  w.Text(L::LabelGear, "%s = %d ", s.Gear.c_str(), live.Gear);

  // Gear shift light.
  const int light = raw(V::ShiftLight);
  w.Words(L::LabelMonPilotLight, s.ShiftLight, sep,
          light == 0 ? s.No : light == 2 ? s.Yes : s.Blink);
  w.Paint(L::LabelMonPilotLight, light != 0 ? Colour::Fuchsia : Colour::Normal);

  // Tuning status.
  static constexpr Colour kTuneColours[15] = {
      Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia,
      Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia, Colour::Fuchsia,
      Colour::Fuchsia, Colour::Aqua,    Colour::Yellow,  Colour::Lime,    Colour::Fuchsia};
  const int tune = raw(V::TuningStatus);
  if (tune < 15) {
    w.Words(L::LabelLadeniMsg, s.TuneStatus[tune], "", "");
    w.Paint(L::LabelLadeniMsg, kTuneColours[tune]);
  } else {
    w.Paint(L::LabelLadeniMsg, Colour::Fuchsia);
  }
  live.AfrX10 = static_cast<std::uint8_t>(raw(V::Afr));

  // Fuel, pin 14, engine speed.
  const int fuelMv = raw(V::FuelMv);
  w.Text(L::LabelMonFuelMv, "%s = %d mV", s.Fuel.c_str(), fuelMv);
  w.Gauge(MonGauge::CGaugeFuel, (fuelMv * 100 - 160000) / 2400);
  const int pin14 = raw(V::PinEngine14Mv);
  w.Text(L::LabelMonPinEngine14In, "Pin engine 14 = %d mV", pin14);
  w.Paint(L::LabelMonPinEngine14In, pin14 > 2000 ? Colour::Normal : Colour::Aqua);
  live.Rpm = static_cast<std::uint16_t>(raw(V::Rpm));
  w.Text(L::LabelRpm, "RPM = %d ", live.Rpm);
  if (in.IgnLimiterHundreds != 0) w.Gauge(MonGauge::CGaugeRpm, live.Rpm / in.IgnLimiterHundreds);
  const int limiters = live.IgnLimiterActive + live.JetLimiterActive + live.RetardLimiterActive;
  w.Paint(L::LabelRpm, limiters == 0 ? Colour::Normal : limiters == 3 ? Colour::Red : Colour::Fuchsia);

  // Pressure.
  // Shown also while the sensor is faulty, in red.
  live.PressureX10 = static_cast<std::uint16_t>(raw(V::Pressure));
  if (in.ExtendedMonitor)
    w.Text(L::LabelTlak, "AP = %4.1f kPa= %d mV", live.PressureX10 * 0.1, raw(V::PressureMv));
  else
    w.Text(L::LabelTlak, "AP = %4.1f kPa", live.PressureX10 * 0.1);

  // Throttle.
  live.TpsMillivolts = static_cast<std::uint16_t>(raw(V::TpsMv));
  if (live.TpsFault) {
    w.Text(L::LabelTps, "TP = error = %d mV", live.TpsMillivolts);
    w.Paint(L::LabelTps, Colour::Red);
    w.Gauge(MonGauge::CGaugeTps, 0);
  } else {
    const double tps = tpsWhole + (raw(V::TpsTenth) + 0.005) * 0.1;
    if (in.ExtendedMonitor)
      w.Text(L::LabelTps, "TP = %4.1f %%=%d mV", tps, live.TpsMillivolts);
    else
      w.Text(L::LabelTps, "TP = %d %%", tpsWhole);
    w.Paint(L::LabelTps, Colour::Normal);
    w.Gauge(MonGauge::CGaugeTps, tpsWhole);
  }

  // Lambda.
  live.LambdaMillivolts = static_cast<std::uint16_t>(raw(V::LambdaMv));
  if (in.ExtendedMonitor)
    w.Text(L::LabelLambda, "LAMBDA = %4.1f [A/F] = %d mV", live.AfrX10 * 0.1, live.LambdaMillivolts);
  else
    w.Text(L::LabelLambda, "LAMBDA = %4.1f [A/F]", live.AfrX10 * 0.1);
  w.Gauge(MonGauge::CGaugeLambda, LambdaBarPosition(live.AfrX10, in.LambdaBarLow, in.LambdaBarHigh));

  // Coolant.
  const char* cool = s.Coolant.c_str();
  const int coolantMv = raw(V::CoolantMv);
  const std::optional<std::int32_t> coolant = MonitorReading(f, V::Coolant);
  if (!coolant) {
    w.Paint(L::LabelVoda, Colour::Red);
    w.Bar(MonGauge::CGaugeVoda, Colour::Red);
    live.CoolantRaw = 180;
    if (in.ExtendedMonitor)
      w.Text(L::LabelVoda, "%s = error = %d mV", cool, coolantMv);
    else
      w.Text(L::LabelVoda, "%s = error", cool);
  } else {
    const bool hot = live.CoolantRaw >= 200;
    w.Paint(L::LabelVoda, hot ? Colour::Yellow : Colour::Normal);
    w.Bar(MonGauge::CGaugeVoda, hot ? Colour::Yellow : Colour::Aqua);
    if (in.ExtendedMonitor)
      w.Text(L::LabelVoda, "%s = %d °C= %d mV", cool, *coolant, coolantMv);
    else
      w.Text(L::LabelVoda, "%s= %d °C", cool, *coolant);
  }
  w.Gauge(MonGauge::CGaugeVoda, live.CoolantRaw - 100);

  // Intake air.
  // A faulty sensor reads as 50 °C, in red.
  const std::optional<std::int32_t> airReading = MonitorReading(f, V::Air);
  const int air = airReading.value_or(50);
  if (in.ExtendedMonitor)
    w.Text(L::LabelVzduch, "AT = %d °C= %d mV", air, raw(V::AirMv));
  else
    w.Text(L::LabelVzduch, "AT = %d °C", air);
  w.Paint(L::LabelVzduch, airReading ? Colour::Normal : Colour::Red);

  // Supply voltage.
  const int supply = raw(V::SupplyMv);
  w.Text(L::LabelNapeti, "U = %4.1f V", supply * 0.001);
  if (!(supply > 7000 && supply < 17999))
    w.Paint(L::LabelNapeti, Colour::Red);
  else if (!(supply > 11000 && supply < 14999))
    w.Paint(L::LabelNapeti, Colour::Yellow);
  else
    w.Paint(L::LabelNapeti, Colour::Normal);

  w.Text(L::LabelPocetProgramovani, "%s%d", s.ProgramCount.c_str(), raw(V::ProgramCount));

  static constexpr const char* kTestFormats[8] = {"Test1= %d", "Test2= %d", "Test3= %d ",
                                                  "Test4=%d",  "Test5= %d", "Test6= %d",
                                                  "Test7= %d", "Test8= %d"};
  for (int i = 0; i < 8; ++i) {
    char text[24];
    std::snprintf(text, sizeof text, kTestFormats[i], raw(Nth(V::Test1, i)));
    w.Words(static_cast<MonLabel>(static_cast<int>(L::LabelTest1) + i), text, "", "");
  }

  live.StartTime = static_cast<std::uint16_t>(raw(V::StartTime));
  w.Text(L::LabelMon_PolohaA, "%s = %d °", s.Position.c_str(), raw(V::PositionA));

  // Corrections. The form's captions carry the unit as [%]; the texts end in
  // a plain per-cent sign after a space.
  // Every raw value of a correction is a reading.
  const auto reading = [f](MonValue value) { return *MonitorReading(f, value); };
  w.Text(L::LabelKorVodaJet, "TW correction = %4.1f %%", reading(V::CoolantCorr) * 0.1);
  w.Text(L::LabelKorVzduch, "AT correction = %4.1f %%", reading(V::AirCorr) * 0.1);
  w.Text(L::LabelKorTlak, "AP correction = %4.1f %%", reading(V::PressureCorr) * 0.1);
  w.Text(L::LabelKorSytic, "Starting corr. = %4.1f %%", reading(V::StartCorr) * 0.1);
  w.Text(L::LabelKorNapeti, "U correction = %d us", reading(V::VoltageCorr));

  unitSaving = static_cast<std::uint16_t>(raw(V::UnitSaving));

  w.Text(L::LabelKorVodaIgn, "TW correction = %4.1f °", reading(V::CoolantAdvCorr) * 0.1);
  w.Text(L::LabelMonSpeed, "%s = %d [km/h]", s.Speed.c_str(), raw(V::Speed));

  live.RpmSpeedRatio = static_cast<std::uint16_t>(raw(V::RpmSpeedRatio));
  w.Text(L::LabelMonPomerRpmSpeed, "Rpm/Speed = %4.1f ", live.RpmSpeedRatio * 0.1);
  for (int g = 0; g < 6; ++g)
    w.Text(static_cast<MonLabel>(static_cast<int>(L::LabelMonPomerRpmSpeedAuto1) + g), "%4.1f ",
           raw(Nth(V::GearRatio1, g)) * 0.1);

  w.Text(L::LabelIdleKorAdv, "Idle correction = %4.1f °", reading(V::IdleAdvCorr) * 0.1);
  w.Text(L::LabelKorAccJet, "Acc. corr = %4.1f %%", reading(V::AccelCorr) * 0.1);
  return true;
}

}  // namespace velmor

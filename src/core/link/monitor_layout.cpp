#include "link/monitor_layout.h"

#include <algorithm>

namespace velmor {

namespace {

using V = MonValue;

constexpr MonitorSlot Flag(V value, int byte, int bit, bool onWhenSet) {
  return {.Value = value,
          .Offset = static_cast<std::uint8_t>(byte),
          .Width = 0,
          .Bit = static_cast<std::uint8_t>(bit),
          .OnWhenSet = onWhenSet};
}

constexpr MonitorSlot Byte(V value, int offset, std::int32_t scale = 1, std::int32_t bias = 0,
                           std::int32_t minRaw = 0, std::int32_t maxRaw = 0xFF) {
  return {.Value = value,
          .Offset = static_cast<std::uint8_t>(offset),
          .Width = 1,
          .Scale = scale,
          .Bias = bias,
          .MinRaw = minRaw,
          .MaxRaw = maxRaw};
}

constexpr MonitorSlot Word(V value, int offset, std::int32_t scale = 1, std::int32_t bias = 0) {
  return {.Value = value, .Offset = static_cast<std::uint8_t>(offset), .Width = 2, .Scale = scale, .Bias = bias};
}

// A value whose sensor the unit reports faulty by a flag.
constexpr MonitorSlot Faulty(MonitorSlot slot, V fault) {
  slot.Fault = fault;
  return slot;
}

// The inputs of byte 1 but neutral, and pin body 11 of byte 2, are on while
// their bit is clear; every other flag while its bit is set.
constexpr MonitorSlot kLayout[] = {
    Flag(V::StartSwitchIn, 1, 0, false),
    Flag(V::ClutchIn, 1, 1, false),
    Flag(V::Neutral, 1, 2, true),
    Flag(V::SideStand, 1, 3, false),
    Flag(V::StartLimiterIn, 1, 4, false),
    Flag(V::ClutchMasterIn, 1, 5, false),
    Flag(V::TachoLambdaIn, 1, 6, false),
    Flag(V::PinEngine23In, 1, 7, false),
    Flag(V::PinBody11In, 2, 0, false),
    Flag(V::StartSwitchOut, 2, 1, true),
    Flag(V::StartLimiterOut, 2, 2, true),
    Flag(V::IgnLimiter, 2, 3, true),
    Flag(V::JetLimiter, 2, 4, true),
    Flag(V::RetardLimiter, 2, 5, true),
    Flag(V::TachoOut, 2, 6, true),  // the tacho/lambda output drives the tacho
    Flag(V::N2oOn, 2, 7, true),
    Flag(V::ClutchMasterOut, 3, 0, true),
    Flag(V::BaseAdvance, 3, 3, true),
    Flag(V::PickupSignal, 3, 5, true),
    Flag(V::DataError, 3, 6, true),
    Flag(V::TpsFault, 3, 7, true),
    Flag(V::PressureFault, 4, 0, true),
    Flag(V::OilOk, 4, 1, true),
    Flag(V::LambdaHeater, 4, 2, true),
    Flag(V::Fan1, 4, 3, true),
    Flag(V::Fan2, 4, 4, true),
    Flag(V::BlockingOut, 4, 5, true),
    Flag(V::FuelWarning, 4, 6, true),
    Flag(V::TestsLocked, 4, 7, true),
    // The throttle comes as two digits, whole per cent and tenths; read in
    // tenths, the two readings add up to the throttle.
    Faulty(Byte(V::TpsWhole, 9, 10), V::TpsFault),
    Byte(V::Advance1, 10),                      // degrees
    Byte(V::Advance2, 11),
    Byte(V::Inj1, 14, 100),                     // in 100 us
    Byte(V::Inj2, 15, 100),
    Byte(V::Coolant, 23, 1, -100, 1),           // °C + 100; 0: no reading
    Byte(V::Air, 24, 1, -100, 61),              // °C + 100; 60 and below: no reading
    Byte(V::Gear, 25),
    Byte(V::ShiftLight, 27),                    // 0 off, 2 on, else blinking
    Faulty(Byte(V::TpsTenth, 28, 1, 0, 0, 9), V::TpsFault),  // beyond 9 it is no digit
    Byte(V::TuningStatus, 29),
    Byte(V::Afr, 30, 1, 0, 1),                  // A/F x 10; 0: the sensor gives no reading
    Word(V::FuelMv, 44),
    Word(V::PinEngine14Mv, 46),
    Word(V::Rpm, 48),
    Word(V::PressureMv, 50),
    Faulty(Word(V::Pressure, 52), V::PressureFault),  // kPa x 10
    Word(V::TpsMv, 56),
    Word(V::LambdaMv, 58),
    Word(V::CoolantMv, 60),
    Word(V::AirMv, 62),
    Word(V::SupplyMv, 64),
    Word(V::ProgramCount, 76),
    Word(V::Test1, 78),
    Word(V::Test2, 80),
    Word(V::Test3, 82),
    Word(V::Test4, 84),
    Word(V::Test5, 86),
    Word(V::Test6, 88),
    Word(V::Test7, 90),
    Word(V::Test8, 92),
    Word(V::StartTime, 94),                     // 0.1 s
    Word(V::PositionA, 96),                     // degrees
    Word(V::CoolantCorr, 100),                  // % x 10
    Word(V::AirCorr, 102),
    Word(V::PressureCorr, 104),
    Word(V::StartCorr, 106),
    Word(V::VoltageCorr, 108, 1, -1000),        // us + 1000
    Word(V::CoolantAdvCorr, 110, 1, -1000),     // (degrees + 100) x 10
    Word(V::Speed, 116),                        // km/h
    Word(V::RpmSpeedRatio, 120),                // x 10
    Word(V::GearRatio1, 122),
    Word(V::GearRatio2, 124),
    Word(V::GearRatio3, 126),
    Word(V::GearRatio4, 128),
    Word(V::GearRatio5, 130),
    Word(V::GearRatio6, 132),
    Word(V::IdleAdvCorr, 134, 1, -1000),        // degrees x 10 + 1000
    Word(V::AccelCorr, 136),                    // % x 10
    Word(V::UnitSaving, 148),                   // the save's remaining count
    Byte(V::Version, 150),                      // the unit's protocol version
};

constexpr bool InValueOrder() {
  if (std::size(kLayout) != kMonValueCount) return false;
  for (int i = 0; i < kMonValueCount; ++i)
    if (static_cast<int>(kLayout[i].Value) != i) return false;
  return true;
}
static_assert(InValueOrder(), "one row per value, in the order of MonValue");

constexpr bool InsideTheReply() {
  for (const MonitorSlot& s : kLayout)
    if (s.Offset < 1 || s.Offset + std::max<int>(s.Width, 1) > kChecksumIndex) return false;
  return true;
}
static_assert(InsideTheReply(), "between the reply code and the checksum");

constexpr bool NoBitTwice() {
  std::uint8_t taken[kFrameSize] = {};
  for (const MonitorSlot& s : kLayout) {
    if (s.Width == 0) {
      if (taken[s.Offset] & (1u << s.Bit)) return false;
      taken[s.Offset] = static_cast<std::uint8_t>(taken[s.Offset] | (1u << s.Bit));
      continue;
    }
    for (int b = s.Offset; b < s.Offset + s.Width; ++b) {
      if (taken[b] != 0) return false;
      taken[b] = 0xFF;
    }
  }
  return true;
}
static_assert(NoBitTwice(), "no two values share a byte or a flag's bit");

}  // namespace

std::span<const MonitorSlot> MonitorLayout() { return kLayout; }

const MonitorSlot& MonitorSlotOf(MonValue value) { return kLayout[static_cast<int>(value)]; }

int MonitorRaw(const std::uint8_t* frame, MonValue value) {
  const MonitorSlot& s = MonitorSlotOf(value);
  switch (s.Width) {
    case 0: return (frame[s.Offset] >> s.Bit) & 1;
    case 1: return frame[s.Offset];
    default: return FrameWord(frame, s.Offset);
  }
}

bool MonitorFlag(const std::uint8_t* frame, MonValue value) {
  return (MonitorRaw(frame, value) == 1) == MonitorSlotOf(value).OnWhenSet;
}

std::optional<std::int32_t> MonitorReading(const std::uint8_t* frame, MonValue value) {
  const MonitorSlot& s = MonitorSlotOf(value);
  if (s.Width == 0) return MonitorFlag(frame, value) ? 1 : 0;
  if (s.Fault != MonValue::Count && MonitorFlag(frame, s.Fault)) return std::nullopt;
  const int raw = MonitorRaw(frame, value);
  if (raw < s.MinRaw || raw > s.MaxRaw) return std::nullopt;
  return raw * s.Scale + s.Bias;
}

void PutMonitorRaw(LinkFrame& frame, MonValue value, int raw) {
  const MonitorSlot& s = MonitorSlotOf(value);
  switch (s.Width) {
    case 0: {
      const auto bit = static_cast<std::uint8_t>(1u << s.Bit);
      frame[s.Offset] = static_cast<std::uint8_t>(raw != 0 ? frame[s.Offset] | bit : frame[s.Offset] & ~bit);
      break;
    }
    case 1: frame[s.Offset] = static_cast<std::uint8_t>(std::clamp(raw, 0, 0xFF)); break;
    default: {
      const int word = std::clamp(raw, 0, 0xFFFF);
      frame[s.Offset] = static_cast<std::uint8_t>(word & 0xFF);
      frame[s.Offset + 1] = static_cast<std::uint8_t>(word >> 8);
    }
  }
}

void PutMonitorFlag(LinkFrame& frame, MonValue value, bool on) {
  PutMonitorRaw(frame, value, on == MonitorSlotOf(value).OnWhenSet ? 1 : 0);
}

void PutMonitorReading(LinkFrame& frame, MonValue value, std::optional<std::int32_t> reading) {
  const MonitorSlot& s = MonitorSlotOf(value);
  if (s.Width == 0) {
    PutMonitorFlag(frame, value, reading.value_or(0) != 0);
    return;
  }
  if (!reading) {
    PutMonitorRaw(frame, value, std::max(0, s.MinRaw - 1));
    if (s.Fault != MonValue::Count) PutMonitorFlag(frame, s.Fault, true);
    return;
  }
  // In 64 bits: a reading near the top of its range less a negative bias
  // must still come out as the most the value carries.
  const std::int64_t raw = (std::int64_t{*reading} - s.Bias) / s.Scale;
  const std::int64_t least = s.MinRaw, most = s.MaxRaw;
  PutMonitorRaw(frame, value, static_cast<int>(std::clamp(raw, least, most)));
}

}  // namespace velmor

// Where every value sits in the unit's monitor reply. The live display, the
// log's recorder and its playback, and the simulated unit all read and write
// the reply through this one table, so that a value's bytes, its scaling and
// what counts as no reading are said once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "link/frame.h"

namespace velmor {

// The values of the reply, in the order of the table: the flags of bytes 1
// to 4 bit by bit, then the values by their first byte.
enum class MonValue : std::uint8_t {
  // Byte 1, the inputs.
  StartSwitchIn, ClutchIn, Neutral, SideStand, StartLimiterIn, ClutchMasterIn, TachoLambdaIn,
  PinEngine23In,
  // Byte 2, the outputs and limiters.
  PinBody11In, StartSwitchOut, StartLimiterOut, IgnLimiter, JetLimiter, RetardLimiter, TachoOut, N2oOn,
  // Bytes 3 and 4, the status flags.
  ClutchMasterOut, BaseAdvance, PickupSignal, DataError, TpsFault,
  PressureFault, OilOk, LambdaHeater, Fan1, Fan2, BlockingOut, FuelWarning, TestsLocked,
  // The values.
  TpsWhole, Advance1, Advance2, Inj1, Inj2, Coolant, Air, Gear, ShiftLight, TpsTenth, TuningStatus,
  Afr, FuelMv, PinEngine14Mv, Rpm, PressureMv, Pressure, TpsMv, LambdaMv, CoolantMv, AirMv, SupplyMv,
  ProgramCount, Test1, Test2, Test3, Test4, Test5, Test6, Test7, Test8, StartTime, PositionA,
  CoolantCorr, AirCorr, PressureCorr, StartCorr, VoltageCorr, CoolantAdvCorr, Speed, RpmSpeedRatio,
  GearRatio1, GearRatio2, GearRatio3, GearRatio4, GearRatio5, GearRatio6, IdleAdvCorr, AccelCorr,
  UnitSaving, Version,
  Count
};

inline constexpr int kMonValueCount = static_cast<int>(MonValue::Count);

// One value of the reply. A value is `Width` bytes (low byte first) from
// `Offset`; its reading, in units of its last digit (A/F x 10, kPa x 10,
// tenths of a degree), is raw x Scale + Bias. A raw value outside
// MinRaw..MaxRaw is the unit's "no reading", and so is any value while its
// Fault flag is on. A flag is one bit of the byte at `Offset` (Width 0): on
// while the bit is set, or for most inputs while it is clear; its reading is
// 1 or 0.
struct MonitorSlot {
  MonValue Value;
  std::uint8_t Offset;
  std::uint8_t Width;
  std::uint8_t Bit = 0;
  bool OnWhenSet = true;
  std::int32_t Scale = 1;
  std::int32_t Bias = 0;
  std::int32_t MinRaw = 0;
  std::int32_t MaxRaw = 0xFFFF;
  MonValue Fault = MonValue::Count;  // Count: none
};

// Every row, in the order of MonValue.
std::span<const MonitorSlot> MonitorLayout();
const MonitorSlot& MonitorSlotOf(MonValue value);

// The value's bytes as they are (a flag: its bit).
int MonitorRaw(const std::uint8_t* frame, MonValue value);
// Whether a flag is on.
bool MonitorFlag(const std::uint8_t* frame, MonValue value);
// The reading, or none where the unit says it has none.
std::optional<std::int32_t> MonitorReading(const std::uint8_t* frame, MonValue value);

// Writes `raw` into the value's bytes, limited to what they hold.
void PutMonitorRaw(LinkFrame& frame, MonValue value, int raw);
void PutMonitorFlag(LinkFrame& frame, MonValue value, bool on);
// Writes the raw value that reads as `reading`, limited to what the value
// can carry; none writes "no reading" as the unit sends it: the raw value
// just below MinRaw (0 at least) and the Fault flag on. A flag is on for a
// reading other than 0 and off for none.
void PutMonitorReading(LinkFrame& frame, MonValue value, std::optional<std::int32_t> reading);

}  // namespace velmor

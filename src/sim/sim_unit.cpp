#include "sim_unit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/document.h"
#include "editor/operating_point.h"
#include "link/link_state.h"
#include "link/monitor_layout.h"
#include "link/output_tests.h"

namespace velmor::sim {

namespace {

constexpr double kSaveMs = 2500;  // a full save takes about 2.5 s

// The engine at time t: a loop of idling, pulling through the six gears and
// rolling off, repeated every 24 s, warming up over the first minutes.
struct EngineState {
  int Rpm, ThrottleX10, Gear, SpeedKmh, CoolantC, AirC, AfrX10, PressureX10;
};

constexpr int kGearRatioX10[6] = {1210, 905, 733, 622, 548, 497};

EngineState EngineAt(double nowMs) {
  const double t = nowMs / 1000.0;
  const double cycle = std::fmod(t, 24.0);
  EngineState e{};
  e.CoolantC = static_cast<int>(std::min(88.0, 22.0 + t * 0.6));
  e.AirC = 24 + static_cast<int>(2 * std::sin(t / 30));
  if (cycle < 4) {
    e.Rpm = 1250 + static_cast<int>(40 * std::sin(t * 3));
    e.ThrottleX10 = 0;
    e.Gear = 0;
  } else if (cycle < 4 + 6 * 2.5) {
    const double inGear = std::fmod(cycle - 4, 2.5) / 2.5;
    e.Gear = 1 + static_cast<int>((cycle - 4) / 2.5);
    e.Rpm = static_cast<int>(4500 + inGear * 5000);
    e.ThrottleX10 = 550 + static_cast<int>(350 * inGear);
  } else {
    const double roll = (cycle - 19) / 5;
    e.Gear = 6;
    e.Rpm = static_cast<int>(9500 - roll * 7000);
    e.ThrottleX10 = 20;
  }
  e.SpeedKmh = e.Gear == 0 ? 0 : e.Rpm * 10 / kGearRatioX10[e.Gear - 1];
  e.PressureX10 = 300 + e.ThrottleX10 * 7 / 10 + (e.Gear == 0 ? 0 : 20);
  e.AfrX10 = 132 + static_cast<int>(12 * std::sin(t * 1.7)) + (e.ThrottleX10 > 800 ? -8 : 0);
  return e;
}

// The sweep of the true-tune engine: warm, in third gear, on a dyno.
EngineState SweptEngineAt(double engineMs, const ParameterImage& memory) {
  const SweepPoint p = SweepAt(engineMs, memory);
  EngineState e{};
  e.Rpm = p.Rpm;
  e.ThrottleX10 = p.ThrottleX10;
  e.Gear = 3;
  e.SpeedKmh = e.Rpm * 10 / kGearRatioX10[2];
  e.CoolantC = 85;
  e.AirC = 25;
  e.PressureX10 = 300 + e.ThrottleX10 * 7 / 10;
  return e;
}

}  // namespace

SweepPoint SweepAt(double engineMs, const ParameterImage& memory) {
  constexpr int kRows[] = {2, 3, 4, 5, 6, 7, 8, 9};
  constexpr int kColumnsEven[] = {2, 4, 6, 8, 10, 12};
  constexpr int kColumnsOdd[] = {13, 11, 9, 7, 5, 3};
  constexpr int kPerRow = 6;
  constexpr int kPoints = 8 * kPerRow;
  constexpr double kDwellMs = kSweepPeriodMs / kPoints;
  constexpr double kMoveMs = 500;
  const auto pointAt = [&](int i) {
    i = (i % kPoints + kPoints) % kPoints;
    const int r = i / kPerRow, c = i % kPerRow;
    const int column = (r % 2 == 0 ? kColumnsEven : kColumnsOdd)[c];
    return SweepPoint{memory.P(kInj1Axis + column) * 100, kTpsRows[kRows[r]] * 10};
  };
  const double t = std::fmod(std::max(engineMs, 0.0), kSweepPeriodMs);
  const int index = static_cast<int>(t / kDwellMs);
  const double into = t - index * kDwellMs;
  const SweepPoint to = pointAt(index);
  SweepPoint now = to;
  if (into < kMoveMs) {
    const SweepPoint from = pointAt(index - 1);
    const double f = into / kMoveMs;
    now.Rpm = static_cast<int>(from.Rpm + (to.Rpm - from.Rpm) * f);
    now.ThrottleX10 = static_cast<int>(from.ThrottleX10 + (to.ThrottleX10 - from.ThrottleX10) * f);
  } else {
    // A steady hand is never quite steady: a little rpm and throttle
    // wander, kept inside the cell.
    now.Rpm += static_cast<int>(20 * std::sin(engineMs / 170.0));
    now.ThrottleX10 += static_cast<int>(2 + 2 * std::sin(engineMs / 230.0));
  }
  now.ThrottleX10 = std::clamp(now.ThrottleX10, 0, 1000);
  return now;
}

ParameterImage DefaultUnitMemory(int version) {
  // What a unit programmed by the tool holds: an image the tool's
  // normalisation pass and refresh leave as they are, so that a Read
  // verifies. The document starts as the defaults after one pass.
  Document document;
  for (int pass = 1; pass < 4; ++pass) document.NormaliseAndRefresh();
  ParameterImage image = document.Image;
  const char name[] = "Velmor simulated unit";
  image.I(0) = 'V';
  image.I(1) = 'L';
  image.I(2) = 'M';
  image.I(3) = 7;
  image.I(4) = 14;
  image.I(5) = 35;  // April
  image.I(6) = 24;
  image.I(7) = 9;
  image.I(8) = 30;
  image.I(kIdentityVersionByte) = static_cast<std::uint8_t>(version);
  std::memcpy(&image.I(16), name, sizeof name - 1);
  return image;
}

SimUnit::SimUnit(SimOptions options)
    : options_(options), memory_(DefaultUnitMemory(options.Version)), rng_(options.Seed) {}

bool SimUnit::Chance(double share) {
  if (share <= 0) return false;
  if (share >= 1) return true;
  return std::uniform_real_distribution<double>(0, 1)(rng_) < share;
}

void SimUnit::Receive(const std::uint8_t* data, std::size_t size, double nowMs) {
  for (std::size_t i = 0; i < size; ++i) {
    if (inbox_.empty()) inboxStartMs_ = nowMs;
    inbox_.push_back(data[i]);
    if (inbox_.size() < static_cast<std::size_t>(kFrameSize)) continue;
    // A request is a checked frame with bit 7 of its command clear; anything
    // else is line noise or a partial frame: skip a byte and look again.
    if (FrameChecksumValid(inbox_.data()) && (inbox_[0] & kReplyFlag) == 0) {
      LinkFrame request;
      std::copy_n(inbox_.begin(), kFrameSize, request.begin());
      // On a real line the last byte arrives one frame time after the first.
      const double arrived =
          options_.LineTiming ? std::max(nowMs, inboxStartMs_ + kFrameLineMs) : nowMs;
      const double started = inboxStartMs_;
      inbox_.clear();
      Handle(request, started, arrived);
    } else {
      inbox_.erase(inbox_.begin());
      ++counters_.DiscardedBytes;
      inboxStartMs_ = nowMs;
    }
  }
}

void SimUnit::Handle(const LinkFrame& request, double startedMs, double arrivedMs) {
  ++counters_.Requests;
  if (options_.RecordLine) lineLog_.push_back({false, startedMs, request});
  const std::uint8_t command = request[0];
  const int block = command & kBlockIndexMask;
  LinkFrame reply{};
  reply[0] = command ^ kReplyFlag;
  memory_.I(kIdentityVersionByte) = static_cast<std::uint8_t>(options_.Version);

  if (command == kPollCommand) {
    ++counters_.Polls;
    reply = MonitorReply(arrivedMs, request);
  } else if (block < kBlockCount) {
    if (command & kReadFlag) {
      ++counters_.Reads;
    } else {
      ++counters_.Writes;
      if (block != 0) {
        std::copy_n(request.begin() + 1, kBlockSize, memory_.Block(block).begin());
        lastWriteMs_ = arrivedMs;
        if (block == kLastBlock) ++programCount_;
      }
    }
    const auto stored = memory_.Block(block);
    std::copy(stored.begin(), stored.end(), reply.begin() + 1);
    SealFrame(reply);
  } else {
    return;  // not a command the unit knows
  }

  if (options_.Silent || Chance(options_.DropShare)) {
    ++counters_.Dropped;
    return;
  }
  if (Chance(options_.CorruptShare)) {
    reply[kChecksumIndex] ^= 0x5A;
    ++counters_.Corrupted;
  }
  Pending p;
  if (Chance(options_.NoiseShare)) {
    const int n = std::uniform_int_distribution<int>(1, 7)(rng_);
    for (int i = 0; i < n; ++i)
      p.Bytes.push_back(static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng_)));
    ++counters_.Noisy;
  }
  p.Bytes.insert(p.Bytes.end(), reply.begin(), reply.end());
  p.Reply = reply;
  double due = arrivedMs + kUnitTurnaroundMs + options_.DelayMs;
  if (options_.LineTiming) {
    // The reply occupies the line for one frame time after it starts.
    const double start = std::max(due, lineFreeMs_);
    due = start + kFrameLineMs * static_cast<double>(p.Bytes.size()) / kFrameSize;
    lineFreeMs_ = due;
  }
  p.DueMs = due;
  outbox_.push_back(std::move(p));
  ++counters_.Replies;
}

int SimUnit::TrueAfrX10(int rpm, int throttleX10) const {
  if (!options_.TrueTune) return 0;
  const int k = MapCell(LocateTpsRow(static_cast<std::uint16_t>(throttleX10 / 10)),
                        LocateRpm(memory_, kInj1Axis, static_cast<std::uint16_t>(std::clamp(rpm, 0, 65535))));
  const int programmed = memory_.Word(kInj1Map + 2 * k);
  const int needed = options_.TrueTune->Word(kInj1Map + 2 * k);
  // No fuel at all reads as lean as the sensor goes.
  if (programmed == 0) return 199;
  return std::clamp((2 * 132 * needed + programmed) / (2 * programmed), 1, 255);
}

LinkFrame SimUnit::MonitorReply(double nowMs, const LinkFrame& poll) {
  const double engineMs = nowMs * options_.EngineSpeed;
  EngineState e = options_.TrueTune ? SweptEngineAt(engineMs, memory_) : EngineAt(engineMs);
  if (options_.TrueTune) {
    e.AfrX10 = TrueAfrX10(e.Rpm, e.ThrottleX10);
    if (options_.AfrNoise) e.AfrX10 = std::max(1, e.AfrX10 + std::uniform_int_distribution<int>(-1, 1)(rng_));
  }
  using V = MonValue;
  LinkFrame f{};
  f[0] = kMonitorReply;
  // Of the inputs only the neutral switch, in neutral, and pin body 11 are
  // on; the tacho/lambda output drives the tacho.
  for (V input : {V::StartSwitchIn, V::ClutchIn, V::SideStand, V::StartLimiterIn, V::ClutchMasterIn,
                  V::TachoLambdaIn, V::PinEngine23In})
    PutMonitorFlag(f, input, false);
  PutMonitorFlag(f, V::Neutral, e.Gear == 0);
  PutMonitorFlag(f, V::PinBody11In, true);
  PutMonitorFlag(f, V::JetLimiter, e.Rpm > 9300);
  PutMonitorFlag(f, V::TachoOut, true);
  PutMonitorFlag(f, V::PickupSignal, e.Rpm > 0);
  PutMonitorFlag(f, V::OilOk, true);
  PutMonitorFlag(f, V::LambdaHeater, true);
  PutMonitorFlag(f, V::Fan1, e.CoolantC > 95);
  PutMonitorRaw(f, V::TpsWhole, e.ThrottleX10 / 10);
  PutMonitorRaw(f, V::TpsTenth, e.ThrottleX10 % 10);
  const int advance = std::clamp(10 + e.Rpm / 300, 0, 45);
  PutMonitorRaw(f, V::Advance1, advance);
  PutMonitorRaw(f, V::Advance2, advance + 1);
  int injection = std::clamp(15 + e.ThrottleX10 / 15, 0, 255);  // 100 µs
  if (options_.TrueTune) {
    const int k = MapCell(LocateTpsRow(static_cast<std::uint16_t>(e.ThrottleX10 / 10)),
                          LocateRpm(memory_, kInj1Axis, static_cast<std::uint16_t>(e.Rpm)));
    injection = std::clamp((memory_.Word(kInj1Map + 2 * k) + 50) / 100, 0, 255);
  }
  PutMonitorRaw(f, V::Inj1, injection);
  PutMonitorRaw(f, V::Inj2, injection);
  PutMonitorReading(f, V::Coolant, e.CoolantC);
  PutMonitorReading(f, V::Air, e.AirC);
  PutMonitorRaw(f, V::Gear, e.Gear);
  PutMonitorRaw(f, V::ShiftLight, e.Rpm > 9000 ? 2 : 0);
  PutMonitorRaw(f, V::Afr, e.AfrX10);
  PutMonitorRaw(f, V::FuelMv, 3200);
  PutMonitorRaw(f, V::PinEngine14Mv, 4800);
  PutMonitorRaw(f, V::Rpm, e.Rpm);
  PutMonitorRaw(f, V::PressureMv, 1000 + e.PressureX10 * 3);
  PutMonitorRaw(f, V::Pressure, e.PressureX10);
  PutMonitorRaw(f, V::TpsMv, 480 + e.ThrottleX10 * 4);
  PutMonitorRaw(f, V::LambdaMv, 900 - (e.AfrX10 - 100) * 15);
  PutMonitorRaw(f, V::CoolantMv, 3600 - e.CoolantC * 25);
  PutMonitorRaw(f, V::AirMv, 3600 - e.AirC * 25);
  PutMonitorRaw(f, V::SupplyMv, 13800 + static_cast<int>(100 * std::sin(nowMs / 700)));
  PutMonitorRaw(f, V::ProgramCount, programCount_);
  PutMonitorRaw(f, V::StartTime, static_cast<int>(std::min(engineMs / 100, 60000.0)));
  PutMonitorRaw(f, V::PositionA, advance + 2);
  PutMonitorRaw(f, V::CoolantCorr, std::max(0, (70 - e.CoolantC) * 5));
  PutMonitorRaw(f, V::AirCorr, 1000 - (e.AirC - 20) * 3);
  PutMonitorRaw(f, V::PressureCorr, 1000);
  PutMonitorRaw(f, V::StartCorr, engineMs < 8000 ? 250 : 0);
  PutMonitorReading(f, V::VoltageCorr, (13800 - 13800) / 10);
  PutMonitorReading(f, V::CoolantAdvCorr, 0);
  PutMonitorRaw(f, V::Speed, e.SpeedKmh);
  PutMonitorRaw(f, V::RpmSpeedRatio, e.Gear == 0 ? 0 : kGearRatioX10[e.Gear - 1]);
  for (int g = 0; g < 6; ++g)
    PutMonitorRaw(f, static_cast<V>(static_cast<int>(V::GearRatio1) + g), kGearRatioX10[g]);
  PutMonitorReading(f, V::IdleAdvCorr, e.Gear == 0 ? 15 : 0);
  PutMonitorRaw(f, V::AccelCorr, e.ThrottleX10 > 700 ? 45 : 0);
  PutMonitorRaw(f, V::UnitSaving, SavingAt(nowMs));
  PutMonitorRaw(f, V::Version, options_.Version);

  // Closed-loop tuning: with tuning on the unit nudges the cell it runs in
  // towards the target and says what it did.
  std::uint8_t status = 2;
  if (poll[1] == 1) {
    const int target = poll[4], hysteresis = poll[6], channel = poll[12];
    if (e.Rpm == 0) {
      status = 0;
    } else if (e.ThrottleX10 > 800) {
      status = 3;
    } else if (e.AfrX10 > target + hysteresis || e.AfrX10 < target - hysteresis) {
      status = e.AfrX10 > target ? 11 : 12;
      if (channel == 1 || channel == 2) {
        const int block = 3 + 2 * channel + (e.Rpm / 700) % 2;
        const int at = 2 * ((e.Rpm / 100 + e.ThrottleX10 / 50) % (kBlockSize / 2));
        auto b = memory_.Block(block);
        int word = b[at] | (b[at + 1] << 8);
        word = std::clamp(word + (status == 11 ? 1 : -1), 0, 60000);
        b[at] = static_cast<std::uint8_t>(word & 0xFF);
        b[at + 1] = static_cast<std::uint8_t>(word >> 8);
      }
    } else {
      status = 13;
    }
  }
  lastTuningStatus_ = status;
  PutMonitorRaw(f, V::TuningStatus, status);

  // Output tests: note what was asked for.
  std::string line;
  for (const TestButton& b : kTestButtons)
    if (poll[20 + b.FlagByte] & b.Bit) line += (line.empty() ? "" : " ") + std::string(b.Name);
  if (!line.empty()) testLog_.push_back(line);

  SealFrame(f);
  return f;
}

std::uint16_t SimUnit::SavingAt(double nowMs) const {
  const double since = nowMs - lastWriteMs_;
  if (since < 0 || since >= kSaveMs) return 0;
  return static_cast<std::uint16_t>(std::max(1.0, kSaveCount * (1 - since / kSaveMs)));
}

void SimUnit::Collect(double nowMs, std::vector<std::uint8_t>& out) {
  while (!outbox_.empty() && outbox_.front().DueMs <= nowMs) {
    if (options_.RecordLine) lineLog_.push_back({true, nowMs, outbox_.front().Reply});
    out.insert(out.end(), outbox_.front().Bytes.begin(), outbox_.front().Bytes.end());
    outbox_.pop_front();
  }
}

double SimUnit::NextDueMs() const {
  return outbox_.empty() ? std::numeric_limits<double>::infinity() : outbox_.front().DueMs;
}

void SimUnit::ResetLine() {
  inbox_.clear();
  outbox_.clear();
  lineFreeMs_ = 0;
}

}  // namespace velmor::sim

#include "sim_unit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/document.h"
#include "editor/operating_point.h"
#include "link/link_state.h"
#include "link/output_tests.h"

namespace velmor::sim {

namespace {

constexpr double kSaveMs = 2500;  // a full save takes about 2.5 s

void PutWord(LinkFrame& f, int offset, int value) {
  value = std::clamp(value, 0, 0xFFFF);
  f[offset] = static_cast<std::uint8_t>(value & 0xFF);
  f[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

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
  LinkFrame f{};
  f[0] = kMonitorReply;
  // Inputs: a clear bit means active for most of them.
  std::uint8_t b1 = 0xFF;
  if (e.Gear == 0) b1 |= 0x04; else b1 &= ~0x04;
  f[1] = b1;
  f[2] = static_cast<std::uint8_t>((e.Rpm > 9300 ? 0x10 : 0) | 0x40);
  f[3] = e.Rpm > 0 ? 0x20 : 0;
  f[4] = static_cast<std::uint8_t>(0x02 | 0x04 | (e.CoolantC > 95 ? 0x08 : 0));
  f[9] = static_cast<std::uint8_t>(e.ThrottleX10 / 10);
  f[28] = static_cast<std::uint8_t>(e.ThrottleX10 % 10);
  const int advance = std::clamp(10 + e.Rpm / 300, 0, 45);
  f[10] = static_cast<std::uint8_t>(advance);
  f[11] = static_cast<std::uint8_t>(advance + 1);
  int injection = std::clamp(15 + e.ThrottleX10 / 15, 0, 255);  // 100 µs
  if (options_.TrueTune) {
    const int k = MapCell(LocateTpsRow(static_cast<std::uint16_t>(e.ThrottleX10 / 10)),
                          LocateRpm(memory_, kInj1Axis, static_cast<std::uint16_t>(e.Rpm)));
    injection = std::clamp((memory_.Word(kInj1Map + 2 * k) + 50) / 100, 0, 255);
  }
  f[14] = static_cast<std::uint8_t>(injection);
  f[15] = static_cast<std::uint8_t>(injection);
  f[23] = static_cast<std::uint8_t>(e.CoolantC + 100);
  f[24] = static_cast<std::uint8_t>(e.AirC + 100);
  f[25] = static_cast<std::uint8_t>(e.Gear);
  f[27] = e.Rpm > 9000 ? 2 : 0;
  f[30] = static_cast<std::uint8_t>(e.AfrX10);
  PutWord(f, 44, 3200);
  PutWord(f, 46, 4800);
  PutWord(f, 48, e.Rpm);
  PutWord(f, 50, 1000 + e.PressureX10 * 3);
  PutWord(f, 52, e.PressureX10);
  PutWord(f, 56, 480 + e.ThrottleX10 * 4);
  PutWord(f, 58, 900 - (e.AfrX10 - 100) * 15);
  PutWord(f, 60, 3600 - e.CoolantC * 25);
  PutWord(f, 62, 3600 - e.AirC * 25);
  PutWord(f, 64, 13800 + static_cast<int>(100 * std::sin(nowMs / 700)));
  PutWord(f, 76, programCount_);
  PutWord(f, 94, static_cast<int>(std::min(engineMs / 100, 60000.0)));
  PutWord(f, 96, advance + 2);
  PutWord(f, 100, std::max(0, (70 - e.CoolantC) * 5));
  PutWord(f, 102, 1000 - (e.AirC - 20) * 3);
  PutWord(f, 104, 1000);
  PutWord(f, 106, engineMs < 8000 ? 250 : 0);
  PutWord(f, 108, 1000 + (13800 - 13800) / 10);
  PutWord(f, 110, 1000);
  PutWord(f, 116, e.SpeedKmh);
  PutWord(f, 120, e.Gear == 0 ? 0 : kGearRatioX10[e.Gear - 1]);
  for (int g = 0; g < 6; ++g) PutWord(f, 122 + 2 * g, kGearRatioX10[g]);
  PutWord(f, 134, 1000 + (e.Gear == 0 ? 15 : 0));
  PutWord(f, 136, e.ThrottleX10 > 700 ? 45 : 0);
  PutWord(f, 148, SavingAt(nowMs));
  f[150] = static_cast<std::uint8_t>(options_.Version);

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
  f[29] = lastTuningStatus_ = status;

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

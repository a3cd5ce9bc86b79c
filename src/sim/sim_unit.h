// The simulated unit: the frame protocol as the unit's firmware speaks it,
// with ten stored blocks, a small engine model behind the monitor replies,
// the save countdown after programming, tuning status codes, a log of output
// test requests and injectable faults. Plain C++; time is passed in.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "link/frame.h"
#include "model/image.h"

namespace velmor::sim {

struct SimOptions {
  int Version = kProtocolVersion;  // reported in I+10 and monitor byte 150
  double DropShare = 0;            // share of requests left unanswered
  double CorruptShare = 0;         // share of replies with a wrong checksum
  double NoiseShare = 0;           // share of replies preceded by noise bytes
  double DelayMs = 0;              // extra time before every reply
  bool Silent = false;             // answer nothing at all
  bool LineTiming = false;         // 57600 baud: 26.4 ms per frame each way
  std::uint32_t Seed = 1;
  // The engine's real fuel needs: with a true tune the engine runs a sweep
  // over the map, and its A/F at each operating point is 13.2 × Tt ÷ Tp, Tt
  // the true tune's time of map 1's cell there and Tp the time programmed.
  std::optional<ParameterImage> TrueTune;
  bool AfrNoise = true;            // ±0.1 A/F on the true tune's reading
  double EngineSpeed = 1;          // the engine's clock runs this much faster
  bool RecordLine = false;         // keep every request and reply in LineLog()
};

// One frame on the line: a request as the unit took it (from the time its
// first byte came) or a reply as the unit sent it (at the time its last byte
// left). Noise before a reply is not part of it.
struct LineEvent {
  bool FromUnit = false;
  double Ms = 0;
  LinkFrame Frame{};
};

// 152 bytes at 57600 baud, ten bits a byte.
inline constexpr double kFrameLineMs = kFrameSize * 10 * 1000.0 / 57600.0;
inline constexpr double kUnitTurnaroundMs = 0.5;

struct SimCounters {
  std::uint32_t Requests = 0;
  std::uint32_t Replies = 0;
  std::uint32_t Dropped = 0;
  std::uint32_t Corrupted = 0;
  std::uint32_t Noisy = 0;
  std::uint32_t Writes = 0;
  std::uint32_t Reads = 0;
  std::uint32_t Polls = 0;
  std::uint32_t DiscardedBytes = 0;  // bytes skipped while resynchronising
};

class SimUnit {
 public:
  explicit SimUnit(SimOptions options = {});

  // Bytes that came in from the line at `nowMs`.
  void Receive(const std::uint8_t* data, std::size_t size, double nowMs);
  // Appends the reply bytes due by `nowMs` to `out`.
  void Collect(double nowMs, std::vector<std::uint8_t>& out);
  // When the next reply is due (infinity when none is pending).
  double NextDueMs() const;
  // Drops requests half received and replies not yet sent (the line was
  // closed).
  void ResetLine();

  SimOptions& Options() { return options_; }
  const SimCounters& Counters() const { return counters_; }
  ParameterImage& Memory() { return memory_; }
  const ParameterImage& Memory() const { return memory_; }
  // Output-test requests, one line per poll that carried any:
  // "ButtonTestJet1A ButtonTestIgn2".
  const std::vector<std::string>& TestLog() const { return testLog_; }
  // Save counter as word 148 reports it at `nowMs`.
  std::uint16_t SavingAt(double nowMs) const;
  std::uint8_t LastTuningStatus() const { return lastTuningStatus_; }
  // With SimOptions::RecordLine, every frame in order.
  const std::vector<LineEvent>& LineLog() const { return lineLog_; }
  // The A/F the engine burns at this operating point with the true tune
  // (A/F × 10, without noise); 0 without a true tune.
  int TrueAfrX10(int rpm, int throttleX10) const;

  // The monitor reply the unit would send at `nowMs` for a poll frame.
  LinkFrame MonitorReply(double nowMs, const LinkFrame& poll);

 private:
  struct Pending {
    double DueMs;
    std::vector<std::uint8_t> Bytes;
    LinkFrame Reply{};
  };
  void Handle(const LinkFrame& request, double startedMs, double arrivedMs);
  bool Chance(double share);

  SimOptions options_;
  ParameterImage memory_;
  SimCounters counters_;
  std::vector<std::uint8_t> inbox_;
  double inboxStartMs_ = 0;
  double lineFreeMs_ = 0;
  std::deque<Pending> outbox_;
  std::vector<std::string> testLog_;
  std::vector<LineEvent> lineLog_;
  double lastWriteMs_ = -1e9;
  std::uint16_t programCount_ = 3;
  std::uint8_t lastTuningStatus_ = 2;
  std::mt19937 rng_;
};

// The operating point of the sweep the engine runs with a true tune, at
// `engineMs` on the engine's clock, over map 1's axis in `memory`: every
// throttle row from 5 % up, six rpm points a row, 2.5 s at each (half a
// second moving there, two seconds steady), back to the start every 120 s.
struct SweepPoint {
  int Rpm;
  int ThrottleX10;
};
inline constexpr double kSweepPeriodMs = 120000;
SweepPoint SweepAt(double engineMs, const ParameterImage& memory);

// A plausible configuration: the defaults of the first model, normalised.
ParameterImage DefaultUnitMemory(int version);

}  // namespace velmor::sim

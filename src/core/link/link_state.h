// The link's record and the port fields kept next to it.
#pragma once

#include <array>
#include <cstdint>

#include "link/frame.h"
#include "model/image.h"

namespace velmor {

enum class LinkMode : std::uint16_t { Idle = 0, Program = 1, Verify = 2, Read = 3 };

// Tick constants.
inline constexpr int kResendTicks = 6;         // 330 ms: resend (transfers) or next poll (idle)
inline constexpr int kAttemptLimit = 5;        // sends per block
inline constexpr int kStatusHoldTicks = 200;   // 11 s
inline constexpr int kConnectionTicks = 24;    // silence before "no connection"
inline constexpr int kReconnectTicks = 30;     // silent ticks between reopen attempts
inline constexpr int kStartTicksSinceReply = 18;
inline constexpr int kSaveCount = 2756;        // the unit's save counter start value
inline constexpr int kGaugeMax = 10;           // CGaugeProgram: one step per block
inline constexpr int kRxBufferSize = 15000;

struct LinkState {
  LinkMode Mode = LinkMode::Idle;
  std::uint8_t Command = 0;
  std::uint8_t BlockIndex = 0;
  std::uint16_t TicksSinceSend = 0;
  std::uint16_t Attempts = 0;
  std::uint16_t TicksSinceReply = kStartTicksSinceReply;
  std::uint16_t StatusCountdown = 0;
  std::array<std::uint8_t, kBlockCount> BlockFlags{};
  bool VerifyAfterProgram = false;
  bool ProgramDone = false;
  // Programming after a change was asked for while another transaction ran;
  // the marked blocks go out when that transaction has completed.
  bool ProgrammingWaits = false;
  std::uint8_t TuningPhase = 0;
  std::array<std::uint8_t, 4> TestFlags{};
  std::uint16_t UnitSaving = 0;
  LinkFrame TxFrame{};
  std::array<std::uint8_t, kRxBufferSize> RxBuffer{};
  std::uint32_t RxCount = 0;
};

// "Com Auto" is the 21st entry of the port menu.
inline constexpr std::uint8_t kPortAuto = 20;
inline constexpr int kPortMenuItems = 21;

struct PortState {
  std::uint8_t PortSelection = 0;  // 0..19 = COM1..COM20, 20 = automatic search
  std::uint8_t ScanIndex = 0;      // automatic search opens COM(ScanIndex + 1)
  bool SilentOpen = false;
  std::uint8_t ReconnectTicks = 0;
  bool OpenAttempted = false;      // the "handle" is no longer 0
};

}  // namespace velmor

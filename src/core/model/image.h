// The configuration image: 1500 bytes, ten blocks of 150 bytes. Block 0 is the
// unit's identity (I+n), blocks 1..9 the parameter area (P+n, n = 0..1349).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace velmor {

inline constexpr int kBlockSize = 150;
inline constexpr int kBlockCount = 10;
inline constexpr int kImageSize = kBlockSize * kBlockCount;
inline constexpr int kParamSize = kImageSize - kBlockSize;  // 1350
// The parameter blocks: the unit stores 1..9; block 0 only tells who it is.
inline constexpr int kFirstParamBlock = 1;
inline constexpr int kLastBlock = kBlockCount - 1;

struct ParameterImage {
  std::array<std::uint8_t, kImageSize> Bytes{};

  // Parameter-area byte P+n.
  std::uint8_t& P(int n) { return Bytes[kBlockSize + n]; }
  std::uint8_t P(int n) const { return Bytes[kBlockSize + n]; }
  // Identity-block byte I+n.
  std::uint8_t& I(int n) { return Bytes[n]; }
  std::uint8_t I(int n) const { return Bytes[n]; }

  // Little-endian word at the even offset P+n.
  std::uint16_t Word(int n) const {
    return static_cast<std::uint16_t>(P(n) | (P(n + 1) << 8));
  }
  void SetWord(int n, std::uint16_t value) {
    P(n) = static_cast<std::uint8_t>(value & 0xFF);
    P(n + 1) = static_cast<std::uint8_t>(value >> 8);
  }

  std::span<std::uint8_t, kBlockSize> Block(int b) {
    return std::span<std::uint8_t, kBlockSize>(Bytes.data() + kBlockSize * b, kBlockSize);
  }
  std::span<const std::uint8_t, kBlockSize> Block(int b) const {
    return std::span<const std::uint8_t, kBlockSize>(Bytes.data() + kBlockSize * b, kBlockSize);
  }
  std::span<std::uint8_t, kParamSize> ParamArea() {
    return std::span<std::uint8_t, kParamSize>(Bytes.data() + kBlockSize, kParamSize);
  }
  std::span<const std::uint8_t, kParamSize> ParamArea() const {
    return std::span<const std::uint8_t, kParamSize>(Bytes.data() + kBlockSize, kParamSize);
  }

  bool operator==(const ParameterImage&) const = default;
};

// The block that holds P+n.
constexpr int BlockOfParam(int n) { return 1 + n / kBlockSize; }

// Editor pages (tab index).
enum PageIndex : int {
  PageBike = 0,
  PageAdvance = 1,
  PageInj1 = 2,
  PageInj2 = 3,
  PagePosition = 4,
  PageCorrections = 5,
  PageSensors = 6,
  PageIdle = 7,
  PageN2O = 8,
  PageGear = 9,
  PageRace = 10,
  PageTuning = 11,
  PageMonitor = 12,
  PageCount = 13
};

// The three pages of the map editor: advance and the two injection maps.
constexpr bool IsMapPage(int page) { return page >= PageAdvance && page <= PageInj2; }

// Injection-map mode held in P+47.
enum MapMode : std::uint8_t { MapModeNormal = 0, MapModeCoupled = 1, MapModeEqual = 2 };
inline constexpr int kMapModeByte = 47;

// Fixed throttle rows of every map, in %, and the load breakpoints in 0.1 %.
inline constexpr std::array<int, 10> kTpsRows{0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
inline constexpr int kMapRows = 10;
inline constexpr int kMapColumns = 15;
inline constexpr int kMapCells = kMapRows * kMapColumns;
constexpr int MapCell(int row, int column) { return kMapColumns * row + column; }

// Offsets of the maps and axes in the parameter area.
inline constexpr int kAdvanceAxis = 405;
inline constexpr int kInj1Axis = 420;
inline constexpr int kInj2Axis = 435;
inline constexpr int kPositionAxis = 375;
inline constexpr int kAdvanceMap = 450;
inline constexpr int kInj1Map = 600;  // word map
inline constexpr int kInj2Map = 900;  // word map
inline constexpr int kMemoStart = 1200;
inline constexpr int kMemoSize = 150;

}  // namespace velmor

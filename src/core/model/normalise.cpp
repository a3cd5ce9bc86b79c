#include "model/normalise.h"

#include <algorithm>

namespace velmor {
namespace {

// Ascending rule over n bytes or words: raise entry i to at least lo + i, lower
// it to at most hi - (n - 1) + i, then make each entry exceed its predecessor.
// The first two steps leave room for the third, so the result always rises
// strictly within lo..hi.
template <typename Get, typename Set>
void Ascending(int n, int lo, int hi, Get get, Set set) {
  for (int i = 0; i < n; ++i) {
    if (get(i) < lo + i) set(i, lo + i);
  }
  for (int i = 0; i < n; ++i) {
    if (get(i) > hi - (n - 1) + i) set(i, hi - (n - 1) + i);
  }
  for (int i = 1; i < n; ++i) {
    if (get(i) <= get(i - 1)) set(i, get(i - 1) + 1);
  }
}

template <typename Get, typename Set>
void Descending(int n, int lo, int hi, Get get, Set set) {
  for (int i = 0; i < n; ++i) {
    if (get(i) < lo + (n - 1) - i) set(i, lo + (n - 1) - i);
  }
  for (int i = 0; i < n; ++i) {
    if (get(i) > hi - i) set(i, hi - i);
  }
  for (int i = 1; i < n; ++i) {
    if (get(i) >= get(i - 1)) set(i, get(i - 1) - 1);
  }
}

void AscendingBytes(ParameterImage& img, int s, int n, int lo, int hi) {
  Ascending(
      n, lo, hi, [&](int i) { return int{img.P(s + i)}; },
      [&](int i, int v) { img.P(s + i) = static_cast<std::uint8_t>(v); });
}
void AscendingWords(ParameterImage& img, int s, int n, int lo, int hi) {
  Ascending(
      n, lo, hi, [&](int i) { return int{img.Word(s + 2 * i)}; },
      [&](int i, int v) { img.SetWord(s + 2 * i, static_cast<std::uint16_t>(v)); });
}
void DescendingWords(ParameterImage& img, int s, int n, int lo, int hi) {
  Descending(
      n, lo, hi, [&](int i) { return int{img.Word(s + 2 * i)}; },
      [&](int i, int v) { img.SetWord(s + 2 * i, static_cast<std::uint16_t>(v)); });
}
void ClampBytes(ParameterImage& img, int s, int n, int lo, int hi) {
  for (int i = 0; i < n; ++i) img.P(s + i) = static_cast<std::uint8_t>(std::clamp<int>(img.P(s + i), lo, hi));
}
void AtMost(ParameterImage& img, int n, int hi) {
  if (img.P(n) > hi) img.P(n) = static_cast<std::uint8_t>(hi);
}
void AtLeast(ParameterImage& img, int n, int lo) {
  if (img.P(n) < lo) img.P(n) = static_cast<std::uint8_t>(lo);
}
void RaiseTo(ParameterImage& img, int n, int other) {
  if (img.P(n) < img.P(other)) img.P(n) = img.P(other);
}

}  // namespace

NormaliseResult Normalise(ParameterImage& img, PersistedSelection& selection) {
  NormaliseResult result;

  // 1. Every rpm axis runs from at least 300 to at most 25000 rpm and rises.
  for (int axis : {kAdvanceAxis, kInj1Axis, kInj2Axis, kPositionAxis}) AscendingBytes(img, axis, 15, 3, 250);
  // 2, 3. Advance map and both injection maps.
  ClampBytes(img, kAdvanceMap, kMapCells, 0, 60);
  for (int k = 0; k < 2 * kMapCells; ++k) {
    const int at = kInj1Map + 2 * k;
    if (img.Word(at) > 60000) img.SetWord(at, 60000);
  }
  // 4. Throttle sensor and start injection.
  AtMost(img, 33, 250);
  AtMost(img, 34, 250);
  AtMost(img, 92, 50);
  // 5. After-start correction.
  AscendingBytes(img, 67, 4, 0, 250);
  ClampBytes(img, 71, 4, 0, 250);
  // 6. The second pilot light never comes before the first.
  for (int i = 0; i < 6; ++i) RaiseTo(img, 114 + i, 108 + i);
  // 7. Nitrous.
  AtMost(img, 99, 100);
  AtMost(img, 100, 100);
  RaiseTo(img, 100, 99);
  AtLeast(img, 101, 1);
  AtMost(img, 102, 200);
  AtMost(img, 101, 200);
  AtMost(img, 103, 25);
  AtMost(img, 104, 25);
  RaiseTo(img, 104, 103);
  AtMost(img, 106, 200);
  AtLeast(img, 105, 1);
  AtMost(img, 105, 200);
  RaiseTo(img, 159, 158);
  // 8. Persisted selections index fixed tables.
  if (selection.Language > 3) selection.Language = 0;
  if (selection.PortSelection >= 21) selection.PortSelection = 0;
  if (selection.ScanIndex >= 20) selection.ScanIndex = 0;
  // 9. Base advance.
  AtMost(img, 45, 40);
  // 10. Equal voltages would make the pressure sensor's line vertical.
  result.PressureVoltagesEqual = img.Word(8) == img.Word(12);
  // 11. Temperature sensors: the voltage falls as the temperature rises.
  DescendingWords(img, 194, 9, 0, 5000);
  DescendingWords(img, 212, 9, 0, 5000);
  // 12. The step-motor pulse fits in its period.
  if (img.P(337) > img.P(338)) img.P(337) = img.P(338);
  // 13. The tuning channel names the injection map the unit tunes: 1 or 2,
  // and only 1 while coupled or equal maps make map 2 follow map 1. The limit
  // comes from the map mode this image holds: a unit read right after
  // start-up (whose refresh showed the defaults' " 1 = 2") keeps channel 2 of
  // its separate maps, and its verify finds what it read. A channel of 0 would
  // make the tuning read fetch blocks 3 and 4, which hold no map.
  const std::uint8_t mapMode = img.P(kMapModeByte);
  const int channelLimit = (mapMode == MapModeCoupled || mapMode == MapModeEqual) ? 1 : 2;
  AtLeast(img, 300, 1);
  AtMost(img, 300, channelLimit);
  // 14, 15. Lambda sensor points.
  AscendingBytes(img, 303, 5, 100, 200);
  if (img.P(302) == 1) {
    AscendingWords(img, 308, 5, 0, 5000);
  } else {
    DescendingWords(img, 308, 5, 0, 5000);
  }
  // 16. Lambda on the tachometer output.
  AscendingBytes(img, 318, 2, 100, 200);
  ClampBytes(img, 320, 2, 3, 250);
  // 17. Lambda bar scale.
  AscendingBytes(img, 322, 4, 100, 200);
  return result;
}

}  // namespace velmor

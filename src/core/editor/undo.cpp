#include "editor/undo.h"

#include <algorithm>
#include <cstring>

#include "link/frame.h"
#include "link/output_tests.h"

namespace velmor {
namespace {

constexpr std::uint16_t Next(std::uint16_t slot) { return slot + 1 == kUndoSlots ? 0 : slot + 1; }
constexpr std::uint16_t Previous(std::uint16_t slot) { return slot == 0 ? kUndoSlots - 1 : slot - 1; }

constexpr int kMap1FirstBlock = BlockOfParam(kInj1Map);
constexpr int kMapBlocks = BlockOfParam(kInj2Map) - kMap1FirstBlock;  // map 2 lies this many blocks on

// The blocks the tuning cycle reads for the image's channel.
std::array<int, 2> TuningBlocks(const ParameterImage& image) {
  const std::uint8_t channel = image.P(kTuningChannelOffset);
  return {TuningReadCommand(channel, 0) & kBlockIndexMask, TuningReadCommand(channel, 1) & kBlockIndexMask};
}

RestoreResult ApplyStep(UndoRing& ring, const UndoStep& step, bool forward, ParameterImage& image, int page,
                        BlockMarks& marks, const ProgrammingSwitches& switches) {
  RestoreResult result;
  result.Moved = true;
  std::array<bool, kBlockCount> written{};
  for (const ByteChange& c : step.Changes) {
    const std::uint8_t from = forward ? c.Before : c.After;
    const std::uint8_t to = forward ? c.After : c.Before;
    if (image.P(c.Offset) != from) continue;  // changed since, by the unit or an unrecorded edit
    image.P(c.Offset) = to;
    ring.Recorded[c.Offset] = to;
    written[BlockOfParam(c.Offset)] = true;
    result.Changed = true;
  }
  if (step.Page != page) result.Page = step.Page;
  std::array<bool, kBlockCount> tuned{};
  if (switches.TuningOn) {
    for (int b : TuningBlocks(image)) {
      if (b < kBlockCount) tuned[b] = true;
    }
  }
  bool programmable = false;
  for (int b = 1; b < kBlockCount; ++b) {
    if (written[b] && !tuned[b]) {
      marks[b] = 1;
      programmable = true;
    }
  }
  result.StartProgramming = switches.ProgramAfterChange && programmable;
  if (result.StartProgramming) {
    for (int b = 1; b < kBlockCount; ++b) {
      if (tuned[b]) marks[b] = 0;
    }
  }
  return result;
}

}  // namespace

void InitUndo(UndoRing& ring, const ParameterImage& image, int /*page*/) {
  ring.Current = ring.Oldest = ring.Newest = 0;
  for (UndoStep& s : ring.Slots) s.Changes.clear();
  const auto area = image.ParamArea();
  std::copy(area.begin(), area.end(), ring.Recorded.begin());
}

PushResult PushUndo(UndoRing& ring, const ParameterImage& image, int page, BlockMarks& marks,
                    const ProgrammingSwitches& switches) {
  PushResult result;
  const std::uint8_t* area = image.ParamArea().data();
  std::vector<ByteChange> changes;
  // Whole blocks first: the common push finds nothing, and memcmp keeps that
  // cheap.
  for (int b = 0; b < kBlockCount - 1; ++b) {
    const int start = b * kBlockSize;
    if (std::memcmp(area + start, ring.Recorded.data() + start, kBlockSize) == 0) continue;
    marks[1 + b] = 1;
    for (int n = start; n < start + kBlockSize; ++n) {
      if (area[n] != ring.Recorded[n]) {
        changes.push_back({static_cast<std::uint16_t>(n), ring.Recorded[n], area[n]});
        ring.Recorded[n] = area[n];
      }
    }
  }
  result.Changed = !changes.empty();
  if (result.Changed) {
    ring.Current = Next(ring.Current);
    ring.Newest = ring.Current;
    if (ring.Current == ring.Oldest) ring.Oldest = Next(ring.Oldest);
    UndoStep& step = ring.Slots[ring.Current];
    step.Changes = std::move(changes);
    step.Page = static_cast<std::uint8_t>(page);
  }
  result.StartProgramming = switches.ProgramAfterChange && !switches.TuningOn && result.Changed;
  return result;
}

RestoreResult Undo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   const ProgrammingSwitches& switches) {
  if (!CanUndo(ring)) return {};
  const UndoStep& step = ring.Slots[ring.Current];
  ring.Current = Previous(ring.Current);
  return ApplyStep(ring, step, false, image, page, marks, switches);
}

RestoreResult Redo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   const ProgrammingSwitches& switches) {
  if (!CanRedo(ring)) return {};
  ring.Current = Next(ring.Current);
  return ApplyStep(ring, ring.Slots[ring.Current], true, image, page, marks, switches);
}

void TakeUnitBlock(UndoRing& ring, ParameterImage& image, DerivedTables& tables, int block) {
  if (block < 1 || block >= kBlockCount) return;
  auto take = [&](int b) {
    const auto content = image.Block(b);
    std::copy(content.begin(), content.end(), ring.Recorded.begin() + (b - 1) * kBlockSize);
  };
  take(block);
  if (image.P(kMapModeByte) == MapModeEqual && block >= kMap1FirstBlock && block < kMap1FirstBlock + kMapBlocks) {
    CopyMap1ToMap2(image, tables);
    take(block + kMapBlocks);
  }
}

bool CanUndo(const UndoRing& ring) { return ring.Current != ring.Oldest; }
bool CanRedo(const UndoRing& ring) { return ring.Current != ring.Newest; }

int UndoDepth(const UndoRing& ring) { return (ring.Current - ring.Oldest + kUndoSlots) % kUndoSlots; }
int RedoDepth(const UndoRing& ring) { return (ring.Newest - ring.Current + kUndoSlots) % kUndoSlots; }

std::array<ControlState, 4> UndoButtonStates(const UndoRing& ring) {
  std::array<ControlState, 4> states{};
  const std::string_view names[4] = {"SpeedButtonZpet", "MenuZpet", "SpeedButtonZnovu", "MenuZnovu"};
  for (int i = 0; i < 4; ++i) {
    states[i].Name = names[i];
    states[i].Set = SetEnabled;
    states[i].Enabled = i < 2 ? CanUndo(ring) : CanRedo(ring);
  }
  return states;
}

}  // namespace velmor

#include "editor/undo.h"

#include <algorithm>
#include <cstring>

namespace velmor {
namespace {

constexpr std::uint16_t Next(std::uint16_t slot) { return slot + 1 == kUndoSlots ? 0 : slot + 1; }
constexpr std::uint16_t Previous(std::uint16_t slot) { return slot == 0 ? kUndoSlots - 1 : slot - 1; }

// Compares block by block: a whole-block memcmp is what keeps the common
// no-change push cheap, and a differing block is marked as a whole anyway.
template <typename OnBlock>
bool ForEachChangedBlock(const std::uint8_t* area, const std::uint8_t* slot, OnBlock&& onBlock) {
  bool changed = false;
  for (int b = 0; b < kBlockCount - 1; ++b) {
    const int offset = b * kBlockSize;
    if (std::memcmp(area + offset, slot + offset, kBlockSize) != 0) {
      changed = true;
      onBlock(b, offset);
    }
  }
  return changed;
}

}  // namespace

void InitUndo(UndoRing& ring, const ParameterImage& image, int page) {
  ring.Current = ring.Oldest = ring.Newest = 0;
  const auto area = image.ParamArea();
  std::copy(area.begin(), area.end(), ring.Slots[0].Area.begin());
  ring.Slots[0].Page = static_cast<std::uint8_t>(page);
}

PushResult PushUndo(UndoRing& ring, const ParameterImage& image, int page, BlockMarks& marks,
                    const ProgrammingSwitches& switches) {
  PushResult result;
  const std::uint8_t* area = image.ParamArea().data();
  result.Changed = ForEachChangedBlock(area, ring.Slots[ring.Current].Area.data(),
                                       [&](int b, int) { marks[1 + b] = 1; });
  if (result.Changed) {
    ring.Current = Next(ring.Current);
    ring.Newest = ring.Current;
    if (ring.Current == ring.Oldest) ring.Oldest = Next(ring.Oldest);
    UndoSnapshot& slot = ring.Slots[ring.Current];
    std::memcpy(slot.Area.data(), area, kParamSize);
    slot.Page = static_cast<std::uint8_t>(page);
  }
  result.StartProgramming = switches.ProgramAfterChange && !switches.TuningOn && result.Changed;
  return result;
}

RestoreResult RestoreSnapshot(const UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                              bool programAfterChange) {
  RestoreResult result;
  result.Moved = true;
  const UndoSnapshot& slot = ring.Slots[ring.Current];
  std::uint8_t* area = image.ParamArea().data();
  result.Changed = ForEachChangedBlock(area, slot.Area.data(), [&](int b, int offset) {
    marks[1 + b] = 1;
    std::memcpy(area + offset, slot.Area.data() + offset, kBlockSize);
  });
  if (slot.Page != page) result.Page = slot.Page;
  result.StartProgramming = programAfterChange && result.Changed;
  return result;
}

RestoreResult Undo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   bool programAfterChange) {
  if (!CanUndo(ring)) return {};
  ring.Current = Previous(ring.Current);
  return RestoreSnapshot(ring, image, page, marks, programAfterChange);
}

RestoreResult Redo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   bool programAfterChange) {
  if (!CanRedo(ring)) return {};
  ring.Current = Next(ring.Current);
  return RestoreSnapshot(ring, image, page, marks, programAfterChange);
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

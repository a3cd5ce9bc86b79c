#include "editor/undo.h"

#include <algorithm>
#include <cstring>

#include "link/frame.h"
#include "link/output_tests.h"
#include "model/fields.h"

namespace velmor {
namespace {

constexpr std::uint16_t Next(std::uint16_t slot) { return slot + 1 == kUndoSlots ? 0 : slot + 1; }
constexpr std::uint16_t Previous(std::uint16_t slot) { return slot == 0 ? kUndoSlots - 1 : slot - 1; }

constexpr int kMap1FirstBlock = BlockOfParam(kInj1Map);
constexpr int kMapBlocks = BlockOfParam(kInj2Map) - kMap1FirstBlock;  // map 2 lies this many blocks on

RestoreResult ApplyStep(UndoRing& ring, const UndoStep& step, bool forward, ParameterImage& image, int page,
                        BlockMarks& marks, const ProgrammingSwitches& switches) {
  RestoreResult result;
  result.Moved = true;
  const std::array<bool, kBlockCount> tuned = BlocksTheUnitTunes(image, switches.TuningOn);
  std::array<bool, kBlockCount> written{};
  std::vector<bool> done(step.Changes.size(), false);
  // A step's changes are in offset order.
  auto find = [&](int offset) -> int {
    const auto it = std::lower_bound(step.Changes.begin(), step.Changes.end(), offset,
                                     [](const FieldChange& c, int o) { return c.Offset < o; });
    return it != step.Changes.end() && it->Offset == offset ? static_cast<int>(it - step.Changes.begin()) : -1;
  };
  for (std::size_t i = 0; i < step.Changes.size(); ++i) {
    if (done[i]) continue;
    // The change and, when the step moved the other map's same value too,
    // that one: both are restored or neither.
    std::array<int, 2> group{static_cast<int>(i), -1};
    if (const int partner = PartnerOffset(step.Changes[i].Offset); partner >= 0) group[1] = find(partner);
    bool restorable = true;
    int members = 0;
    for (int g : group) {
      if (g < 0) continue;
      done[g] = true;
      ++members;
      const FieldChange& c = step.Changes[g];
      const FieldSpan span{c.Offset, c.Width};
      if (SpanValue(image, span) != (forward ? c.Before : c.After)) restorable = false;
      if (tuned[BlockOfParam(c.Offset)] || tuned[BlockOfParam(c.Offset + c.Width - 1)]) restorable = false;
    }
    if (!restorable) {
      result.Kept += members;
      continue;
    }
    for (int g : group) {
      if (g < 0) continue;
      const FieldChange& c = step.Changes[g];
      const FieldSpan span{c.Offset, c.Width};
      SetSpanValue(image, span, forward ? c.After : c.Before);
      for (int n = c.Offset; n < c.Offset + c.Width; ++n) {
        ring.Recorded[n] = image.P(n);
        written[BlockOfParam(n)] = true;
      }
      result.Changed = true;
    }
  }
  if (step.Page != page) result.Page = step.Page;
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

void AppendChangedFields(const std::uint8_t* before, const std::uint8_t* after, int from, int to,
                         std::vector<FieldChange>& out) {
  for (int n = from; n < to; ++n) {
    if (before[n] == after[n]) continue;
    const FieldSpan span = FieldSpanAt(n);
    if (!out.empty() && out.back().Offset == span.Offset) continue;
    FieldChange c{static_cast<std::uint16_t>(span.Offset), static_cast<std::uint8_t>(span.Width), 0, 0};
    for (int k = span.Width - 1; k >= 0; --k) {  // low byte first
      c.Before = static_cast<std::uint16_t>(c.Before << 8 | before[span.Offset + k]);
      c.After = static_cast<std::uint16_t>(c.After << 8 | after[span.Offset + k]);
    }
    out.push_back(c);
  }
}

std::array<bool, kBlockCount> BlocksTheUnitTunes(const ParameterImage& image, bool tuningOn) {
  std::array<bool, kBlockCount> tuned{};
  if (!tuningOn) return tuned;
  const std::uint8_t channel = image.P(kTuningChannelOffset);
  for (std::uint8_t second = 0; second < 2; ++second) {
    const int b = TuningReadCommand(channel, second) & kBlockIndexMask;
    if (b < kBlockCount) tuned[b] = true;
  }
  return tuned;
}

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
  std::vector<FieldChange> changes;
  // Whole blocks first: the common push finds nothing, and memcmp keeps that
  // cheap.
  for (int b = 0; b < kBlockCount - 1; ++b) {
    const int start = b * kBlockSize;
    if (std::memcmp(area + start, ring.Recorded.data() + start, kBlockSize) == 0) continue;
    const std::size_t first = changes.size();
    AppendChangedFields(ring.Recorded.data(), area, start, start + kBlockSize, changes);
    // A word reaching into the next block is taken in whole here.
    for (std::size_t i = first; i < changes.size(); ++i) {
      for (int n = changes[i].Offset; n < changes[i].Offset + changes[i].Width; ++n) {
        ring.Recorded[n] = area[n];
        marks[BlockOfParam(n)] = 1;
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

// Undo and redo: a ring of 200 snapshots of the parameter area, each with the
// page shown when it was taken. A snapshot is taken only when the area
// differs from the current one; the same comparison marks the changed unit
// blocks, so that "Programming after change" can send just those.
#pragma once

#include <array>
#include <cstdint>

#include "editor/view.h"
#include "model/image.h"

namespace velmor {

inline constexpr int kUndoSlots = 200;

// One flag per unit block, like the link's BlockFlags (which the window can
// pass directly): marking sets a flag, nothing here clears one.
using BlockMarks = std::array<std::uint8_t, kBlockCount>;

struct UndoSnapshot {
  std::array<std::uint8_t, kParamSize> Area{};
  std::uint8_t Page = 0;
};

// About 270 KB: hold it in a heap-allocated owner, not on the stack.
struct UndoRing {
  std::array<UndoSnapshot, kUndoSlots> Slots{};
  std::uint16_t Current = 0;  // the slot matching the image
  std::uint16_t Oldest = 0;   // undo stops here
  std::uint16_t Newest = 0;   // redo stops here
};

// The two check boxes that decide whether a change is programmed at once.
struct ProgrammingSwitches {
  bool ProgramAfterChange = false;  // CheckBoxProgHned
  bool TuningOn = false;            // CheckBoxLadeniPovoleno
};

// The state after start-up becomes slot 0.
void InitUndo(UndoRing& ring, const ParameterImage& image, int page);

struct PushResult {
  bool Changed = false;           // a snapshot was taken
  bool StartProgramming = false;  // send the marked blocks now
};

// Records the image if its parameter area differs from the current slot,
// marking every block that differs. After undos, a new snapshot discards the
// redo branch; with all 200 slots in use the oldest state is dropped. A
// change is not programmed while tuning is on.
PushResult PushUndo(UndoRing& ring, const ParameterImage& image, int page, BlockMarks& marks,
                    const ProgrammingSwitches& switches);

struct RestoreResult {
  bool Moved = false;             // false at the oldest (undo) or newest (redo) state
  bool Changed = false;           // some parameter byte was restored
  int Page = -1;                  // page to activate first; -1 when it is the page shown
  bool StartProgramming = false;  // send the marked blocks now
};

// Step back or forward and restore that slot into the image (RestoreSnapshot).
// The window then activates Page if it is not -1 (with the tab-switch
// handling), refreshes the page, updates the undo buttons and, when asked,
// starts programming. Unlike a push, a restore is programmed also while
// tuning is on.
RestoreResult Undo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   bool programAfterChange);
RestoreResult Redo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   bool programAfterChange);

// Copies the current slot into the image, marking the blocks it changes.
RestoreResult RestoreSnapshot(const UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                              bool programAfterChange);

bool CanUndo(const UndoRing& ring);
bool CanRedo(const UndoRing& ring);
// Steps available each way.
int UndoDepth(const UndoRing& ring);
int RedoDepth(const UndoRing& ring);

// Enabled states of SpeedButtonZpet, MenuZpet, SpeedButtonZnovu, MenuZnovu.
std::array<ControlState, 4> UndoButtonStates(const UndoRing& ring);

}  // namespace velmor

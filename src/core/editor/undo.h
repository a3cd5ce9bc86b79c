// Undo and redo. The history is a ring of up to 199 steps; a step holds the
// values one recorded change altered (where, value before, value after) and
// the page the change was made on. A value is a whole stored field: a map
// word is one value of two bytes, never two bytes of their own (FieldSpanAt).
// A change is found by comparing the parameter area with the area as the
// history last recorded it; the same comparison marks the changed unit
// blocks, so that "Programming after change" can send just those.
//
// What the unit sends is not an edit. A Read and the tuning reads replace
// image blocks without a step (TakeUnitBlock): they cannot be undone, and an
// undo or redo does not put them back either. Undo and redo write back only
// the values of their own step, and a value only while the whole of it still
// holds what the step left there: a value the unit has changed since, in
// either byte, keeps the unit's value. The same cell of both injection maps
// (and the same point of both axes) changed by one step is restored together
// or not at all, so coupled maps never drift apart. While tuning is on, the
// blocks the unit tunes are its own: a restore leaves them as they are.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "editor/view.h"
#include "model/derived.h"
#include "model/image.h"

namespace velmor {

// States held, the start included: at most 199 steps can be undone.
inline constexpr int kUndoSlots = 200;

// One flag per unit block, like the link's BlockFlags (which the window can
// pass directly).
using BlockMarks = std::array<std::uint8_t, kBlockCount>;

struct FieldChange {
  std::uint16_t Offset = 0;  // P+n of the field's first byte
  std::uint8_t Width = 1;    // 1 or 2 (a word, low byte first)
  std::uint16_t Before = 0;
  std::uint16_t After = 0;
};

struct UndoStep {
  std::vector<FieldChange> Changes;
  std::uint8_t Page = 0;  // PageIndex when the change was recorded
};

struct UndoRing {
  // The parameter area as the history knows it: after the last recorded
  // change, undo or redo, with what the unit sent since taken in.
  std::array<std::uint8_t, kParamSize> Recorded{};
  // Slots[i] is the step that led to state i; the slot of Oldest is unused.
  std::array<UndoStep, kUndoSlots> Slots{};
  std::uint16_t Current = 0;  // the state the image is in
  std::uint16_t Oldest = 0;   // undo stops here
  std::uint16_t Newest = 0;   // redo stops here
};

// The fields whose bytes differ between two copies of the parameter area
// over P+from .. P+to-1, appended to `out` in offset order (FieldSpanAt): a
// word is one change, also when only one of its bytes differs or when it
// reaches past `to`, and a word `out` already ends with is not added again.
void AppendChangedFields(const std::uint8_t* before, const std::uint8_t* after, int from, int to,
                         std::vector<FieldChange>& out);

// The blocks the unit rewrites while tuning is on (those its channel's
// tuning reads fetch); none while tuning is off.
std::array<bool, kBlockCount> BlocksTheUnitTunes(const ParameterImage& image, bool tuningOn);

// The two check boxes that decide whether a change is programmed at once.
struct ProgrammingSwitches {
  bool ProgramAfterChange = false;  // CheckBoxProgHned
  bool TuningOn = false;            // CheckBoxLadeniPovoleno
};

// The image after start-up becomes the starting state. A step keeps the page
// of its own change, so the page shown at the start is not needed; the
// argument stays for the window's start-up sequence.
void InitUndo(UndoRing& ring, const ParameterImage& image, int page);

struct PushResult {
  bool Changed = false;           // a step was recorded
  bool StartProgramming = false;  // send the marked blocks now
};

// Records the bytes that differ from the recorded area as one step made on
// `page`, marking their blocks. After undos, a new step discards the redo
// branch; with 199 steps held the oldest is dropped. A change is not
// programmed while tuning is on.
PushResult PushUndo(UndoRing& ring, const ParameterImage& image, int page, BlockMarks& marks,
                    const ProgrammingSwitches& switches);

struct RestoreResult {
  bool Moved = false;             // false at the oldest (undo) or newest (redo) state
  bool Changed = false;           // some parameter byte was written back
  int Page = -1;                  // page to activate first; -1 when it is the page shown
  bool StartProgramming = false;  // send the marked blocks now
  // Values of the step left as they are: changed since by the unit or by a
  // change the history did not record, or lying in a block the unit tunes.
  int Kept = 0;
};

// Takes back the current step, or makes the next one again, marking the
// blocks of the bytes it writes. Page is the page that step was made on. The
// window then activates Page if it is not -1 (with the tab-switch handling),
// refreshes the page, updates the undo buttons and, when asked, starts
// programming. Unlike a push, a restore is programmed also while tuning is
// on, but never the two blocks the tuning cycle reads: the unit is changing
// those itself, and their marks are cleared so that this programming leaves
// them alone.
RestoreResult Undo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   const ProgrammingSwitches& switches);
RestoreResult Redo(UndoRing& ring, ParameterImage& image, int page, BlockMarks& marks,
                   const ProgrammingSwitches& switches);

// Parameter block `block` (1..9) of the image now holds what the unit sent
// (a block of a Read, a tuning read): it becomes part of the recorded area
// without a step. In " 1 = 2" mode a block of map 1 is copied onto map 2
// right away, as every refresh would, and the copy is taken in too: it
// follows from the unit's map and is no edit either.
void TakeUnitBlock(UndoRing& ring, ParameterImage& image, DerivedTables& tables, int block);

bool CanUndo(const UndoRing& ring);
bool CanRedo(const UndoRing& ring);
// Steps available each way.
int UndoDepth(const UndoRing& ring);
int RedoDepth(const UndoRing& ring);

// Enabled states of SpeedButtonZpet, MenuZpet, SpeedButtonZnovu, MenuZnovu.
std::array<ControlState, 4> UndoButtonStates(const UndoRing& ring);

}  // namespace velmor

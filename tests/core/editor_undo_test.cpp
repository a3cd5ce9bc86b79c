#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/undo.h"
#include "model/defaults.h"

namespace velmor {
namespace {

BlockMarks NoMarks() { return BlockMarks{}; }

BlockMarks Marks(std::initializer_list<int> blocks) {
  BlockMarks m{};
  for (int b : blocks) m[b] = 1;
  return m;
}

struct UndoFixture {
  std::unique_ptr<UndoRing> ring = std::make_unique<UndoRing>();
  ParameterImage image;
  BlockMarks marks{};
  ProgrammingSwitches switches;
  int page = PageBike;

  UndoFixture() {
    image.P(500) = 1;
    InitUndo(*ring, image, page);
  }
  // One recorded change: a new value at P+n on `onPage`.
  PushResult Change(int n, std::uint8_t value, int onPage = PageBike) {
    image.P(n) = value;
    page = onPage;
    return PushUndo(*ring, image, page, marks, switches);
  }
  RestoreResult DoUndo() {
    RestoreResult r = Undo(*ring, image, page, marks, switches);
    if (r.Page >= 0) page = r.Page;  // the window activates that page
    return r;
  }
  RestoreResult DoRedo() {
    RestoreResult r = Redo(*ring, image, page, marks, switches);
    if (r.Page >= 0) page = r.Page;
    return r;
  }
  std::array<bool, 4> Buttons() const {
    const auto states = UndoButtonStates(*ring);
    return {states[0].Enabled, states[1].Enabled, states[2].Enabled, states[3].Enabled};
  }
};

TEST(EditorUndo, StartsWithBothDirectionsDisabled) {
  UndoFixture f;
  const auto states = UndoButtonStates(*f.ring);
  EXPECT_EQ(states[0].Name, "SpeedButtonZpet");
  EXPECT_EQ(states[1].Name, "MenuZpet");
  EXPECT_EQ(states[2].Name, "SpeedButtonZnovu");
  EXPECT_EQ(states[3].Name, "MenuZnovu");
  for (const auto& s : states) EXPECT_TRUE(s.Has(SetEnabled));
  EXPECT_EQ(f.Buttons(), (std::array<bool, 4>{false, false, false, false}));
  const ParameterImage before = f.image;
  EXPECT_FALSE(f.DoUndo().Moved);
  EXPECT_FALSE(f.DoRedo().Moved);
  EXPECT_EQ(f.image, before);
}

TEST(EditorUndo, NoSnapshotWithoutAChange) {
  UndoFixture f;
  f.switches.ProgramAfterChange = true;
  const PushResult r = PushUndo(*f.ring, f.image, PageAdvance, f.marks, f.switches);
  EXPECT_FALSE(r.Changed);
  EXPECT_FALSE(r.StartProgramming);
  EXPECT_EQ(f.marks, NoMarks());
  EXPECT_EQ(UndoDepth(*f.ring), 0);
  // The identity block is not part of the history.
  f.image.I(10) = 78;
  EXPECT_FALSE(PushUndo(*f.ring, f.image, PageBike, f.marks, f.switches).Changed);
}

TEST(EditorUndo, ChangesMarkTheirUnitBlocks) {
  struct Case { std::initializer_list<int> offsets; BlockMarks blocks; };
  const Case cases[] = {
      {{0}, Marks({1})},
      {{149}, Marks({1})},
      {{150}, Marks({2})},
      {{1200}, Marks({9})},   // the note
      {{1349}, Marks({9})},
      {{47, 600, 1199}, Marks({1, 5, 8})},
  };
  for (const auto& c : cases) {
    UndoFixture f;
    for (int n : c.offsets) f.image.P(n) = static_cast<std::uint8_t>(f.image.P(n) + 7);
    const PushResult r = PushUndo(*f.ring, f.image, PageBike, f.marks, f.switches);
    EXPECT_TRUE(r.Changed);
    EXPECT_EQ(f.marks, c.blocks) << "first offset " << *c.offsets.begin();
  }
}

TEST(EditorUndo, TwoHundredFiftyChangesLeaveOneHundredNinetyNineUndos) {
  UndoFixture f;
  // Change i (1-based) writes i into a two-byte counter, so every state differs.
  for (int i = 1; i <= 250; ++i) {
    f.image.P(1000) = static_cast<std::uint8_t>(i & 0xFF);
    f.image.P(1001) = static_cast<std::uint8_t>(i >> 8);
    ASSERT_TRUE(PushUndo(*f.ring, f.image, f.page, f.marks, f.switches).Changed);
  }
  EXPECT_EQ(UndoDepth(*f.ring), 199);
  int undos = 0;
  while (f.DoUndo().Moved) ++undos;
  EXPECT_EQ(undos, 199);
  // The oldest reachable state is the one after the 51st change.
  EXPECT_EQ(f.image.P(1000) | (f.image.P(1001) << 8), 51);
  EXPECT_EQ(f.Buttons(), (std::array<bool, 4>{false, false, true, true}));
  EXPECT_EQ(RedoDepth(*f.ring), 199);
  while (f.DoRedo().Moved) {
  }
  EXPECT_EQ(f.image.P(1000) | (f.image.P(1001) << 8), 250);
}

TEST(EditorUndo, ANewChangeDiscardsTheRedoBranch) {
  UndoFixture f;
  f.Change(10, 1);
  f.Change(10, 2);
  f.Change(10, 3);
  EXPECT_TRUE(f.DoUndo().Moved);
  EXPECT_TRUE(f.DoUndo().Moved);
  EXPECT_EQ(f.image.P(10), 1);
  EXPECT_EQ(f.Buttons(), (std::array<bool, 4>{true, true, true, true}));

  f.Change(10, 9);
  EXPECT_EQ(f.Buttons(), (std::array<bool, 4>{true, true, false, false}));
  EXPECT_FALSE(f.DoRedo().Moved);
  EXPECT_EQ(f.image.P(10), 9);
  // Back through 1 and the start; 2 and 3 are gone.
  EXPECT_TRUE(f.DoUndo().Moved);
  EXPECT_EQ(f.image.P(10), 1);
  EXPECT_TRUE(f.DoUndo().Moved);
  EXPECT_EQ(f.image.P(10), 0);
  EXPECT_FALSE(f.DoUndo().Moved);
}

TEST(EditorUndo, UndoAndRedoShowThePageTheirChangeWasMadeOn) {
  UndoFixture f;
  f.Change(kAdvanceMap, 33, PageAdvance);
  f.Change(333, 1, PageIdle);
  f.page = PageGear;  // looked elsewhere since

  RestoreResult r = f.DoUndo();  // the Idle change
  EXPECT_EQ(r.Page, PageIdle);
  EXPECT_EQ(f.image.P(333), 0);
  EXPECT_EQ(f.image.P(kAdvanceMap), 33);
  r = f.DoUndo();  // the Advance change
  EXPECT_EQ(r.Page, PageAdvance);
  EXPECT_EQ(f.image.P(kAdvanceMap), 0);
  r = f.DoRedo();  // made again where it was made: already shown
  EXPECT_EQ(r.Page, -1);
  EXPECT_TRUE(r.Changed);
  EXPECT_EQ(f.image.P(kAdvanceMap), 33);
  r = f.DoRedo();
  EXPECT_EQ(r.Page, PageIdle);
  EXPECT_EQ(f.image.P(333), 1);
}

TEST(EditorUndo, RestoreMarksOnlyTheBlocksItChanges) {
  UndoFixture f;
  f.Change(0, 5);       // block 1
  f.Change(1300, 5);    // block 9
  f.marks = NoMarks();  // the program transaction has sent them
  f.DoUndo();
  EXPECT_EQ(f.marks, Marks({9}));
  EXPECT_EQ(f.image.P(1300), 0);
  EXPECT_EQ(f.image.P(0), 5);

  // A restore that finds the image already equal changes and marks nothing.
  f.marks = NoMarks();
  f.image.P(1300) = 5;
  const RestoreResult r = f.DoRedo();
  EXPECT_TRUE(r.Moved);
  EXPECT_FALSE(r.Changed);
  EXPECT_EQ(f.marks, NoMarks());
}

TEST(EditorUndo, ProgrammingAfterChangeWaitsForTuningOnlyOnPushes) {
  struct Case { bool progAfterChange; bool tuning; bool pushPrograms; bool undoPrograms; };
  const Case cases[] = {
      {false, false, false, false},
      {true, false, true, true},
      {true, true, false, true},
      {false, true, false, false},
  };
  for (const auto& c : cases) {
    UndoFixture f;
    f.switches = {c.progAfterChange, c.tuning};
    SCOPED_TRACE(std::to_string(c.progAfterChange) + " " + std::to_string(c.tuning));
    const PushResult push = f.Change(20, 1);
    EXPECT_TRUE(push.Changed);
    EXPECT_EQ(push.StartProgramming, c.pushPrograms);
    EXPECT_EQ(f.marks, Marks({1}));  // marked in every case; the flag decides when they go
    EXPECT_EQ(f.DoUndo().StartProgramming, c.undoPrograms);
    // Nothing changed, nothing to program.
    EXPECT_FALSE(PushUndo(*f.ring, f.image, f.page, f.marks, f.switches).StartProgramming);
  }
}

// A tuning read replaces blocks 5 and 6 (channel 1) between two edits. The
// unit's values are no step of their own, the next edit's step holds only
// its own byte, and undoing that edit leaves the unit's values alone.
TEST(EditorUndo, WhatTheUnitSentIsNeitherRecordedNorTakenBack) {
  UndoFixture f;
  DerivedTables tables;
  f.image.P(47) = MapModeNormal;
  f.image.P(300) = 1;
  InitUndo(*f.ring, f.image, f.page);
  f.Change(41, 104);  // Fan 2, block 1
  f.marks = NoMarks();
  ParameterImage unitMaps = f.image;
  for (int n = kInj1Map; n < kInj2Map; ++n) unitMaps.P(n) = static_cast<std::uint8_t>(n * 7);
  for (int b : {5, 6}) {
    std::copy_n(unitMaps.Block(b).begin(), kBlockSize, f.image.Block(b).begin());
    TakeUnitBlock(*f.ring, f.image, tables, b);
  }
  EXPECT_EQ(UndoDepth(*f.ring), 1);
  EXPECT_FALSE(PushUndo(*f.ring, f.image, f.page, f.marks, f.switches).Changed);

  f.Change(35, 99);  // Fan 1, block 1
  EXPECT_EQ(f.ring->Slots[f.ring->Current].Changes.size(), 1u);
  EXPECT_EQ(f.marks, Marks({1}));

  f.switches = {true, true};  // programming after change, tuning on
  f.marks = NoMarks();
  for (int i = 0; i < 2; ++i) {
    const RestoreResult r = f.DoUndo();  // Fan 1, then Fan 2
    EXPECT_TRUE(r.StartProgramming);
    EXPECT_EQ(f.marks, Marks({1}));
  }
  EXPECT_EQ(f.image.P(41), 0);
  for (int n = kInj1Map; n < kInj2Map; ++n) ASSERT_EQ(f.image.P(n), unitMaps.P(n)) << "P+" << n;
  f.DoRedo();
  f.DoRedo();
  EXPECT_EQ(f.image.P(35), 99);
  EXPECT_EQ(f.image.P(41), 104);
  for (int n = kInj1Map; n < kInj2Map; ++n) ASSERT_EQ(f.image.P(n), unitMaps.P(n)) << "P+" << n;
}

// An edit of a map cell the unit tunes, taken back while tuning is on: the
// unit's later value stays, and no restore programs the tuned blocks, not
// even those an earlier push had marked.
TEST(EditorUndo, TuningKeepsTheUnitsMapsOutOfUndoAndItsProgramming) {
  UndoFixture f;
  DerivedTables tables;
  f.image.P(47) = MapModeNormal;
  f.image.P(300) = 2;  // blocks 7 and 8
  f.switches = {true, true};
  PushUndo(*f.ring, f.image, f.page, f.marks, f.switches);
  f.Change(kInj2Map, 10);      // block 7: the unit tunes it afterwards
  f.Change(kInj2Map + 2, 20);  // block 7: still as edited
  f.Change(kAdvanceMap, 5);    // block 4
  f.image.P(kInj2Map) = 12;
  TakeUnitBlock(*f.ring, f.image, tables, 7);
  f.marks = NoMarks();

  RestoreResult r = f.DoUndo();  // the advance cell: block 4 goes out
  EXPECT_TRUE(r.StartProgramming);
  EXPECT_EQ(f.marks, Marks({4}));
  f.marks = Marks({7});  // marked by the pushes
  r = f.DoUndo();  // the second map cell: the unit owns the block, so it stays
  EXPECT_FALSE(r.Changed);
  EXPECT_EQ(r.Kept, 1);
  EXPECT_FALSE(r.StartProgramming);
  EXPECT_EQ(f.image.P(kInj2Map + 2), 20);
  r = f.DoUndo();  // the first map cell: the unit's value stays
  EXPECT_FALSE(r.Changed);
  EXPECT_EQ(f.image.P(kInj2Map), 12);
  r = f.DoRedo();
  EXPECT_FALSE(r.Changed);
  EXPECT_EQ(f.image.P(kInj2Map), 12);
  r = f.DoRedo();
  EXPECT_EQ(f.image.P(kInj2Map + 2), 20);
  r = f.DoRedo();  // the advance cell again, with a leftover mark of block 7
  EXPECT_TRUE(r.StartProgramming);
  EXPECT_EQ(f.marks, Marks({4}));
}

// In " 1 = 2" the refresh copies map 1 onto map 2. A tuned map 1 brings its
// copy along at once, and neither is an edit.
TEST(EditorUndo, CopyOfATunedMapOneIsNoEdit) {
  UndoFixture f;
  DerivedTables tables;
  ApplyDefaults(f.image, tables, DefaultsScope::Whole);
  CopyMap1ToMap2(f.image, tables);
  InitUndo(*f.ring, f.image, PageBike);
  f.image.SetWord(kInj1Map + 20, 4321);  // block 5
  TakeUnitBlock(*f.ring, f.image, tables, 5);
  EXPECT_EQ(f.image.Word(kInj2Map + 20), 4321);
  EXPECT_FALSE(PushUndo(*f.ring, f.image, f.page, f.marks, f.switches).Changed);
  EXPECT_EQ(f.marks, NoMarks());
}

// A map word is one value: the unit's tuning changed one of its bytes since
// the edit, and an undo keeps the unit's whole word instead of mixing the
// edit's other byte into it (620 -> 806 edited, the unit made it 804: taking
// back only the low byte would leave 548).
TEST(EditorUndo, AWordChangedByTheUnitIsKeptWhole) {
  struct Case { std::uint16_t before, edited, unit; bool restored; };
  const Case cases[] = {
      {620, 806, 804, false},    // low byte changed by the unit
      {1575, 1569, 1825, false}, // high byte changed by the unit
      {620, 806, 806, true},     // untouched: restored whole
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.edited) + " -> " + std::to_string(c.unit));
    UndoFixture f;
    DerivedTables tables;
    f.image.SetWord(kInj1Map + 40, c.before);
    InitUndo(*f.ring, f.image, PageInj1);
    f.image.SetWord(kInj1Map + 40, c.edited);
    ASSERT_TRUE(PushUndo(*f.ring, f.image, PageInj1, f.marks, f.switches).Changed);
    ASSERT_EQ(f.ring->Slots[f.ring->Current].Changes.size(), 1u);
    EXPECT_EQ(f.ring->Slots[f.ring->Current].Changes[0].Width, 2);
    f.image.SetWord(kInj1Map + 40, c.unit);
    TakeUnitBlock(*f.ring, f.image, tables, BlockOfParam(kInj1Map + 40));
    const RestoreResult r = f.DoUndo();
    EXPECT_EQ(f.image.Word(kInj1Map + 40), c.restored ? c.before : c.unit);
    EXPECT_EQ(r.Kept, c.restored ? 0 : 1);
  }
}

// A coupled edit moved the same cell of both maps. The unit changed map 1's
// cell since: the undo keeps both cells as they are, so the maps keep the
// distance the coupling gave them; the untouched pair is restored.
TEST(EditorUndo, CoupledCellsAreRestoredTogether) {
  UndoFixture f;
  DerivedTables tables;
  InitUndo(*f.ring, f.image, PageInj1);
  f.image.SetWord(kInj1Map, 1100);
  f.image.SetWord(kInj2Map, 2200);
  f.image.SetWord(kInj1Map + 2, 1100);
  f.image.SetWord(kInj2Map + 2, 2200);
  ASSERT_TRUE(PushUndo(*f.ring, f.image, PageInj1, f.marks, f.switches).Changed);
  f.image.SetWord(kInj1Map, 1150);
  TakeUnitBlock(*f.ring, f.image, tables, BlockOfParam(kInj1Map));
  const RestoreResult r = f.DoUndo();
  EXPECT_EQ(r.Kept, 2);
  EXPECT_EQ(f.image.Word(kInj1Map), 1150);
  EXPECT_EQ(f.image.Word(kInj2Map), 2200);
  EXPECT_EQ(f.image.Word(kInj1Map + 2), 0);
  EXPECT_EQ(f.image.Word(kInj2Map + 2), 0);
}

}  // namespace
}  // namespace velmor

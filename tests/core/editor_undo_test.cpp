#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/undo.h"

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
    RestoreResult r = Undo(*ring, image, page, marks, switches.ProgramAfterChange);
    if (r.Page >= 0) page = r.Page;  // the window activates that page
    return r;
  }
  RestoreResult DoRedo() {
    RestoreResult r = Redo(*ring, image, page, marks, switches.ProgramAfterChange);
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

TEST(EditorUndo, UndoAndRedoReportThePageOfTheRestoredState) {
  UndoFixture f;
  f.Change(kAdvanceMap, 33, PageAdvance);
  f.Change(333, 1, PageIdle);

  RestoreResult r = f.DoUndo();  // back to the state recorded on the Advance page
  EXPECT_EQ(r.Page, PageAdvance);
  EXPECT_EQ(f.image.P(333), 0);
  r = f.DoUndo();  // the start-up state, recorded on the Bike page
  EXPECT_EQ(r.Page, PageBike);
  EXPECT_EQ(f.image.P(kAdvanceMap), 0);
  r = f.DoRedo();
  EXPECT_EQ(r.Page, PageAdvance);
  EXPECT_EQ(f.image.P(kAdvanceMap), 33);
  // Already on the Advance page: no switch.
  f.Change(kAdvanceMap, 34, PageAdvance);
  r = f.DoUndo();
  EXPECT_EQ(r.Page, -1);
  EXPECT_TRUE(r.Changed);
  EXPECT_EQ(f.image.P(kAdvanceMap), 33);
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

}  // namespace
}  // namespace velmor

// The window's undo and step tools: thin calls of the core's undo ring and
// editing tools, then the refresh and, with "Programming after change", the
// programming the core asks for.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>

#include "form_hlav.h"
#include "map_selection.h"
#include "view_applier.h"

namespace velmor::ui {

// A playing log has closed the unit's port: an edit then waits for a Program.
bool TFormHlav::ProgramsAfterChange() const {
  return Checked(controls_.ProgramAfterChange) && !playback_->Playing();
}

void TFormHlav::PushUndo() {
  const ProgrammingSwitches switches{ProgramsAfterChange(), TuningOn()};
  const PushResult r = velmor::PushUndo(*undo_, document_.Image, pageIndex_, link_->State().BlockFlags, switches);
  if (r.Changed) UpdateUndoButtons();
  if (r.StartProgramming) {
    link_->ProgramChangedBlocks();
    ApplyLinkStatus();
  }
}

void TFormHlav::UndoRedo(bool redo) {
  const ProgrammingSwitches switches{ProgramsAfterChange(), TuningOn()};
  const RestoreResult r = redo ? Redo(*undo_, document_.Image, pageIndex_, link_->State().BlockFlags, switches)
                               : velmor::Undo(*undo_, document_.Image, pageIndex_, link_->State().BlockFlags, switches);
  if (!r.Moved) return;
  // Hiding the page takes the focus from its edit box, which commits on
  // leaving; its text still shows the value just taken back.
  restoring_ = true;
  if (r.Page >= 0 && r.Page != pageIndex_) {
    ActivatePage(r.Page);  // the tab switch refreshes the page
  }
  RefreshPage();
  restoring_ = false;
  UpdateUndoButtons();
  if (r.StartProgramming) {
    link_->ProgramChangedBlocks();
    ApplyLinkStatus();
  }
}

void TFormHlav::CommitTyping() {
  auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (typing && typing->isModified() && controls_.Pages->isAncestorOf(typing)) {
    typing->setModified(false);
    Commit();
  }
}

void TFormHlav::UndoRedoCommand(bool redo) {
  // The undo takes back what the tuner sees, typed or not.
  CommitTyping();
  UndoRedo(redo);
}

void TFormHlav::UpdateUndoButtons() {
  for (const ControlState& s : UndoButtonStates(*undo_)) applier_->Apply(s, texts_);
}

void TFormHlav::StepMapClick(StepDirection dir) {
  if (UnitTunesMap(document_.Image, pageIndex_, TuningOn())) return;
  if (pageIndex_ == PagePosition) {
    StepPositionClick(dir);
    return;
  }
  if (mapSelection_ && mapSelection_->StepSelection(dir)) return;
  if (StepMap(document_.Image, document_.Tables, pageIndex_, allCellsFlags_[pageIndex_] != 0, dir, link_->Live(), point_,
              Checked(controls_.AllPositions))) {
    AfterChange();
  }
}

void TFormHlav::StepPositionClick(StepDirection dir) {
  TransferPage();
  StepPosition(document_.Image, Checked(controls_.AllPositions), point_.PositionIndex, dir);
  AfterChange();
}

void TFormHlav::StepColumnClick(int column, StepDirection dir) {
  if (UnitTunesMap(document_.Image, pageIndex_, TuningOn())) return;
  if (StepColumn(document_.Image, document_.Tables, pageIndex_, column, dir)) AfterChange();
}

void TFormHlav::StepIdleClick(StepDirection dir) {
  if (StepIdle(document_.Image, dir)) AfterChange();
}

}  // namespace velmor::ui

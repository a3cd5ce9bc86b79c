// The window's undo and step tools: thin calls of the core's undo ring and
// editing tools, then the refresh and, with "Programming after change", the
// programming the core asks for.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>

#include "ui/window/field_binder.h"
#include "ui/window/form_hlav.h"
#include "ui/map/map_selection.h"
#include "ui/window/view_applier.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

// A playing log has closed the unit's port: an edit then waits for a Program.
bool TFormHlav::ProgramsAfterChange() const {
  return Checked(controls_.ProgramAfterChange) && !playback_->Playing();
}

EditContext TFormHlav::CurrentEditContext() const {
  EditContext context;
  context.Reading = link_->State().Mode == LinkMode::Read;
  context.Switches = {ProgramsAfterChange(), TuningOn()};
  return context;
}

EditResult TFormHlav::ChangeTune(const std::function<bool()>& change, int page) {
  const ParameterImage before = document_.Image;
  const DerivedTables tables = document_.Tables;
  const std::string fileName = document_.FileName;
  const ParameterImage saved = document_.Saved;
  const bool changed = change();
  const Edit edit = EditBetween(before, document_.Image, page < 0 ? pageIndex_ : page);
  // The tool worked on the image itself; the document applies its result.
  document_.Image = before;
  document_.Tables = tables;
  if (!changed) return {};
  const EditResult r = ApplyEdit(edit);
  if (r.Verdict == EditVerdict::Refused) {
    document_.FileName = fileName;
    document_.Saved = saved;
    UpdateCaption();
  }
  return r;
}

EditResult TFormHlav::ApplyEdit(const Edit& edit) {
  const EditResult r = WithSelection(
      [&] { return document_.Apply(edit, CurrentEditContext(), *undo_, link_->State().BlockFlags); });
  ShowEditResult(r);
  return r;
}

void TFormHlav::ShowEditResult(const EditResult& r) {
  if (const std::string said = EditResultText(r, false, language_); !said.empty()) statusBar()->showMessage(Utf8(said));
  // The controls show the image again: what was refused goes, what was
  // applied shows as the document holds it.
  if (r.Verdict != EditVerdict::Refused) ShowNormalised(r.Normalised);
  ShowPage();
  UpdateUndoButtons();
  UpdateCaption();
  if (r.StartProgramming) {
    link_->ProgramChangedBlocks();
    ApplyLinkStatus();
  }
}

void TFormHlav::UndoRedo(bool redo) {
  const EditContext context = CurrentEditContext();
  const EditResult r = redo ? document_.Redo(context, pageIndex_, *undo_, link_->State().BlockFlags)
                            : document_.Undo(context, pageIndex_, *undo_, link_->State().BlockFlags);
  if (const std::string said = EditResultText(r, true, language_); !said.empty()) statusBar()->showMessage(Utf8(said));
  if (r.Verdict != EditVerdict::Applied) return;
  // Hiding the page takes the focus from its edit box, which commits on
  // leaving; its text still shows the value just taken back.
  restoring_ = true;
  if (r.Page >= 0 && r.Page != pageIndex_) {
    ActivatePage(r.Page);  // the tab switch refreshes the page
  }
  ShowPage();
  restoring_ = false;
  UpdateUndoButtons();
  UpdateCaption();
  if (r.StartProgramming) {
    link_->ProgramChangedBlocks();
    ApplyLinkStatus();
  }
}

void TFormHlav::CommitTyping() {
  auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (typing && typing->isModified() && controls_.Pages->isAncestorOf(typing)) {
    typing->setModified(false);
    TransferPage();
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
  if (pageIndex_ == PagePosition) {
    StepPositionClick(dir);
    return;
  }
  if (mapSelection_ && mapSelection_->StepSelection(dir)) return;
  ChangeTune([&] {
    return StepMap(document_.Image, document_.Tables, pageIndex_, allCellsFlags_[pageIndex_] != 0, dir, link_->Live(),
                   point_, Checked(controls_.AllPositions));
  });
}

void TFormHlav::StepPositionClick(StepDirection dir) {
  ChangeTune([&] {
    fields_->TransferPage(pageIndex_);
    StepPosition(document_.Image, Checked(controls_.AllPositions), point_.PositionIndex, dir);
    return true;
  });
}

void TFormHlav::StepColumnClick(int column, StepDirection dir) {
  ChangeTune([&] { return StepColumn(document_.Image, document_.Tables, pageIndex_, column, dir); });
}

void TFormHlav::StepIdleClick(StepDirection dir) {
  ChangeTune([&] { return StepIdle(document_.Image, dir); });
}

}  // namespace velmor::ui

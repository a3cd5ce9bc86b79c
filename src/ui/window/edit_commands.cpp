#include "ui/window/edit_commands.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include "model/defaults.h"
#include "ui/map/map_selection.h"
#include "ui/widgets/widgets.h"
#include "ui/window/field_binder.h"
#include "ui/window/view_applier.h"

namespace velmor::ui {
EditCommands::EditCommands(State state, Hooks hooks) : w_(state), hooks_(std::move(hooks)) {}

// A playing log has closed the unit's port: an edit then waits for a Program.
bool EditCommands::ProgramsAfterChange() const {
  return Checked(w_.Controls.ProgramAfterChange) && !w_.Playback.Playing();
}

EditContext EditCommands::CurrentEditContext() const {
  EditContext context;
  context.Reading = w_.Link.State().Mode == LinkMode::Read;
  context.Switches = {ProgramsAfterChange(), Checked(w_.Controls.TuningEnabled)};
  return context;
}

EditResult EditCommands::ChangeTune(const std::function<bool()>& change, int page) {
  Document& doc = w_.Doc;
  const ParameterImage before = doc.Image;
  const DerivedTables tables = doc.Tables;
  const std::string fileName = doc.FileName;
  const ParameterImage saved = doc.Saved;
  const bool changed = change();
  const Edit edit = EditBetween(before, doc.Image, page < 0 ? hooks_.Page() : page);
  // The tool worked on the image itself; the document applies its result.
  doc.Image = before;
  doc.Tables = tables;
  if (!changed) return {};
  const EditResult r = ApplyEdit(edit);
  if (r.Verdict == EditVerdict::Refused) {
    doc.FileName = fileName;
    doc.Saved = saved;
    hooks_.UpdateCaption();
  }
  return r;
}

EditResult EditCommands::ApplyEdit(const Edit& edit) {
  EditResult r;
  hooks_.WithSelection([&] { r = w_.Doc.Apply(edit, CurrentEditContext(), w_.Undo, w_.Link.State().BlockFlags); });
  ShowEditResult(r);
  return r;
}

void EditCommands::ShowEditResult(const EditResult& r) {
  if (const std::string said = EditResultText(r, false, hooks_.Language()); !said.empty()) {
    hooks_.StatusMessage(Utf8(said));
  }
  // The controls show the image again: what was refused goes, what was
  // applied shows as the document holds it.
  if (r.Verdict != EditVerdict::Refused) w_.Applier.ApplyNormalised(r.Normalised);
  hooks_.ShowPage();
  UpdateUndoButtons();
  hooks_.UpdateCaption();
  StartProgrammingIfAsked(r);
}

void EditCommands::StartProgrammingIfAsked(const EditResult& r) {
  if (!r.StartProgramming) return;
  w_.Link.ProgramChangedBlocks();
  hooks_.ApplyLinkStatus();
}

void EditCommands::UndoRedo(bool redo) {
  const EditContext context = CurrentEditContext();
  const int page = hooks_.Page();
  const EditResult r = redo ? w_.Doc.Redo(context, page, w_.Undo, w_.Link.State().BlockFlags)
                            : w_.Doc.Undo(context, page, w_.Undo, w_.Link.State().BlockFlags);
  if (const std::string said = EditResultText(r, true, hooks_.Language()); !said.empty()) {
    hooks_.StatusMessage(Utf8(said));
  }
  if (r.Verdict != EditVerdict::Applied) return;
  // Hiding the page takes the focus from its edit box, which commits on
  // leaving; its text still shows the value just taken back.
  restoring_ = true;
  if (r.Page >= 0 && r.Page != page) {
    w_.Controls.Pages->setCurrentIndex(r.Page);  // the tab switch refreshes the page
  }
  hooks_.ShowPage();
  restoring_ = false;
  UpdateUndoButtons();
  hooks_.UpdateCaption();
  StartProgrammingIfAsked(r);
}

void EditCommands::CommitTyping() {
  auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (typing && typing->isModified() && w_.Controls.Pages->isAncestorOf(typing)) {
    typing->setModified(false);
    hooks_.TransferPage();
  }
}

void EditCommands::UndoRedoCommand(bool redo) {
  // The undo takes back what the tuner sees, typed or not.
  CommitTyping();
  UndoRedo(redo);
}

void EditCommands::UpdateUndoButtons() {
  for (const ControlState& s : UndoButtonStates(w_.Undo)) w_.Applier.Apply(s, w_.Texts);
}

void EditCommands::StepMapClick(StepDirection dir) {
  const int page = hooks_.Page();
  if (page == PagePosition) {
    StepPositionClick(dir);
    return;
  }
  if (MapSelection* selection = hooks_.Selection(); selection && selection->StepSelection(dir)) return;
  ChangeTune([&] {
    return StepMap(w_.Doc.Image, w_.Doc.Tables, page, w_.AllCells[static_cast<std::size_t>(page)] != 0, dir,
                   w_.Link.Live(), w_.Point, Checked(w_.Controls.AllPositions));
  });
}

void EditCommands::StepPositionClick(StepDirection dir) {
  ChangeTune([&] {
    w_.Fields.TransferPage(hooks_.Page());
    StepPosition(w_.Doc.Image, Checked(w_.Controls.AllPositions), w_.Point.PositionIndex, dir);
    return true;
  });
}

void EditCommands::StepColumnClick(int column, StepDirection dir) {
  ChangeTune([&] { return StepColumn(w_.Doc.Image, w_.Doc.Tables, hooks_.Page(), column, dir); });
}

void EditCommands::StepIdleClick(StepDirection dir) {
  ChangeTune([&] { return StepIdle(w_.Doc.Image, dir); });
}

void EditCommands::ComboBoxBikeChange(int index) {
  // A value typed but not committed is taken first, as leaving its box
  // would: the answer must not discard it.
  CommitTyping();
  // The separator item is no model: nothing is asked and nothing changes.
  DefaultsAnswer answer = DefaultsAnswer::Cancel;
  if (index >= 0 && index < kBikeModelCount) {
    const QMessageBox::StandardButton b = hooks_.Ask(Utf8(w_.Texts[MsgKey::MsgAskDefaults]));
    answer = b == QMessageBox::Yes ? DefaultsAnswer::Yes : b == QMessageBox::No ? DefaultsAnswer::No
                                                                              : DefaultsAnswer::Cancel;
  }
  // The maps take the new model's base times before the change is
  // normalised, shown and recorded: recomputed afterwards they would escape
  // the undo history and programming after change, and in " 1 = 2" the
  // refresh would first turn map 2's percentages into the old times.
  const EditResult r = ChangeTune([&] { return ChangeBikeModel(w_.Doc.Image, w_.Doc.Tables, index, answer); });
  if (!r.Applied()) {
    if (QComboBox* combo = w_.Controls.BikeModel) {
      combo->setCurrentIndex(w_.Doc.Image.P(0) < kBikeModelCount ? w_.Doc.Image.P(0) : kBikeModelCount);
    }
    return;
  }
  if (answer == DefaultsAnswer::Yes) {
    w_.Link.HideStatus();
    hooks_.ClearFileName();
  }
  hooks_.ApplyLanguage();
}

void EditCommands::SetMapMode(int mode) {
  ChangeTune([&] {
    velmor::SetMapMode(w_.Doc.Image, static_cast<MapMode>(mode));
    // Map 2 follows map 1 now: its page gives way to map 1's, and the
    // undo step brings it back.
    if (mode == MapModeEqual && hooks_.Page() == PageInj2) {
      hooks_.SetPage(PageInj1);
      w_.Controls.Pages->blockSignals(true);
      w_.Controls.Pages->setCurrentIndex(PageInj1);
      w_.Controls.Pages->blockSignals(false);
    }
    return true;
  });
  hooks_.RefreshPageHidden();
}

}  // namespace velmor::ui

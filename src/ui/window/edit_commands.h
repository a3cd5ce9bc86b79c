// The tune's edits from the window: every change goes through the document's
// gate here, with its word on the status bar, the controls shown afresh and
// the programming the document asks for; undo and redo; the step tools and
// the two commands that change the tune's layout (the bike model, the map
// mode). Thin calls of the core's undo ring and editing tools.
#pragma once

#include <QMessageBox>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "editor/document.h"
#include "editor/operating_point.h"
#include "editor/tools.h"
#include "editor/undo.h"
#include "lang/catalog.h"
#include "link/engine.h"
#include "log/log_playback.h"
#include "model/image.h"
#include "ui/window/window_layout.h"

namespace velmor::ui {

class FieldBinder;
class MapSelection;
class ViewApplier;

class EditCommands {
 public:
  // What the window lends: its state by reference, its own steps as hooks.
  struct State {
    Document& Doc;
    UndoRing& Undo;
    LinkEngine& Link;
    LogPlaybackPort& Playback;
    WindowControls& Controls;
    FieldBinder& Fields;
    ViewApplier& Applier;
    const ResolvedTexts& Texts;
    const OperatingPoint& Point;
    const std::array<std::uint8_t, PageCount>& AllCells;
  };
  struct Hooks {
    std::function<int()> Page;            // the page shown
    std::function<void(int page)> SetPage;  // the page index, without a refresh
    std::function<LanguageCode()> Language;
    std::function<MapSelection*()> Selection;  // the map's blocks, once made
    std::function<void()> ShowPage;       // the page's controls from the image
    std::function<void()> RefreshPageHidden;
    std::function<void()> UpdateCaption;
    std::function<void()> ApplyLinkStatus;
    // Runs a document operation between the window's persisted selections
    // going into the document and coming back limited.
    std::function<void(const std::function<void()>&)> WithSelection;
    std::function<void(const QString&)> StatusMessage;
    std::function<QMessageBox::StandardButton(const QString&)> Ask;
    std::function<void()> ClearFileName;
    std::function<void()> ApplyLanguage;
    std::function<void()> TransferPage;
  };
  EditCommands(State state, Hooks hooks);

  // See TFormHlav::ChangeTune.
  EditResult ChangeTune(const std::function<bool()>& change, int page = -1);
  EditResult ApplyEdit(const Edit& edit);
  // An undo or redo is switching the page and refreshing it: the focus
  // changes this causes must not commit the controls as a new change.
  bool Restoring() const { return restoring_; }

  // The Undo and Redo commands: a pending typed value first, then the step.
  void UndoRedoCommand(bool redo);
  // A value typed but not yet committed is committed, as leaving its box
  // would.
  void CommitTyping();
  void UpdateUndoButtons();
  void StepMapClick(StepDirection dir);
  void StepPositionClick(StepDirection dir);
  void StepColumnClick(int column, StepDirection dir);
  void StepIdleClick(StepDirection dir);
  void ComboBoxBikeChange(int index);
  void SetMapMode(int mode);

 private:
  bool ProgramsAfterChange() const;
  EditContext CurrentEditContext() const;
  // The gate's word on the status bar, the page and the undo buttons shown
  // afresh, and the programming the document asked for.
  void ShowEditResult(const EditResult& result);
  void UndoRedo(bool redo);
  void StartProgrammingIfAsked(const EditResult& result);

  State w_;
  Hooks hooks_;
  bool restoring_ = false;
};

}  // namespace velmor::ui

// The window's side of the map editor's blocks: what it lends them.
#include "ui/window/form_hlav.h"
#include "ui/map/map_selection.h"
#include "ui/window/edit_commands.h"

namespace velmor::ui {

void TFormHlav::BuildMapSelection() {
  MapSelection::Hooks hooks;
  hooks.Page = [this] { return pageIndex_; };
  hooks.Image = [this]() -> ParameterImage& { return document_.Image; };
  hooks.Tables = [this]() -> DerivedTables& { return document_.Tables; };
  hooks.CanEdit = [this] { return !edits_->Restoring(); };
  // As before an undo: what the tuner typed and sees is committed first.
  hooks.CommitTyping = [this] { edits_->CommitTyping(); };
  hooks.Change = [this](const std::function<bool()>& change) {
    return ChangeTune(change).Applied();
  };
  hooks.CellLit = [this](int k) { return shownHighlight_.Test(HlMapCell + k); };
  hooks.Language = [this] { return language_; };
  hooks.Message = [this](const QString& text) { ShowMessageBox(text); };
  mapSelection_ = new MapSelection(controls_.Map, std::move(hooks), this);
}

}  // namespace velmor::ui

// The configuration being edited: the parameter image, the tables derived
// from it, the persisted selections the normalisation pass limits along with
// it, and the file it came from. New, Open and Save change the image and then
// always run the normalisation pass and the refresh of what is derived from
// the image, in that order. The window, the command-line tool, the headless
// link host and the simulated unit all go through here, so that the order
// and the derived tables cannot drift apart between them.
#pragma once

#include <optional>
#include <string>

#include "editor/edit.h"
#include "editor/undo.h"
#include "files/ign_file.h"
#include "link/identity.h"
#include "model/derived.h"
#include "model/image.h"
#include "model/normalise.h"

namespace velmor {

// What Open and Open for page did: the reader's outcome and the messages to
// show, and what the normalisation pass found when something was loaded.
struct OpenResult {
  IgnReadResult Read;
  NormaliseResult Normalised;
  bool Loaded() const { return Read.Loaded(); }
};

struct SaveResult {
  WriteStatus Written;
  NormaliseResult Normalised;
};

class Document {
 public:
  // The defaults of model 0, normalised and refreshed: what the window shows
  // after start-up without a last-run image.
  Document();
  // An image taken in as it is (a unit's memory, a history file's) with the
  // tables derived from it; normalised only when asked.
  explicit Document(const ParameterImage& image);

  // File → New: the whole defaults of `model` (0..7). The file name goes: a
  // new configuration has none.
  NormaliseResult New(int model);
  // "New for actual page": the defaults of one page for the model in P+0.
  // Nothing at all while the coupled mode protects the page.
  std::optional<NormaliseResult> NewForPage(int page);
  // File → Open. A file that cannot be read or holds no accepted header
  // leaves the image, the tables and the file name as they were.
  OpenResult Open(const std::string& path);
  // "Open for actual page": only the sections of `page`; refused (without
  // opening the file) on the map pages the coupled mode protects.
  OpenResult OpenForPage(const std::string& path, int page);
  // File → Save: the image as normalised and refreshed goes to the file, which
  // becomes the document's file when it was written.
  SaveResult Save(const std::string& path, const IgnVersionTexts& versions);

  // The one way an edit changes the image. The gate first: nothing while a
  // Read runs; an edit worked out from values that have changed since is
  // refused whole; while tuning is on the cells of the blocks the unit tunes
  // (and their partners in the other map) are left out. What passes is
  // written, normalised and refreshed, recorded as one undo step on
  // `history` and marked in `marks` for programming.
  EditResult Apply(const Edit& edit, const EditContext& context, UndoRing& history, BlockMarks& marks);
  // Undo and redo through the same gate: refused while a Read runs, the
  // step kept for later.
  EditResult Undo(const EditContext& context, int page, UndoRing& history, BlockMarks& marks);
  EditResult Redo(const EditContext& context, int page, UndoRing& history, BlockMarks& marks);

  // The pass alone. The link host runs it, then the refresh, as two steps.
  NormaliseResult Normalise();
  // What every refresh derives: in " 1 = 2" map 1 and its axis are copied
  // onto map 2, and both percent tables follow the maps the image holds, so
  // that no page shows or computes from percentages of an older map.
  void Refresh();
  NormaliseResult NormaliseAndRefresh();

  ParameterImage Image;
  DerivedTables Tables;
  PersistedSelection Selection{};
  // The .ign file last opened or saved; empty after New and after a Read.
  std::string FileName;
  // The tune as last opened, saved, made new or read: the window marks its
  // caption while Image differs from it (unsaved changes).
  ParameterImage Saved;
  bool Changed() const { return !(Image == Saved); }

 private:
  OpenResult Read(const std::string& path, IgnScope scope, int page);
  EditResult Restore(bool redo, const EditContext& context, int page, UndoRing& history, BlockMarks& marks);
};

// The VERSIONS texts of a file this program writes: the unit's identity as
// its block 0 gave it (empty while none was received) and the build stamp.
IgnVersionTexts FileVersions(const IdentityTexts& unit = {});

}  // namespace velmor

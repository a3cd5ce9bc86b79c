// An edit is data: the stored values one action of the tuner sets, each with
// the value it was worked out from. Every input — a value typed and
// committed, a step button, a block tool, a paste, a radio group, a model or
// map-mode change, New or Open for a page, a log correction, a compare —
// builds one and hands it to Document::Apply, which alone decides whether it
// may change the image now (the gate), applies it, normalises, refreshes the
// derived tables, records the undo step and marks the blocks for
// "Programming after change". Undo and redo pass the same gate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/undo.h"
#include "lang/catalog.h"
#include "model/image.h"
#include "model/normalise.h"

namespace velmor {

// What the link and the tuner's switches are doing while an edit arrives.
struct EditContext {
  bool Reading = false;  // a Read (into the editor or into a compare copy) runs
  ProgrammingSwitches Switches;
};

// Where an edit came from does not matter to the gate: every input is
// judged by the same rules.
struct Edit {
  int Page = PageBike;  // the page the undo step returns to
  // Before is what the edit was worked out from; After what it sets.
  std::vector<FieldChange> Changes;

  bool Empty() const { return Changes.empty(); }
};

// The values that differ between two images of the parameter area, whole
// fields at a time (FieldSpanAt).
Edit EditBetween(const ParameterImage& before, const ParameterImage& after, int page);

enum class EditVerdict : std::uint8_t {
  Applied,    // the image changed (and an undo step was recorded)
  Unchanged,  // nothing to do: the edit sets what the image holds
  Refused,    // the gate said no; nothing changed
};

enum class EditRefusal : std::uint8_t { None, Reading, TunedMap, Stale };

struct EditResult {
  EditVerdict Verdict = EditVerdict::Unchanged;
  EditRefusal Refusal = EditRefusal::None;
  // Stale: values that differ from what the edit was worked out from.
  // TunedMap (also when the rest was applied): values of the tuned map left.
  // Undo and redo: values kept as the unit or a later change left them.
  int Count = 0;
  bool StartProgramming = false;
  int Page = -1;  // undo and redo: the page to show first, -1 for the one shown
  NormaliseResult Normalised;

  bool Applied() const { return Verdict == EditVerdict::Applied; }
};

// What the status bar says about a result: why it was refused, how many
// values the tuned map or the unit kept; empty when there is nothing to say.
// `undo` tells a restore's count (values kept) from an edit's.
std::string EditResultText(const EditResult& result, bool undo, LanguageCode language);

}  // namespace velmor

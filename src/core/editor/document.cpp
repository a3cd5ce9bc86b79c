#include "editor/document.h"

#include "files/build_stamp.h"
#include "model/defaults.h"
#include "model/fields.h"

namespace velmor {
namespace {

EditResult Refused(EditRefusal why, int count = 0) {
  EditResult result;
  result.Verdict = EditVerdict::Refused;
  result.Refusal = why;
  result.Count = count;
  return result;
}

}  // namespace

Document::Document() { New(0); }

Document::Document(const ParameterImage& image) : Image(image), Saved(image) { RefreshPercentMaps(Image, Tables); }

NormaliseResult Document::New(int model) {
  Image.P(0) = static_cast<std::uint8_t>(model);
  ApplyDefaults(Image, Tables, DefaultsScope::Whole);
  FileName.clear();
  const NormaliseResult r = NormaliseAndRefresh();
  Saved = Image;
  return r;
}

std::optional<NormaliseResult> Document::NewForPage(int page) {
  if (PageRefusedWhileCoupled(Image, page)) return std::nullopt;
  ApplyDefaults(Image, Tables, DefaultsScope::Page, page);
  FileName.clear();
  return NormaliseAndRefresh();
}

OpenResult Document::Open(const std::string& path) { return Read(path, IgnScope::WholeFile, 0); }

OpenResult Document::OpenForPage(const std::string& path, int page) { return Read(path, IgnScope::Page, page); }

OpenResult Document::Read(const std::string& path, IgnScope scope, int page) {
  OpenResult result;
  result.Read = ReadParameterFile(path, Image, Tables, scope, page);
  if (!result.Loaded()) return result;
  result.Normalised = NormaliseAndRefresh();
  FileName = path;
  // One page of a file over the rest of the tune is neither file: changed.
  if (scope == IgnScope::WholeFile) Saved = Image;
  return result;
}

SaveResult Document::Save(const std::string& path, const IgnVersionTexts& versions) {
  SaveResult result;
  result.Normalised = NormaliseAndRefresh();
  result.Written = SaveParameterFile(path, Image, versions);
  if (result.Written.Ok) {
    FileName = path;
    Saved = Image;
  }
  return result;
}

EditResult Document::Apply(const Edit& edit, const EditContext& context, UndoRing& history, BlockMarks& marks) {
  if (context.Reading) return Refused(EditRefusal::Reading);
  int stale = 0;
  for (const FieldChange& c : edit.Changes) stale += SpanValue(Image, {c.Offset, c.Width}) != c.Before;
  if (stale > 0) return Refused(EditRefusal::Stale, stale);
  const std::array<bool, kBlockCount> tunedBlocks = BlocksTheUnitTunes(Image, context.Switches.TuningOn);
  const auto tuned = [&](int offset) {
    const int partner = PartnerOffset(offset);
    return tunedBlocks[BlockOfParam(offset)] || (partner >= 0 && tunedBlocks[BlockOfParam(partner)]);
  };
  EditResult result;
  int left = 0, written = 0;
  for (const FieldChange& c : edit.Changes) {
    if (tuned(c.Offset)) {
      left += c.After != c.Before;
      continue;
    }
    SetSpanValue(Image, {c.Offset, c.Width}, c.After);
    ++written;
  }
  if (left > 0) {
    if (written == 0) return Refused(EditRefusal::TunedMap, left);
    result.Refusal = EditRefusal::TunedMap;
    result.Count = left;
  }
  result.Normalised = NormaliseAndRefresh();
  const PushResult pushed = PushUndo(history, Image, edit.Page, marks, context.Switches);
  result.Verdict = pushed.Changed ? EditVerdict::Applied : EditVerdict::Unchanged;
  result.StartProgramming = pushed.StartProgramming;
  return result;
}

EditResult Document::Undo(const EditContext& context, int page, UndoRing& history, BlockMarks& marks) {
  return Restore(false, context, page, history, marks);
}

EditResult Document::Redo(const EditContext& context, int page, UndoRing& history, BlockMarks& marks) {
  return Restore(true, context, page, history, marks);
}

EditResult Document::Restore(bool redo, const EditContext& context, int page, UndoRing& history,
                             BlockMarks& marks) {
  if (context.Reading) return Refused(EditRefusal::Reading);
  EditResult result;
  const RestoreResult r = redo ? velmor::Redo(history, Image, page, marks, context.Switches)
                               : velmor::Undo(history, Image, page, marks, context.Switches);
  if (!r.Moved) return result;
  Refresh();
  result.Verdict = EditVerdict::Applied;
  result.Count = r.Kept;
  result.Page = r.Page;
  result.StartProgramming = r.StartProgramming;
  return result;
}

NormaliseResult Document::Normalise() { return velmor::Normalise(Image, Selection); }

void Document::Refresh() {
  if (Image.P(kMapModeByte) == MapModeEqual) CopyMap1ToMap2(Image, Tables);
  RefreshPercentMaps(Image, Tables);
}

NormaliseResult Document::NormaliseAndRefresh() {
  const NormaliseResult result = Normalise();
  Refresh();
  return result;
}

IgnVersionTexts FileVersions(const IdentityTexts& unit) {
  return {unit.Date, unit.Time, unit.Name, BuildDateText(), BuildTimeText()};
}

}  // namespace velmor

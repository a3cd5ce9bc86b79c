#include "editor/program_review.h"

#include "editor/document.h"

namespace velmor {

void NormaliseForComparison(ParameterImage& image) {
  Document taken(image);
  taken.NormaliseAndRefresh();
  image = taken.Image;
}

IgnReadResult LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image) {
  Document file(base);
  IgnReadResult read = file.Open(path).Read;
  image = read.Loaded() ? file.Image : base;
  return read;
}

ProgramReference ReferenceBeforeProgram(std::string_view unitName, const UnitMemory& session,
                                        const std::string& historyDirectory, const ParameterImage& editor) {
  ProgramReference ref;
  // Without a name no file can be told to belong to this unit.
  if (unitName.empty() || session.Uncertain(unitName)) return ref;
  if (const ParameterImage* known = session.LastKnown(unitName)) {
    ref.Source = ReferenceSource::Session;
    ref.Image = *known;
    return ref;
  }
  const std::optional<HistoryEntry> latest = LatestHistoryOf(historyDirectory, unitName);
  if (!latest || !LoadComparableImage(latest->Path, editor, ref.Image).Loaded()) return ref;
  ref.Source = ReferenceSource::History;
  ref.HistoryPath = latest->Path;
  return ref;
}

}  // namespace velmor

#include "files/program_review.h"

#include "files/ign_file.h"
#include "model/derived.h"
#include "model/normalise.h"

namespace velmor {

void NormaliseForComparison(ParameterImage& image) {
  PersistedSelection selection{};
  Normalise(image, selection);
  if (image.P(kMapModeByte) == MapModeEqual) {
    DerivedTables tables;
    CopyMap1ToMap2(image, tables);
  }
}

bool LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image) {
  image = base;
  DerivedTables tables;
  if (!ReadParameterFile(path, image, tables, IgnScope::WholeFile).Loaded()) {
    image = base;
    return false;
  }
  NormaliseForComparison(image);
  return true;
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
  if (!latest || !LoadComparableImage(latest->Path, editor, ref.Image)) return ref;
  ref.Source = ReferenceSource::History;
  ref.HistoryPath = latest->Path;
  return ref;
}

}  // namespace velmor

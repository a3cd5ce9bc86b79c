#include "editor/document.h"

#include "files/build_stamp.h"
#include "model/defaults.h"

namespace velmor {

Document::Document() { New(0); }

Document::Document(const ParameterImage& image) : Image(image) { RefreshPercentMaps(Image, Tables); }

NormaliseResult Document::New(int model) {
  Image.P(0) = static_cast<std::uint8_t>(model);
  ApplyDefaults(Image, Tables, DefaultsScope::Whole);
  FileName.clear();
  return NormaliseAndRefresh();
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
  return result;
}

SaveResult Document::Save(const std::string& path, const IgnVersionTexts& versions) {
  SaveResult result;
  result.Normalised = NormaliseAndRefresh();
  result.Written = SaveParameterFile(path, Image, versions);
  if (result.Written.Ok) FileName = path;
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

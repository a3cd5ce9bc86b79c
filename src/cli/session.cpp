#include "session.h"

#include "files/build_stamp.h"
#include "model/defaults.h"

namespace velmor::cli {

IgnVersionTexts ProgramVersions() {
  IgnVersionTexts v;
  v.BuildDate = BuildDateText();
  v.BuildTime = BuildTimeText();
  return v;
}

Session::Session() { New(0); }

void Session::New(int model) {
  Image.P(0) = static_cast<std::uint8_t>(model);
  ApplyDefaults(Image, Tables, DefaultsScope::Whole);
  NormaliseAndRefresh();
}

void Session::NormaliseAndRefresh() {
  Normalise(Image, Selection);
  if (Image.P(kMapModeByte) == MapModeEqual) CopyMap1ToMap2(Image, Tables);
  RefreshPercentMaps(Image, Tables);
}

IgnReadResult Session::Open(const std::string& path) {
  IgnReadResult r = ReadParameterFile(path, Image, Tables, IgnScope::WholeFile);
  if (r.Loaded()) NormaliseAndRefresh();
  return r;
}

IgnReadResult Session::OpenForPage(const std::string& path, int page) {
  IgnReadResult r = ReadParameterFile(path, Image, Tables, IgnScope::Page, page);
  if (r.Loaded()) NormaliseAndRefresh();
  return r;
}

WriteStatus Session::Save(const std::string& path, const IgnVersionTexts& versions) {
  NormaliseAndRefresh();
  return SaveParameterFile(path, Image, versions);
}

}  // namespace velmor::cli

// The window's handling of the image without the window: what New, Open,
// "Open for actual page" and Save do to the image, in the same order.
#pragma once

#include <string>

#include "files/ign_file.h"
#include "model/derived.h"
#include "model/image.h"
#include "model/normalise.h"

namespace velmor::cli {

// This program's build stamp for the VERSIONS section ("Mar  5 2024",
// "14:03:59"); no unit is attached, so the unit's texts are empty.
IgnVersionTexts ProgramVersions();

class Session {
 public:
  // The window right after start-up without settings: defaults of model 0,
  // normalised and refreshed.
  Session();

  // New for a model (0..7): whole defaults, normalisation, refresh.
  void New(int model);
  // Open: a whole-file read; when something was loaded, normalisation and
  // refresh follow.
  IgnReadResult Open(const std::string& path);
  // "Open for actual page" with `page` shown.
  IgnReadResult OpenForPage(const std::string& path, int page);
  // Save: normalisation and refresh, then the file.
  WriteStatus Save(const std::string& path, const IgnVersionTexts& versions);

  // The normalisation pass followed by the refresh every page runs: in
  // " 1 = 2" mode map 1 and its axis are copied onto map 2.
  void NormaliseAndRefresh();

  ParameterImage Image;
  DerivedTables Tables;
  PersistedSelection Selection{};
};

}  // namespace velmor::cli

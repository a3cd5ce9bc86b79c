// Images the tests start from and compare: the defaults of a bike model as
// New sets them, the parameters a file holds, and whether two images hold
// the same parameters. No Qt and no assertions of its own, so that the
// GoogleTest and the Qt Test suites share it and each says what it checks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "files/ign_file.h"
#include "model/defaults.h"
#include "model/derived.h"
#include "model/image.h"

namespace velmor::testsupport {

// Every default of bike model `model` over the whole image, and the tables
// derived with them; not yet normalised.
struct DefaultImage {
  ParameterImage image;
  DerivedTables tables;
  explicit DefaultImage(int model = 0) {
    image.P(0) = static_cast<std::uint8_t>(model);
    ApplyDefaults(image, tables, DefaultsScope::Whole);
  }
};

// The image alone, for a file or a unit's memory.
inline ParameterImage DefaultsOf(int model = 0) { return DefaultImage(model).image; }

// Reads a whole file into `image` as Open does; the tables derived on the
// way are left behind.
inline IgnReadResult ReadImage(const std::string& path, ParameterImage& image) {
  DerivedTables tables;
  return ReadParameterFile(path, image, tables, IgnScope::WholeFile);
}

// The same parameter area, whatever block 0 (the unit's identity) holds.
inline bool SameParameters(const ParameterImage& a, const ParameterImage& b) {
  return std::ranges::equal(a.ParamArea(), b.ParamArea());
}

}  // namespace velmor::testsupport

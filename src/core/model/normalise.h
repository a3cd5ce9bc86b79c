// The normalisation pass that keeps the image consistent after every change.
#pragma once

#include <cstdint>

#include "model/image.h"

namespace velmor {

// The persisted selections the pass limits along with the image.
struct PersistedSelection {
  std::uint8_t Language = 0;
  std::uint8_t PortSelection = 0;
  std::uint8_t ScanIndex = 0;
};

struct NormaliseResult {
  // The two pressure-sensor voltages are equal: the window shows both edits red.
  bool PressureVoltagesEqual = false;
};

// Everything the pass decides comes from the image it works on, so that an
// image the unit holds normalises the same whatever the window showed before.
NormaliseResult Normalise(ParameterImage& image, PersistedSelection& selection);

}  // namespace velmor

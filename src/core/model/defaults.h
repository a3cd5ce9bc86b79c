// The default configuration, whole or for one editor page.
#pragma once

#include "model/derived.h"
#include "model/image.h"

namespace velmor {

enum class DefaultsScope { Whole, Page };

// Number of models in the bike list; the list's ninth item ("-------------")
// is not a model and makes the New commands do nothing.
inline constexpr int kBikeModelCount = 8;

// The defaults procedure for the model in P+0. With page scope only the group
// of `page` runs, plus the opening and closing steps.
void ApplyDefaults(ParameterImage& image, DerivedTables& tables, DefaultsScope scope,
                   int page = 0);

// The lambda-sensor table for the type in P+302.
void ApplyLambdaTableDefault(ParameterImage& image);

// The model-dependent header values (excitation time and fixed bytes).
void ApplyModelHeader(ParameterImage& image);

// The fixed calibration constants (never edited, never in files).
void ApplyCalibrationConstants(ParameterImage& image);

}  // namespace velmor

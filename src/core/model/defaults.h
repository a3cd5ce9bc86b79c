// The default configuration, whole or for one editor page.
#pragma once

#include <cstdint>

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
// Only the fixed bytes: the excitation time (P+4) is the tuner's to edit, so
// start-up keeps the value the last run closed with.
void ApplyModelFixedBytes(ParameterImage& image);

// The fixed calibration constants (never edited, never in files).
void ApplyCalibrationConstants(ParameterImage& image);

// A change of the bike model in two halves around the question and the
// window's refresh. The first takes the percentages of the maps the image
// holds under the old model, then stores the new model (list items 0..7 only;
// the ninth item keeps P+0). The second sets the header values for the model
// and recomputes both maps from those percentages over the new base times, so
// a declined "New" keeps every percentage and moves the absolute times.
void BeginBikeModelChange(ParameterImage& image, DerivedTables& tables, int item);
void FinishBikeModelChange(ParameterImage& image, DerivedTables& tables);

// The answer to "Do you want default setting?".
enum class DefaultsAnswer : std::uint8_t { Yes, No, Cancel };

// Item `item` of the bike list was chosen and the question answered. Yes:
// the whole defaults of the new model. No: the new model with every
// percentage kept, its header values and the times over its base times.
// Cancel, No on the model already set, and the separator item (which asks
// nothing), leave the image as it was. False when nothing changed: the list then shows P+0 again.
bool ChangeBikeModel(ParameterImage& image, DerivedTables& tables, int item, DefaultsAnswer answer);

}  // namespace velmor

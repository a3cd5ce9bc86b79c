// What read and program keep of their transaction in the history folder.
#pragma once

#include "cli.h"
#include "files/ign_file.h"
#include "model/image.h"

namespace velmor::cli {

// Writes the image into the history folder and prints where; a failure is
// a warning on the error stream (false), not a failed transaction.
bool KeepInHistory(Io& io, const Command& command, const ParameterImage& image, const IgnVersionTexts& versions,
                   bool programmed);

}  // namespace velmor::cli

// What the file commands share: telling how a read went, and saving as the
// window saves.
#pragma once

#include <string>

#include "cli.h"
#include "editor/document.h"
#include "files/ign_file.h"

namespace velmor::cli {

// Prints the read's warnings and, when nothing was loaded, why; true when
// something was loaded.
bool ReportLoaded(Io& io, const Command& c, const std::string& path, const IgnReadResult& r);

// Saves the document's image (normalised and refreshed first); kExitOk, or
// kExitFailure with the reason printed.
int SaveDocument(Io& io, const Command& c, Document& s, const std::string& path);

}  // namespace velmor::cli

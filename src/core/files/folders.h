// Where Velmor keeps its files on this system: one rule for the settings,
// the tune history and the logs, so that no two of them can disagree about
// an odd environment.
#pragma once

#include <functional>
#include <string>

namespace velmor {

// A variable's value or null; std::getenv when empty.
using EnvLookup = std::function<const char*(const char*)>;

enum class FolderKind { Config, Data };

// Config: $VELMOR_CONFIG_DIR, else $XDG_CONFIG_HOME/velmor, else
// $HOME/.config/velmor. Data: $VELMOR_DATA_DIR, else $XDG_DATA_HOME/velmor,
// else $HOME/.local/share/velmor. An empty variable counts as unset; the XDG
// variables and HOME count only as absolute paths (the base directory
// convention ignores relative ones, and a relative HOME would put the files
// wherever the program happens to be started). Empty when none is usable:
// the caller says that there is no folder. Nothing is created here.
std::string VelmorFolder(FolderKind kind, const EnvLookup& getEnv = {});

// A folder inside the data folder ("history", "logs"); empty when there is
// no data folder.
std::string DataSubfolder(const char* name, const EnvLookup& getEnv = {});

}  // namespace velmor

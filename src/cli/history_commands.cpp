// The history folder on the command line: where it is and what it holds.
#include <ctime>

#include "history_commands.h"

#include "files/history.h"

namespace velmor::cli {
namespace {

int RunHistory(const Args& args, Io& io) {
  const Command& c = *Commands().Find("history");
  const std::string what = args.Positional.empty() ? "list" : args.Positional.front();
  const std::string dir = HistoryDirectory();
  if (dir.empty()) {
    Error(io, c, "no folder for the history: none of VELMOR_DATA_DIR, XDG_DATA_HOME and HOME is set");
    return kExitFailure;
  }
  if (what == "path") {
    io.Out << dir << "\n";
    return kExitOk;
  }
  if (what != "list") {
    Error(io, c, "unknown action \"" + what + "\"; one of: list, path");
    return kExitUsage;
  }
  for (const HistoryEntry& e : ListHistory(dir)) {
    std::string kind(HistoryKindWord(e.Kind));
    kind.resize(7, ' ');
    io.Out << e.TimeText() << "  " << kind << "  " << e.UnitName << "  " << e.Path << "\n";
  }
  return kExitOk;
}

}  // namespace

void AddHistoryCommands(CommandTable& table) {
  static const std::string text =
      "Every image read from the unit (after \"Verify: OK\") and every image programmed into it\n"
      "is kept as a parameter file in the history folder, by the window and by read and\n"
      "program here alike. The folder keeps the newest " + std::to_string(kHistoryLimit) +
      " files.\n\n"
      "  list   one line per file, newest first: time, read or program, unit, file\n"
      "  path   the folder: $VELMOR_DATA_DIR/history, else $XDG_DATA_HOME/velmor/history,\n"
      "         else ~/.local/share/velmor/history";
  table.Add({.Name = "history",
             .Arguments = "[list|path]",
             .Summary = "list the images read from and programmed into units",
             .Description = text,
             .Options = {},
             .Positionals = {"[list|path]"},
             .Run = RunHistory});
}

// Keeps what a read or program moved; a failure is reported but does not
// undo the transaction's success.
bool KeepInHistory(Io& io, const Command& command, const ParameterImage& image, const IgnVersionTexts& versions,
                   bool programmed) {
  const HistoryWrite w = WriteHistoryEntry(HistoryDirectory(), image, versions,
                                           programmed ? HistoryKind::Program : HistoryKind::Read, std::time(nullptr));
  if (!w.Status.Ok) {
    Error(io, command, "warning: not kept in the history: " + w.Status.Reason);
    return false;
  }
  io.Out << "History: " << w.Path << "\n";
  return true;
}

}  // namespace velmor::cli

// velmor-cli: the core without a window. Subcommands live in one table; each
// group of them registers itself from its own source file (file commands
// here, the serial-line commands in link_commands.cpp), and main() only hands
// the arguments over.
#pragma once

#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_format.h"

namespace velmor::cli {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailure = 1,  // the command could not do its work (diff: the files differ)
  kExitUsage = 2,    // wrong arguments (diff: also any failure)
};

struct Option {
  std::string_view Long;       // "--model"
  std::string_view Short;      // "-o", or empty
  std::string_view ValueName;  // "N"; empty for a switch without value
  std::string_view Help;
  bool Required = false;
};

struct Args {
  std::map<std::string, std::string, std::less<>> Options;  // by long name, switches hold ""
  std::vector<std::string> Positional;

  bool Has(std::string_view longName) const { return Options.find(longName) != Options.end(); }
  const std::string& Get(std::string_view longName) const;  // empty when absent
};

struct Io {
  std::ostream& Out;
  std::ostream& Err;
};

struct Command {
  std::string_view Name;         // "merge"
  std::string_view Arguments;    // "--page P BASE OTHER -o OUT"
  std::string_view Summary;      // one line for the list of commands
  std::string_view Description;  // the rest of the command's --help
  std::vector<Option> Options;
  std::vector<std::string_view> Positionals;  // names, in order; all required
  int (*Run)(const Args& args, Io& io) = nullptr;
};

class CommandTable {
 public:
  void Add(Command command);
  const Command* Find(std::string_view name) const;
  std::span<const Command> All() const { return commands_; }

 private:
  std::vector<Command> commands_;
};

// Each group of commands adds itself.
void AddFileCommands(CommandTable& table);
void AddLinkCommands(CommandTable& table);
void AddEditCommand(CommandTable& table);
void AddHistoryCommands(CommandTable& table);
void AddPortCommands(CommandTable& table);
void AddLogCommands(CommandTable& table);

// The table of every command.
const CommandTable& Commands();

// Runs one command line (without the program name); returns the exit code.
int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The command's --help text.
std::string HelpText(const Command& command);

// Prints "velmor-cli COMMAND: message" on the error stream.
void Error(Io& io, const Command& command, std::string_view message);

// What `monitor` prints for one frame: the values of its log row, a sensor
// fault as "error".
std::string LiveLine(const LogRow& row);

// A whole decimal number within lo..hi, or false.
bool ParseInt(std::string_view text, int lo, int hi, int& value);

}  // namespace velmor::cli

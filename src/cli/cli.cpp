#include "cli.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace velmor::cli {
namespace {

constexpr std::string_view kProgram = "velmor-cli";

std::string GeneralUsage(const CommandTable& table) {
  std::ostringstream s;
  s << "usage: " << kProgram << " COMMAND [ARGUMENTS]\n"
    << "       " << kProgram << " COMMAND --help\n\n"
    << "Commands:\n";
  for (const Command& c : table.All()) {
    s << "  " << c.Name;
    for (std::size_t pad = c.Name.size(); pad < 14; ++pad) s << ' ';
    s << c.Summary << '\n';
  }
  return s.str();
}

// Splits the arguments after the command name. False, with a message in
// `problem`, when they do not fit the command.
bool Parse(const Command& command, std::span<const std::string> args, Args& parsed, std::string& problem) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.Positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string_view name = arg;
    std::string inlineValue;
    bool hasInline = false;
    if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
      inlineValue = std::string(name.substr(eq + 1));
      name = name.substr(0, eq);
      hasInline = true;
    }
    const Option* option = nullptr;
    for (const Option& o : command.Options) {
      if (name == o.Long || (!o.Short.empty() && name == o.Short)) option = &o;
    }
    if (option == nullptr) {
      problem = "unknown option " + std::string(name);
      return false;
    }
    std::string value;
    if (!option->ValueName.empty()) {
      if (hasInline) {
        value = inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        problem = std::string(option->Long) + " needs a value (" + std::string(option->ValueName) + ")";
        return false;
      }
    } else if (hasInline) {
      problem = std::string(option->Long) + " takes no value";
      return false;
    }
    // A second value would silently replace the first: "--map inj1 ...
    // --map advance" must not edit the map the tuner named first.
    if (!parsed.Options.emplace(std::string(option->Long), value).second) {
      problem = std::string(option->Long) + " is given more than once";
      return false;
    }
  }
  for (const Option& o : command.Options) {
    if (o.Required && !parsed.Has(o.Long)) {
      problem = "missing " + std::string(o.Long) + " " + std::string(o.ValueName);
      return false;
    }
  }
  // A positional written "[NAME]" may be left out.
  if (parsed.Positional.size() < command.Positionals.size() &&
      !command.Positionals[parsed.Positional.size()].starts_with("[")) {
    problem = "missing " + std::string(command.Positionals[parsed.Positional.size()]);
    return false;
  }
  // A last positional named "NAME..." takes every further argument.
  const bool repeats = !command.Positionals.empty() && command.Positionals.back().ends_with("...");
  if (parsed.Positional.size() > command.Positionals.size() && !repeats) {
    problem = "unexpected argument " + parsed.Positional[command.Positionals.size()];
    return false;
  }
  return true;
}

bool WantsHelp(std::span<const std::string> args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

}  // namespace

const std::string& Args::Get(std::string_view longName) const {
  static const std::string kEmpty;
  const auto it = Options.find(longName);
  return it == Options.end() ? kEmpty : it->second;
}

void CommandTable::Add(Command command) { commands_.push_back(std::move(command)); }

const Command* CommandTable::Find(std::string_view name) const {
  for (const Command& c : commands_) {
    if (c.Name == name) return &c;
  }
  return nullptr;
}

const CommandTable& Commands() {
  static const CommandTable table = [] {
    CommandTable t;
    AddFileCommands(t);
    AddEditCommand(t);
    AddLinkCommands(t);
    AddHistoryCommands(t);
    AddPortCommands(t);
    AddLogCommands(t);
    return t;
  }();
  return table;
}

std::string HelpText(const Command& command) {
  std::ostringstream s;
  s << "usage: " << kProgram << ' ' << command.Name << ' ' << command.Arguments << "\n\n"
    << command.Summary << '\n';
  if (!command.Description.empty()) s << '\n' << command.Description << '\n';
  s << "\nOptions:\n";
  auto line = [&](std::string left, std::string_view help) {
    left.resize(std::max<std::size_t>(left.size() + 1, 25), ' ');
    s << left << help << '\n';
  };
  for (const Option& o : command.Options) {
    std::string left = "  ";
    if (!o.Short.empty()) left += std::string(o.Short) + ", ";
    left += o.Long;
    if (!o.ValueName.empty()) left += " " + std::string(o.ValueName);
    line(left, o.Help);
  }
  line("  -h, --help", "show this help");
  return s.str();
}

void Error(Io& io, const Command& command, std::string_view message) {
  io.Err << kProgram << ' ' << command.Name << ": " << message << '\n';
}

bool ParseInt(std::string_view text, int lo, int hi, int& value) {
  int v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
  value = v;
  return true;
}

int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const CommandTable& table = Commands();
  if (args.empty()) {
    err << GeneralUsage(table);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    if (args.size() > 1 && args[0] == "help") {
      if (const Command* c = table.Find(args[1])) {
        out << HelpText(*c);
        return kExitOk;
      }
    }
    out << GeneralUsage(table);
    return kExitOk;
  }
  const Command* command = table.Find(args[0]);
  if (command == nullptr) {
    err << kProgram << ": unknown command '" << args[0] << "'\n\n" << GeneralUsage(table);
    return kExitUsage;
  }
  const auto rest = args.subspan(1);
  if (WantsHelp(rest)) {
    out << HelpText(*command);
    return kExitOk;
  }
  Args parsed;
  std::string problem;
  Io io{out, err};
  if (!Parse(*command, rest, parsed, problem)) {
    Error(io, *command, problem);
    err << "usage: " << kProgram << ' ' << command->Name << ' ' << command->Arguments << '\n';
    return kExitUsage;
  }
  return command->Run(parsed, io);
}

}  // namespace velmor::cli

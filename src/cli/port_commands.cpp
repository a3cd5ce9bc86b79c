// velmor-cli ports: the port doctor for every number of the Com menu.
#include "cli.h"

#ifdef VELMOR_CLI_LINK

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "port_devices.h"
#include "port_doctor.h"

extern char** environ;

namespace velmor::cli {
namespace {

constexpr int kMenuPorts = 20;

// The numbers of the Com menu and any further number a VELMOR_COM<n>
// variable names.
std::set<int> PortNumbers() {
  std::set<int> numbers;
  for (int n = 1; n <= kMenuPorts; ++n) numbers.insert(n);
  const std::string prefix = platform::OverrideVariable(0).substr(0, 10);  // "VELMOR_COM"
  for (char** e = environ; e && *e; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (entry.rfind(prefix, 0) != 0 || eq == std::string::npos || eq == prefix.size()) continue;
    int n = 0;
    if (ParseInt(std::string_view(entry).substr(prefix.size(), eq - prefix.size()), 1, 256, n))
      numbers.insert(n);
  }
  return numbers;
}

std::string OverrideOf(int number, const std::string& device) {
  const std::string var = platform::OverrideVariable(number);
  const char* value = std::getenv(var.c_str());
  return value && device == value ? var : std::string();
}

// One port: the device line, then each problem with its fix, or "ok".
void PrintFinding(Io& io, const std::string& label, const platform::PortFinding& f,
                  const std::string& via) {
  std::string line = label;
  line.resize(std::max<std::size_t>(line.size() + 1, 7), ' ');
  line += f.Device.empty() ? "-" : f.Device;
  if (!via.empty()) line += " (" + via + ")";
  if (f.Present) {
    line += "  " + platform::ModeText(f.Mode) + " " + f.Owner + ":" + f.Group;
    line += f.CanReadWrite ? ", you can read and write it" : ", you cannot read and write it";
    if (!f.CanReadWrite) line += f.InGroup ? " (you are in " + f.Group + ")" : " (you are not in " + f.Group + ")";
  }
  if (!f.UsbVendorId.empty()) {
    line += "\n       USB " + f.UsbVendorId + ":" + f.UsbProductId;
    if (!f.UsbName.empty()) line += " " + f.UsbName;
    if (!f.Driver.empty()) line += ", driver " + f.Driver;
  }
  io.Out << line << '\n';
  if (f.Problems.empty()) io.Out << "       ok\n";
  for (const auto& p : f.Problems) io.Out << "       " << p.What << "\n         fix: " << p.Fix << '\n';
}

bool Usable(const platform::PortFinding& f) {
  return f.Present && std::none_of(f.Problems.begin(), f.Problems.end(), [](const platform::PortProblem& p) {
           return p.Kind != platform::PortProblemKind::ModemManager && p.Kind != platform::PortProblemKind::Brltty;
         });
}

int RunPorts(const Args& args, Io& io) {
  const Command& c = *Commands().Find("ports");
  if (args.Has("--port") && args.Has("--com")) {
    Error(io, c, "give either --port or --com, not both");
    return kExitUsage;
  }
  const platform::Identity who = platform::Identity::Current();
  platform::PortDevices devices;
  std::set<int> numbers;
  if (args.Has("--port")) {
    const auto f = platform::DiagnosePort(args.Get("--port"), who);
    PrintFinding(io, "", f, "");
    return Usable(f) ? kExitOk : kExitFailure;
  }
  if (args.Has("--com")) {
    int n = 0;
    if (!ParseInt(args.Get("--com"), 1, 256, n)) {
      Error(io, c, "--com must be a port number from 1 to 256");
      return kExitUsage;
    }
    numbers.insert(n);
  } else {
    numbers = PortNumbers();
  }

  bool anyUsable = false;
  int hidden = 0;
  std::vector<int> empty;
  for (int n : numbers) {
    const std::string device = devices.DeviceFor(n);
    if (device.empty()) {
      empty.push_back(n);
      continue;
    }
    const std::string via = OverrideOf(n, device);
    const auto f = platform::DiagnosePort(device, who, {}, via);
    PrintFinding(io, "COM" + std::to_string(n), f, via);
    anyUsable = anyUsable || Usable(f);
    hidden = std::max(hidden, f.HiddenProcesses);
  }
  if (!empty.empty()) {
    io.Out << "COM" << empty.front();
    if (empty.size() > 1) io.Out << " ... COM" << empty.back();
    io.Out << ": no device\n";
    if (!anyUsable) {
      const auto f = platform::DiagnoseNoDevice(empty.front());
      io.Out << "       " << f.Problems[0].What << "\n         fix: " << f.Problems[0].Fix << '\n';
    }
  }
  if (hidden > 0 && who.Uid != 0)
    io.Out << "The open files of " << hidden
           << " processes of other users cannot be seen; run with sudo to check them too.\n";
  return anyUsable ? kExitOk : kExitFailure;
}

}  // namespace

void AddPortCommands(CommandTable& table) {
  table.Add({.Name = "ports",
             .Arguments = "[--com N|--port DEV]",
             .Summary = "say which device each port opens and why one does not open",
             .Description =
                 "For Com 1 ... Com 20 and every further VELMOR_COM<n> variable: the device the number\n"
                 "opens, its permissions, owner and group, whether you can read and write it, the USB\n"
                 "adapter and driver behind it, and each problem with its fix: not in the device's\n"
                 "group (or added to it after this login), another program holding the port (from\n"
                 "/proc), ModemManager or brltty running, the adapter not there. Only reads; changes\n"
                 "nothing. Exit 0 when a port can be used (the one asked for, or any).",
             .Options = {{"--com", "", "N", "only port number N", false},
                         {"--port", "", "DEV", "only the device DEV", false}},
             .Positionals = {},
             .Run = RunPorts});
}

}  // namespace velmor::cli

#else

namespace velmor::cli {
void AddPortCommands(CommandTable& /*table*/) {}
}  // namespace velmor::cli

#endif

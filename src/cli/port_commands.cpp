// velmor-cli ports: the port doctor for every number of the Com menu.
#include "cli.h"

#ifdef VELMOR_CLI_LINK

#include <unistd.h>

#include <set>

#include "port_devices.h"
#include "port_doctor.h"
#include "port_report.h"

extern char** environ;

namespace velmor::cli {
namespace {

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
    io.Out << platform::FindingText("", f, "");
    return platform::Usable(f) ? kExitOk : kExitFailure;
  }
  if (args.Has("--com")) {
    int n = 0;
    if (!ParseInt(args.Get("--com"), 1, 256, n)) {
      Error(io, c, "--com must be a port number from 1 to 256");
      return kExitUsage;
    }
    numbers.insert(n);
  } else {
    numbers = platform::PortNumbers(environ);
  }

  const platform::PortReport report = platform::ReportPorts(numbers, devices, who);
  io.Out << report.Text;
  return report.AnyUsable ? kExitOk : kExitFailure;
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

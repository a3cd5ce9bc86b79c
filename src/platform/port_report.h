// The port doctor's report over the numbers of the Com menu, as text: what
// `velmor-cli ports` prints and the window's port diagnostics show.
#pragma once

#include <set>
#include <string>

#include "port_devices.h"
#include "port_doctor.h"

namespace velmor::platform {

// Com 1 ... Com 20 and every further number a VELMOR_COM<n> variable of
// `environment` (a null-terminated array of "NAME=value") names.
std::set<int> PortNumbers(char** environment);

// The port has a device and nothing but a warning stands in its way.
bool Usable(const PortFinding& finding);

// One port: the device line (with the USB adapter behind it), then each
// problem and its fix, or "ok". `via` names the variable the device came from.
std::string FindingText(const std::string& label, const PortFinding& finding, const std::string& via,
                        LanguageCode language = LanguageCode::English);

struct PortReport {
  std::string Text;
  bool AnyUsable = false;
};

// The report over `numbers`: a block per port that names a device, one line
// for the numbers that name none (with the fix when no port is usable), and a
// note when other users' processes could not be looked into.
PortReport ReportPorts(const std::set<int>& numbers, const PortDevices& devices, const Identity& who,
                       const SystemPaths& paths = {}, LanguageCode language = LanguageCode::English);

}  // namespace velmor::platform

// Why a serial port does not open, in plain words and with the one-line fix.
// The doctor only reads: the device node, the group database, /proc (who
// holds the device, whether ModemManager or brltty runs) and sysfs (the USB
// adapter behind the device). It changes nothing on the system.
//
// Every place it reads is a path in SystemPaths and the user is an Identity,
// so that a test can point it at a tree of its own and at a user who is not
// root.
#pragma once

#include <string>
#include <vector>

#include "lang/catalog.h"

namespace velmor::platform {

struct SystemPaths {
  std::string Proc = "/proc";
  std::string Sys = "/sys";
  std::string GroupFile = "/etc/group";
  std::string PasswdFile = "/etc/passwd";
  // A made-up system for a test has plain files for device nodes; the check
  // that the node is a terminal is left out for it.
  bool NodesAreFiles = false;
};

struct Identity {
  unsigned Uid = 0;
  std::string User;
  // The groups of this login session; a group added later is in the group
  // file but not here until the user logs in again.
  std::vector<unsigned> SessionGroups;
  int OwnPid = 0;

  static Identity Current();
};

enum class PortProblemKind {
  NoDevice,      // the port number names no device
  Missing,       // the device named is not there
  NotSerial,     // the path names a file, a folder, a FIFO or a device that is no terminal
  NotInGroup,    // no permission; the device's group would give it
  LoginAgain,    // in that group, but only since this session started
  NoPermission,  // no permission that a group would give
  Busy,          // another process has the device open
  ModemManager,  // probes new modem-like (ttyACM) devices
  Brltty,        // claims many USB serial adapters as braille displays
};

struct PortProblem {
  PortProblemKind Kind;
  // In English starts with "no such device", "not a serial device",
  // "permission denied", "busy" or "warning".
  std::string What;
  std::string Fix;   // one line
};

struct PortHolder {
  int Pid = 0;
  std::string Command;
  bool ThisProgram = false;
  // Holds the master of this pseudo-terminal too (a simulated unit): it is
  // the other end of the line, not a competitor for it.
  bool OtherSide = false;
};

struct PortFinding {
  std::string Device;
  bool Present = false;
  std::string Owner, Group;
  unsigned Mode = 0;  // permission bits
  bool CanReadWrite = false;
  bool InGroup = false;  // the session has the device's group
  std::vector<PortHolder> Holders;
  int HiddenProcesses = 0;  // processes whose open files we may not see
  // The USB adapter behind the device, from sysfs; empty for other devices.
  std::string UsbVendorId, UsbProductId, UsbName, Driver;
  std::vector<PortProblem> Problems;
};

// What keeps `device` from opening for `who`; `overrideVariable` (such as
// VELMOR_COM3) is named in the fix when the device came from it. The
// problems are told in `language`.
PortFinding DiagnosePort(const std::string& device, const Identity& who,
                         const SystemPaths& paths = {}, const std::string& overrideVariable = {},
                         LanguageCode language = LanguageCode::English);

// The finding for a port number that names no device.
PortFinding DiagnoseNoDevice(int portNumber, LanguageCode language = LanguageCode::English);

// The first problem and its fix, in one line; empty when there is none.
std::string Summary(const PortFinding& finding, LanguageCode language = LanguageCode::English);

// "crw-rw----" style text of the permission bits.
std::string ModeText(unsigned mode);

}  // namespace velmor::platform

// Texts of the port diagnostics (the Com menu item, its window and the
// button beside the port) and the doctor's findings, in the four languages.
// `velmor-cli ports` prints the findings in English. Commands, paths and
// udev keys inside them stay as the system spells them.
#pragma once

#include <string_view>

#include "lang/catalog.h"

namespace velmor {

enum class PortText : int {
  MenuPortDiagnostics,  // Com menu
  Title,
  Intro,
  Port,                 // the caption of the port choice
  AllPorts,
  CheckAgain,
  Close,
  Diagnose,             // beside the port when it did not open, and in its message
  DiagnoseHint,
  // The doctor's findings and fixes.
  NoDeviceFor,          // "%1" COM<n>
  NoDeviceFix,          // "%1" the VELMOR_COM<n> variable
  Missing,              // "%1" the device
  MissingFix,
  MissingFixVariable,   // "%1" the variable the device came from
  PermissionDenied,     // "%1" the device with its mode and owner
  LoginAgain,           // "%1" the permission line, "%2" the group
  LoginAgainFix,        // "%1" the group
  NotInGroup,           // "%1" the permission line, "%2" the group
  NotInGroupFix,        // "%1" the group
  NoGroup,              // "%1" the permission line
  NoGroupFix,
  Busy,                 // "%1" the device, "%2" the processes holding it
  BusyFix,
  AProcess,             // a holder whose command is not known
  ModemManager,         // "%1" the device's name
  ModemManagerFix,      // "%1" the rule, or DisableIt
  UdevRule,             // "%1" the rule's keys
  DisableIt,
  Brltty,               // "%1" the device's name
  BrlttyFix,
  SummaryFix,           // "%1" the problem, "%2" its fix
  CanReadWrite,
  CannotReadWrite,
  InGroupNote,          // "%1" the group
  NotInGroupNote,       // "%1" the group
  Driver,               // "%1" the driver
  Ok,
  FixLine,              // "%1" the fix
  NoDevice,             // after the port numbers that name no device
  HiddenProcesses,      // "%1" how many processes could not be looked into
  NoSuchDevice,         // the port number names no device
  NoSuchDevicePath,     // "%1" the device
  HeldByAnother,        // "%1" the device
  DialoutHint,          // "%1" the device
  CannotOpen,           // "%1" the device
  CannotSetLine,        // "%1" the device
  NotSerial,            // "%1" the path, "%2" what it is (one of the Node... texts)
  NotSerialFix,
  NotSerialFixVariable, // "%1" the variable the path came from
  NodeFile,
  NodeFolder,
  NodeFifo,
  NodeSocket,
  NodeBlockDevice,
  NodeOther,
  NodeNoTerminal,
  Count
};

std::string_view PortCaption(PortText text, LanguageCode language);

}  // namespace velmor

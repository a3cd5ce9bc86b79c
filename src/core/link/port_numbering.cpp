#include "link/port_numbering.h"

#include <cstdio>

namespace velmor {

int PortNumberFor(const PortState& port) {
  return port.PortSelection == kPortAuto ? port.ScanIndex + 1 : port.PortSelection + 1;
}

std::string PortDeviceName(int portNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "\\\\.\\COM%d", portNumber);
  return name;
}

std::string LabelComText(int portNumber) {
  const std::string device = PortDeviceName(portNumber);
  return "COM= " + device.substr(4, 10);
}

std::string ComMenuCaption(int item) {
  if (item == kPortAuto) return "Com Auto";
  return "Com " + std::to_string(item + 1);
}

std::uint8_t NextScanIndex(std::uint8_t scanIndex) {
  const auto next = static_cast<std::uint8_t>(scanIndex + 1);
  return next > 20 ? 0 : next;
}

}  // namespace velmor

// Which device a port number opens. COM n is the n-th entry of the sorted list
// of /dev/ttyUSB*, then /dev/ttyACM*, then /dev/ttyS* (so one USB serial
// adapter is COM1), unless an override names a device for that number: one
// set by the program (SetOverride) first, then the environment variable
// VELMOR_COM<n> (VELMOR_COM3=/dev/pts/5).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace velmor::platform {

class PortDevices {
 public:
  explicit PortDevices(std::string devDir = "/dev") : devDir_(std::move(devDir)) {}

  void SetOverride(int portNumber, std::string path) { overrides_[portNumber] = std::move(path); }
  void ClearOverrides() { overrides_.clear(); }

  // The device of port n; empty when the number has none.
  std::string DeviceFor(int portNumber) const;

  // The serial devices in COM order.
  std::vector<std::string> Enumerate() const;

 private:
  std::string devDir_;
  std::map<int, std::string> overrides_;
};

// The name of the environment variable that overrides port n.
std::string OverrideVariable(int portNumber);

// Orders device names the way a person counts them: ttyUSB2 before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace velmor::platform

#include "port_devices.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace velmor::platform {

std::string OverrideVariable(int portNumber) { return "VELMOR_COM" + std::to_string(portNumber); }

bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) &&
        std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ie = i, je = j;
      while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie]))) ++ie;
      while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je]))) ++je;
      const std::string na = a.substr(i, ie - i), nb = b.substr(j, je - j);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ie;
      j = je;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::vector<std::string> PortDevices::Enumerate() const {
  std::vector<std::string> result;
  for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
    std::vector<std::string> group;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(devDir_, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) != 0 || name.size() == std::string(prefix).size()) continue;
      if (!std::all_of(name.begin() + static_cast<long>(std::string(prefix).size()), name.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        continue;
      group.push_back(name);
    }
    std::sort(group.begin(), group.end(), NaturalLess);
    for (const auto& name : group) result.push_back(devDir_ + "/" + name);
  }
  return result;
}

std::string PortDevices::DeviceFor(int portNumber) const {
  if (auto it = overrides_.find(portNumber); it != overrides_.end()) return it->second;
  if (const char* env = std::getenv(OverrideVariable(portNumber).c_str()); env && *env) return env;
  if (portNumber < 1) return {};
  const auto devices = Enumerate();
  if (static_cast<std::size_t>(portNumber) > devices.size()) return {};
  return devices[static_cast<std::size_t>(portNumber) - 1];
}

}  // namespace velmor::platform

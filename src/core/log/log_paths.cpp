#include "log/log_paths.h"

#include <cstdio>

namespace velmor {

std::string LogsDirectory(const char* velmorDataDir, const char* xdgDataHome, const char* home) {
  auto given = [](const char* s) { return s != nullptr && *s != '\0'; };
  if (given(velmorDataDir)) return std::string(velmorDataDir) + "/logs";
  if (given(xdgDataHome)) return std::string(xdgDataHome) + "/velmor/logs";
  if (given(home)) return std::string(home) + "/.local/share/velmor/logs";
  return {};
}

std::string RiddenTunePath(const std::string& logPath) {
  const std::size_t slash = logPath.find_last_of('/');
  const std::size_t dot = logPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? logPath.substr(0, dot) : logPath) + ".ign";
}

std::string LogFileStem(int year, int month, int day, int hour, int minute, int second) {
  char stem[48];
  std::snprintf(stem, sizeof stem, "%04d-%02d-%02d_%02d-%02d-%02d", year, month, day, hour, minute, second);
  return stem;
}

}  // namespace velmor

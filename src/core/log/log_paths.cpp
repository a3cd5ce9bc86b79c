#include "log/log_paths.h"

#include <cstdio>

namespace velmor {

std::string LogsDirectory(const EnvLookup& getEnv) { return DataSubfolder("logs", getEnv); }

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

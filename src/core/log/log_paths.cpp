#include "log/log_paths.h"

#include <cstdio>

namespace velmor {

std::string LogsDirectory(const EnvLookup& getEnv) { return DataSubfolder("logs", getEnv); }

std::string PathWithoutExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return hasExtension ? path.substr(0, dot) : path;
}

std::string RiddenTunePath(const std::string& logPath) { return PathWithoutExtension(logPath) + ".ign"; }

std::string TunePathOfLog(const std::string& logPath, int number) {
  if (number <= 1) return RiddenTunePath(logPath);
  return PathWithoutExtension(logPath) + ".tune-" + std::to_string(number) + ".ign";
}

std::string LogFileStem(int year, int month, int day, int hour, int minute, int second) {
  char stem[48];
  std::snprintf(stem, sizeof stem, "%04d-%02d-%02d_%02d-%02d-%02d", year, month, day, hour, minute, second);
  return stem;
}

}  // namespace velmor

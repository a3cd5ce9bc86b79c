// Where the window records its logs and what it names them.
#pragma once

#include <string>

#include "files/folders.h"

namespace velmor {

// "logs" in the data folder of VelmorFolder, beside the history; empty
// when there is none.
std::string LogsDirectory(const EnvLookup& getEnv = {});

// A log named by the local date and time it starts, "2026-03-05_14-03-59.csv",
// with "-2", "-3" … before the extension when `taken` says the name is
// used already.
template <typename Taken>
std::string LogFileName(int year, int month, int day, int hour, int minute, int second, Taken&& taken);

// "/d/ride.csv" -> "/d/ride"; a dot in a folder's name or a leading dot of
// the file's name is no extension.
std::string PathWithoutExtension(const std::string& path);

// The tune a log was ridden on, kept beside it when the recording starts:
// "2026-03-05_14-03-59.csv" -> "2026-03-05_14-03-59.ign". An analysis of the
// log starts from that tune, not from whatever the editor holds by then.
std::string RiddenTunePath(const std::string& logPath);
// Tune `number` of a log whose maps changed while it was recorded: the
// first is RiddenTunePath, each later one "NAME.tune-N.ign". The log's
// "tune" column names the tune of each row by this number.
std::string TunePathOfLog(const std::string& logPath, int number);

std::string LogFileStem(int year, int month, int day, int hour, int minute, int second);

template <typename Taken>
std::string LogFileName(int year, int month, int day, int hour, int minute, int second, Taken&& taken) {
  const std::string stem = LogFileStem(year, month, day, hour, minute, second);
  std::string name = stem + ".csv";
  for (int n = 2; taken(name) && n < 1000; ++n) name = stem + "-" + std::to_string(n) + ".csv";
  return name;
}

}  // namespace velmor

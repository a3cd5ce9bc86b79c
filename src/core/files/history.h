// The history: every image read from the unit or programmed into it, kept as
// an ordinary parameter file in one folder, so that a tune that left the
// unit can always be found again. The files are named after when and what
// happened and which unit it was:
//
//   20261210-143005-read-Vmr07.ign
//   20261210-143005-read-Vmr07.2.ign   (a second one within the same second)
//
// The folder keeps the kHistoryLimit files written last; older ones are
// removed as new ones arrive. "Newest" is when a file was written (its
// modification time): the stamp in a name is the clock at that moment,
// and a clock that was set ahead and corrected names files in the future.
// Only files named like this are ever listed or removed.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_io.h"
#include "files/ign_file.h"
#include "files/settings.h"
#include "model/image.h"

namespace velmor {

inline constexpr int kHistoryLimit = 1000;

enum class HistoryKind : std::uint8_t { Read, Program };

// "read", "program".
std::string_view HistoryKindWord(HistoryKind kind);

// "history" in the data folder of VelmorFolder; empty when there is none
// (then nothing is kept, and WriteHistoryEntry says why). Not created here.
std::string HistoryDirectory(const EnvLookup& getEnv = {});

// The unit's firmware name as it goes into a file name: every character
// other than an ASCII letter, digit, '_' or '-' becomes '_' (so no name can
// climb out of the folder, hide itself or end in the sequence suffix); an
// empty name becomes "unknown".
std::string SafeUnitName(std::string_view unitName);

// "20261210-143005-read-Vmr07.ign" for `when` in local time; `sequence`
// above 1 adds ".N" before the extension.
std::string HistoryFileName(std::time_t when, HistoryKind kind, std::string_view unitName, int sequence = 1);

struct HistoryEntry {
  std::string Path;           // the file
  std::string FileName;       // its name
  std::string Stamp;          // "20261210-143005", as in the name
  int Sequence = 1;           // the ".N" suffix; 1 without one
  HistoryKind Kind = HistoryKind::Read;
  std::string UnitName;       // as in the name (SafeUnitName)
  std::string NoteFirstLine;  // UTF-8; filled by ListHistory on request
  std::filesystem::file_time_type Written{};  // the file's modification time

  // "2026-12-10 14:30:05".
  std::string TimeText() const;
};

// Splits a history file name; false for any other name.
bool ParseHistoryFileName(std::string_view name, HistoryEntry& entry);

// The folder's history files, the one written last first (files written
// within the same moment by their names' stamp and sequence). With
// `withNotes` each file is read for the first line of its note (an
// unreadable file keeps it empty).
std::vector<HistoryEntry> ListHistory(const std::string& directory, bool withNotes = false);

// Removes the oldest history files beyond `limit`, never `keep` (the file
// just written, whatever its time); returns how many went.
int PruneHistory(const std::string& directory, int limit = kHistoryLimit, const std::string& keep = {});

struct HistoryWrite {
  WriteStatus Status;
  std::string Path;  // the file written, once written
};

// Writes the image as a parameter file into the folder (created when
// missing), atomically like every save, under a name no earlier entry has,
// then keeps the newest `limit` files, the one written among them.
HistoryWrite WriteHistoryEntry(const std::string& directory, const ParameterImage& image,
                               const IgnVersionTexts& versions, HistoryKind kind, std::time_t when,
                               int limit = kHistoryLimit);

// The newest entry of a unit (its name as the unit reports it), if any.
std::optional<HistoryEntry> LatestHistoryOf(const std::string& directory, std::string_view unitName);

// What this session knows was in each unit: the image of the last Read or
// Program of that unit name. A unit not in here may hold a tune of which no
// copy exists yet.
class UnitMemory {
 public:
  void Remember(std::string_view unitName, const ParameterImage& image);
  // A programming of the unit failed part-way: it may hold blocks of two
  // tunes, so no image is known for it until it is read or programmed again.
  void ForgetAfterFailedProgram(std::string_view unitName);
  const ParameterImage* LastKnown(std::string_view unitName) const;
  bool Known(std::string_view unitName) const { return LastKnown(unitName) != nullptr; }
  bool Uncertain(std::string_view unitName) const { return uncertain_.contains(unitName); }

 private:
  std::map<std::string, ParameterImage, std::less<>> images_;
  std::set<std::string, std::less<>> uncertain_;
};

// "Programming after change" writes the unit with every edit; the history
// takes at most one file per interval of it. After each successful
// programming the caller asks whether to write now; when not, the change
// stays pending until DueAtMs (or the window closes).
class ChangeHistoryThrottle {
 public:
  explicit ChangeHistoryThrottle(std::int64_t intervalMs = 60'000) : intervalMs_(intervalMs) {}
  // A programming of changed blocks ended well at `nowMs`: true when a file
  // is to be written now (then call Written).
  bool Programmed(std::int64_t nowMs);
  // A file was written at `nowMs` (by this throttle's request or another).
  void Written(std::int64_t nowMs);
  // A change waits for its file.
  bool Pending() const { return pending_; }
  // When the pending change is due.
  std::int64_t DueAtMs() const { return lastWrittenMs_ + intervalMs_; }

 private:
  std::int64_t intervalMs_;
  std::int64_t lastWrittenMs_ = INT64_MIN / 2;
  bool pending_ = false;
};

}  // namespace velmor

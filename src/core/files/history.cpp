#include "files/history.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/memo.h"
#include "model/derived.h"

namespace velmor {
namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SafeChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Newest first: by when the file was written, then by stamp and by
// sequence within the same second.
bool Newer(const HistoryEntry& a, const HistoryEntry& b) {
  if (a.Written != b.Written) return a.Written > b.Written;
  if (a.Stamp != b.Stamp) return a.Stamp > b.Stamp;
  if (a.Sequence != b.Sequence) return a.Sequence > b.Sequence;
  return a.FileName > b.FileName;
}

std::string FirstNoteLine(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return {};
  ParameterImage image;
  DerivedTables tables;
  if (!ReadParameterText(text, image, tables, IgnScope::WholeFile).Loaded()) return {};
  const std::string note = NoteText(image);
  return note.substr(0, note.find('\n'));
}

}  // namespace

std::string_view HistoryKindWord(HistoryKind kind) { return kind == HistoryKind::Read ? "read" : "program"; }

std::string HistoryDirectory(const EnvLookup& getEnv) { return DataSubfolder("history", getEnv); }

std::string SafeUnitName(std::string_view unitName) {
  std::string safe;
  for (char c : unitName) safe += SafeChar(c) ? c : '_';
  return safe.empty() ? "unknown" : safe;
}

std::string HistoryFileName(std::time_t when, HistoryKind kind, std::string_view unitName, int sequence) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::string name = std::string(stamp) + "-" + std::string(HistoryKindWord(kind)) + "-" + SafeUnitName(unitName);
  if (sequence > 1) name += "." + std::to_string(sequence);
  return name + ".ign";
}

std::string HistoryEntry::TimeText() const {
  if (Stamp.size() != 15) return Stamp;
  return Stamp.substr(0, 4) + "-" + Stamp.substr(4, 2) + "-" + Stamp.substr(6, 2) + " " + Stamp.substr(9, 2) +
         ":" + Stamp.substr(11, 2) + ":" + Stamp.substr(13, 2);
}

bool ParseHistoryFileName(std::string_view name, HistoryEntry& entry) {
  constexpr std::string_view kExt = ".ign";
  if (name.size() < 16 + kExt.size() || !name.ends_with(kExt)) return false;
  std::string_view rest = name.substr(0, name.size() - kExt.size());
  const std::string_view stamp = rest.substr(0, 15);
  if (!AllDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !AllDigits(stamp.substr(9, 6))) return false;
  if (rest.size() < 16 || rest[15] != '-') return false;
  rest.remove_prefix(16);
  HistoryKind kind;
  if (rest.starts_with("read-")) {
    kind = HistoryKind::Read;
    rest.remove_prefix(5);
  } else if (rest.starts_with("program-")) {
    kind = HistoryKind::Program;
    rest.remove_prefix(8);
  } else {
    return false;
  }
  int sequence = 1;
  if (const auto dot = rest.rfind('.'); dot != std::string_view::npos) {
    const std::string_view digits = rest.substr(dot + 1);
    if (!AllDigits(digits) || digits.size() > 6) return false;
    sequence = std::atoi(std::string(digits).c_str());
    rest = rest.substr(0, dot);
  }
  if (rest.empty() || !std::all_of(rest.begin(), rest.end(), SafeChar)) return false;
  entry.FileName = std::string(name);
  entry.Stamp = std::string(stamp);
  entry.Sequence = sequence;
  entry.Kind = kind;
  entry.UnitName = std::string(rest);
  return true;
}

std::vector<HistoryEntry> ListHistory(const std::string& directory, bool withNotes) {
  namespace fs = std::filesystem;
  std::vector<HistoryEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    HistoryEntry entry;
    if (!ParseHistoryFileName(it->path().filename().string(), entry)) continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    entry.Written = it->last_write_time(typeError);
    entry.Path = it->path().string();
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), Newer);
  if (withNotes) {
    for (HistoryEntry& e : entries) e.NoteFirstLine = FirstNoteLine(e.Path);
  }
  return entries;
}

int PruneHistory(const std::string& directory, int limit, const std::string& keep) {
  std::vector<HistoryEntry> entries = ListHistory(directory);
  const std::string kept = std::filesystem::path(keep).filename().string();
  const auto isKept = [&](const HistoryEntry& e) { return e.FileName == kept; };
  // The file just written counts first, whatever its time says; the others
  // fill the rest of the limit.
  std::stable_partition(entries.begin(), entries.end(), isKept);
  int removed = 0;
  for (std::size_t i = static_cast<std::size_t>(std::max(limit, 0)); i < entries.size(); ++i) {
    std::error_code ec;
    if (!isKept(entries[i]) && std::filesystem::remove(entries[i].Path, ec)) ++removed;
  }
  return removed;
}

HistoryWrite WriteHistoryEntry(const std::string& directory, const ParameterImage& image,
                               const IgnVersionTexts& versions, HistoryKind kind, std::time_t when, int limit) {
  namespace fs = std::filesystem;
  HistoryWrite result;
  if (directory.empty()) {
    result.Status = {false, "no folder for it: none of VELMOR_DATA_DIR, XDG_DATA_HOME and HOME is set"};
    return result;
  }
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (ec) {
    result.Status = {false, "cannot create " + directory + ": " + ec.message()};
    return result;
  }
  // The name is claimed before it is written (created exclusively): two
  // reads in the same second, in two processes, never take the same one.
  std::string path;
  for (int sequence = 1;; ++sequence) {
    path = (fs::path(directory) / HistoryFileName(when, kind, versions.UnitName, sequence)).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      break;
    }
    if (errno != EEXIST || sequence >= 100000) {
      result.Status = {false, "cannot create " + path + ": " + std::strerror(errno)};
      return result;
    }
  }
  result.Status = SaveParameterFile(path, image, versions);
  if (!result.Status.Ok) {
    std::error_code removeError;
    fs::remove(path, removeError);  // the claimed name, still empty
    return result;
  }
  result.Path = path;
  PruneHistory(directory, limit, path);
  return result;
}

std::optional<HistoryEntry> LatestHistoryOf(const std::string& directory, std::string_view unitName) {
  const std::string safe = SafeUnitName(unitName);
  for (HistoryEntry& e : ListHistory(directory)) {
    if (e.UnitName == safe) return std::move(e);
  }
  return std::nullopt;
}

void UnitMemory::Remember(std::string_view unitName, const ParameterImage& image) {
  images_.insert_or_assign(std::string(unitName), image);
  if (const auto it = uncertain_.find(unitName); it != uncertain_.end()) uncertain_.erase(it);
}

void UnitMemory::ForgetAfterFailedProgram(std::string_view unitName) {
  if (const auto it = images_.find(unitName); it != images_.end()) images_.erase(it);
  uncertain_.emplace(unitName);
}

const ParameterImage* UnitMemory::LastKnown(std::string_view unitName) const {
  const auto it = images_.find(unitName);
  return it != images_.end() ? &it->second : nullptr;
}

bool ChangeHistoryThrottle::Programmed(std::int64_t nowMs) {
  pending_ = true;
  return nowMs >= DueAtMs();
}

void ChangeHistoryThrottle::Written(std::int64_t nowMs) {
  lastWrittenMs_ = nowMs;
  pending_ = false;
}

}  // namespace velmor

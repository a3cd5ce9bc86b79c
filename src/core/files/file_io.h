// Whole-file reading and saving that never leaves a half-written file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmor {

struct WriteStatus {
  bool Ok = false;
  std::string Reason;  // for failures: what went wrong, in English
};

// Files larger than this are not read: no file of ours comes near it, and a
// mistaken pick (a disk image) must not exhaust memory.
inline constexpr std::size_t kMaxReadBytes = 16u << 20;

// Reads the whole file into `bytes`. False when it cannot be opened or read,
// is not a regular file or is larger than `maxBytes`; `bytes` is then empty.
// A pipe or device is refused without waiting for a writer or for data.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes = kMaxReadBytes);

// Replaces the file's content with `bytes`. A regular (or new) file is written
// to a temporary file in the same directory, flushed to disk and renamed into
// place, so a failed or interrupted save leaves the previous file whole; a
// symbolic link keeps pointing at the replaced file. A target that exists but
// is not a regular file (a directory, a pipe, a device) is refused: opening a
// pipe would wait for a reader forever. A file this process may not write
// (write-protected) is refused and left as it is. Temporary files that saves
// killed midway left in the directory are removed first (see below).
WriteStatus AtomicWriteFile(const std::string& path, std::string_view bytes);

// True for the name of a save's temporary file, ".NAME.tmpPID-N", with the
// process id in `pid`.
bool IsSaveTemporaryName(std::string_view name, long& pid);

// Removes from `directory` the save temporaries of processes that no longer
// run; those of running processes (another save in progress) stay. Returns
// how many were removed.
int RemoveStaleTemporaries(const std::string& directory);

}  // namespace velmor

#include "files/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

namespace velmor {
namespace {

std::string Describe(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

// Writes everything, retrying short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  // Without O_NONBLOCK a pipe's open waits for a writer: the type is known
  // only after the open, so the open must not wait.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= maxBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (ok && got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // the file shrank while being read: take what is there
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

WriteStatus AtomicWriteFile(const std::string& path, std::string_view bytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(path);
  if (target.empty()) return {false, "no file name given"};
  // Replacing a link would turn it into a plain file; save through it instead.
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (ec) return {false, Describe("cannot resolve", path, ec.value())};
    target = resolved;
  }
  const std::string targetName = target.string();
  struct stat st {};
  const bool exists = ::stat(targetName.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return {false, Describe("cannot write", path, EISDIR)};
  if (exists && !S_ISREG(st.st_mode)) return {false, "cannot write " + path + ": not a regular file"};
  // A file that could not be opened for writing must not be replaced by the
  // rename either: write protection (or a read-only mount) keeps it.
  if (exists && ::faccessat(AT_FDCWD, targetName.c_str(), W_OK, AT_EACCESS) != 0) {
    return {false, Describe("cannot open", path, errno)};
  }

  // A name no other save (another process, another thread) is using.
  static std::atomic<unsigned> counter{0};
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  RemoveStaleTemporaries(dir.string());
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = (dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter++)))
               .string();
    // 0666 before the umask, as a plain create would give; an existing file
    // keeps its own permissions below.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return {false, Describe("cannot create a file in", dir.string(), errno)};

  int error = 0;
  bool ok = WriteAll(fd, bytes, error);
  if (ok && exists && ::fchmod(fd, st.st_mode & 07777) != 0) {
    // Not fatal: the content matters more than the mode bits.
  }
  if (ok && ::fsync(fd) != 0) {
    error = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), targetName.c_str()) != 0) {
    error = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return {false, Describe("cannot write", path, error)};
  }
  // Make the rename itself durable; a failure here does not undo the save.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {true, {}};
}

bool IsSaveTemporaryName(std::string_view name, long& pid) {
  // "." NAME ".tmp" digits "-" digits, NAME not empty.
  if (name.size() < 8 || name.front() != '.') return false;
  const std::size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp < 2) return false;
  std::string_view rest = name.substr(tmp + 4);
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > 9 || dash + 1 == rest.size()) return false;
  auto digits = [](std::string_view d) {
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return false;
  pid = 0;
  for (char c : rest.substr(0, dash)) pid = pid * 10 + (c - '0');
  return true;
}

int RemoveStaleTemporaries(const std::string& directory) {
  DIR* d = ::opendir(directory.empty() ? "." : directory.c_str());
  if (d == nullptr) return 0;
  int removed = 0;
  while (const dirent* e = ::readdir(d)) {
    long pid = 0;
    if (!IsSaveTemporaryName(e->d_name, pid)) continue;
    // Process 0 and numbers beyond a pid's range name no single process.
    if (pid <= 0 || pid > INT_MAX || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlinkat(::dirfd(d), e->d_name, 0) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

}  // namespace velmor

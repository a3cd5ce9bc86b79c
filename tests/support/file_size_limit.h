// A disk that fills up, for one process: while a FileSizeLimit lives, no
// file of this process grows beyond `bytes`; a write past it fails as a
// write to a full disk does (EFBIG instead of ENOSPC), with no signal.
// Nothing else may write files while it is in force.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace velmor {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
  void (*signal_)(int) = nullptr;
};

}  // namespace velmor

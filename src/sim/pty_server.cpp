#include "pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace velmor::sim {

PtyServer::PtyServer(SimOptions options)
    : unit_(options), epoch_(std::chrono::steady_clock::now()) {}

PtyServer::~PtyServer() { Stop(); }

double PtyServer::NowMs() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - epoch_)
      .count();
}

bool PtyServer::Start(const std::string& linkPath, std::string* error) {
  if (running_) return true;
  auto fail = [&](const char* what) {
    if (error != nullptr) *error = std::string(what) + ": " + std::strerror(errno);
    if (slaveHold_ >= 0) ::close(slaveHold_);
    if (master_ >= 0) ::close(master_);
    master_ = slaveHold_ = -1;
    return false;
  };
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return fail("posix_openpt");
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("grantpt/unlockpt");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
  devicePath_ = name;

  // Hold the slave side open in raw mode: the line stays usable while the
  // program at the other end closes and reopens it, and no echo or line
  // editing ever touches a frame.
  slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveHold_ < 0) return fail("open slave");
  termios tio{};
  if (::tcgetattr(slaveHold_, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    ::tcsetattr(slaveHold_, TCSANOW, &tio);
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

  if (!linkPath.empty()) {
    // Replace the link in one step so that a client never finds it missing.
    const std::string temp = linkPath + ".new";
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    std::filesystem::create_symlink(devicePath_, temp, ec);
    if (!ec) std::filesystem::rename(temp, linkPath, ec);
    if (ec) {
      errno = ec.value();
      return fail("symlink");
    }
  }

  {
    std::lock_guard<std::mutex> lock(mutex_);
    unit_.ResetLine();
  }
  running_ = true;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void PtyServer::Stop() {
  if (!running_) return;
  running_ = false;
  if (thread_.joinable()) thread_.join();
  ::close(master_);
  ::close(slaveHold_);
  master_ = slaveHold_ = -1;
}

void PtyServer::Serve() {
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> pendingOut;
  std::uint8_t buffer[4096];
  std::size_t logged = 0;
  while (running_) {
    double waitMs = 20;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const double due = unit_.NextDueMs();
      if (std::isfinite(due)) waitMs = std::clamp(due - NowMs(), 0.0, 20.0);
    }
    if (!pendingOut.empty()) waitMs = std::min(waitMs, 1.0);
    pollfd p{master_, POLLIN, 0};
    // To the microsecond: a reply late by a rounded-up millisecond would
    // cost a transfer of 19 exchanges 2 % of its line time.
    const auto waitUs = static_cast<long>(std::ceil(waitMs * 1000));
    const timespec wait{waitUs / 1000000, (waitUs % 1000000) * 1000};
    ::ppoll(&p, 1, &wait, nullptr);

    std::lock_guard<std::mutex> lock(mutex_);
    for (;;) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;  // EAGAIN, or EIO while no client has the line open
      unit_.Receive(buffer, static_cast<std::size_t>(n), NowMs());
    }
    out.clear();
    unit_.Collect(NowMs(), out);
    pendingOut.insert(pendingOut.end(), out.begin(), out.end());
    while (!pendingOut.empty()) {
      const ssize_t n = ::write(master_, pendingOut.data(), pendingOut.size());
      if (n <= 0) break;  // terminal buffer full: try again shortly
      pendingOut.erase(pendingOut.begin(), pendingOut.begin() + n);
    }
    if (onTest_) {
      const auto& log = unit_.TestLog();
      for (; logged < log.size(); ++logged) onTest_(log[logged]);
    }
  }
}

}  // namespace velmor::sim

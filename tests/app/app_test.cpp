// The program itself, started offscreen as a user starts it and ended by a
// TERM signal: hostile files in its configuration directory and a signal
// during the start-up message box must end in exit status 0 and sane files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/settings.h"
#include "temp_dir.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A field of /proc/PID/status or /proc/PID/stat.
std::string ProcStatus(pid_t pid, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + ":", 0) == 0) return line.substr(key.size() + 1);
  return {};
}
long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(stat.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return utime + stime;
}

class Program {
 public:
  Program(const fs::path& configDir, const std::string& com1) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    ::setenv("VELMOR_CONFIG_DIR", configDir.c_str(), 1);
    ::setenv("VELMOR_COM1", com1.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", VELMOR_TEST_PLATFORM, 1);
    const int log = ::open((configDir.parent_path() / "program.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::execl(VELMOR_PROGRAM, VELMOR_PROGRAM, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ~Program() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // Until the program catches TERM and then spends almost no processor time
  // for half a second: it waits in an event loop, the window's or a message
  // box's (the window's tick costs a little, more so under a sanitizer).
  bool WaitUntilIdle() {
    const auto end = std::chrono::steady_clock::now() + 20s;
    const unsigned long termBit = 1ul << (SIGTERM - 1);
    while (std::strtoul(ProcStatus(pid_, "SigCgt").c_str(), nullptr, 16) & termBit ? false : true) {
      if (std::chrono::steady_clock::now() > end || Ended()) return false;
      std::this_thread::sleep_for(10ms);
    }
    long last = CpuTicks(pid_);
    int quiet = 0;
    while (quiet < 5) {
      if (std::chrono::steady_clock::now() > end || Ended()) return false;
      std::this_thread::sleep_for(100ms);
      const long now = CpuTicks(pid_);
      quiet = now - last <= 2 ? quiet + 1 : 0;  // at most 20 ms of 100
      last = now;
    }
    return true;
  }

  // Sends TERM every half second (one to close the window, another for any
  // message box its closing shows) until the program ends; its wait status.
  int TerminateAndWait() {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!Ended()) {
      if (std::chrono::steady_clock::now() > end) return -1;
      ::kill(pid_, SIGTERM);
      for (int i = 0; i < 50 && !Ended(); ++i) std::this_thread::sleep_for(10ms);
    }
    return status_;
  }

 private:
  bool Ended() {
    if (!ended_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return ended_;
  }
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

// A serial device that opens: the start-up shows no message box.
struct PseudoTerminal {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  PseudoTerminal() {
    ::grantpt(master);
    ::unlockpt(master);
  }
  ~PseudoTerminal() { ::close(master); }
  std::string Device() const { return ::ptsname(master); }
};

// What the directory holds after the run: a settings file of sane size and
// a window inside the configured screens.
void ExpectSaneFiles(const StatePaths& paths) {
  ASSERT_TRUE(fs::is_regular_file(paths.SettingsFile));
  const std::string text = Slurp(paths.SettingsFile);
  EXPECT_TRUE(UnusableSettingsText(text).empty());
  EXPECT_LT(text.size(), 1000u);
  Settings s;
  s.Width = s.Height = -1;
  ReadSettingsText(text, s);
  EXPECT_GE(s.Left, -2);
  EXPECT_GE(s.Top, -2);
  EXPECT_GT(s.Width, 0);
  EXPECT_GT(s.Height, 0);
  EXPECT_LE(s.Left + s.Width, 1920 + 1280 + 2);
  EXPECT_LE(s.Top + s.Height, 1080 + 2);
  EXPECT_TRUE(fs::is_regular_file(paths.LastImageFile));
  EXPECT_EQ(fs::file_size(paths.LastImageFile), 8326u);
}

struct HostileCase {
  const char* name;
  std::function<void(const StatePaths&)> make;
};
void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

void Ini(const std::string& path, const std::string& basic) { std::ofstream(path) << "[BASIC]\n" << basic; }
void Fifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }

class ProgramHostileFilesTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(ProgramHostileFilesTest, StartsAndEndsByTermWithSaneFiles) {
  TempDir dir;
  const fs::path config = dir.path / "config";
  fs::create_directories(config);
  const StatePaths paths = StatePathsIn(config.string());
  GetParam().make(paths);
  PseudoTerminal unit;
  Program program(config, unit.Device());
  ASSERT_TRUE(program.WaitUntilIdle()) << Slurp(dir.path / "program.log");
  const int status = program.TerminateAndWait();
  ASSERT_TRUE(WIFEXITED(status)) << "wait status " << status << "\n" << Slurp(dir.path / "program.log");
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectSaneFiles(paths);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProgramHostileFilesTest,
    ::testing::Values(
        HostileCase{"LargestInt", [](const StatePaths& p) { Ini(p.SettingsFile, "Width=2147483647\nHeight=2147483647\n"); }},
        HostileCase{"WidgetSizeLimit", [](const StatePaths& p) { Ini(p.SettingsFile, "Width=16777215\nLeft=99999999\n"); }},
        HostileCase{"Tall", [](const StatePaths& p) { Ini(p.SettingsFile, "Height=99999999\n"); }},
        HostileCase{"Negative",
                    [](const StatePaths& p) {
                      Ini(p.SettingsFile, "Left=-2147483648\nTop=-99999\nWidth=-1\nHeight=-2147483648\n");
                    }},
        HostileCase{"SettingsFifo", [](const StatePaths& p) { Fifo(p.SettingsFile); }},
        HostileCase{"LastImageFifo", [](const StatePaths& p) { Fifo(p.LastImageFile); }},
        HostileCase{"SettingsDirectory", [](const StatePaths& p) { fs::create_directory(p.SettingsFile); }},
        HostileCase{"TenMegabytesOfGarbage",
                    [](const StatePaths& p) {
                      std::string noise(10u << 20, '\0');
                      std::mt19937 rng(5);
                      for (char& c : noise) c = static_cast<char>(rng());
                      std::ofstream(p.SettingsFile, std::ios::binary) << noise;
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// The port that cannot be opened shows "Com opening error!" in front of the
// window as the start-up ends; a TERM then must still close the window the
// normal way and save.
TEST(ProgramSignals, TermDuringTheStartUpMessageBoxSavesTheSettings) {
  TempDir dir;
  const fs::path config = dir.path / "config";
  fs::create_directories(config);
  const StatePaths paths = StatePathsIn(config.string());
  Ini(paths.SettingsFile, "Language=2\n[Mine]\nkept=yes\n");
  Program program(config, (dir.path / "no-such-device").string());
  ASSERT_TRUE(program.WaitUntilIdle()) << Slurp(dir.path / "program.log");
  EXPECT_FALSE(fs::exists(paths.LastImageFile));  // still in the box: nothing saved yet
  const int status = program.TerminateAndWait();
  ASSERT_TRUE(WIFEXITED(status)) << "wait status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ExpectSaneFiles(paths);
  const std::string text = Slurp(paths.SettingsFile);
  EXPECT_NE(text.find("Language=2"), std::string::npos) << text;
  EXPECT_NE(text.find("kept=yes"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmor

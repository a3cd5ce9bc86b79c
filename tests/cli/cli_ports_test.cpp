// velmor-cli ports on the real system, with two numbers pointed by their
// variables at a pseudo-terminal of the test and at a device that is not
// there.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_run.h"

namespace velmor::cli {
namespace {

class CliPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Commands().Find("ports") == nullptr) GTEST_SKIP() << "built without the serial adapter";
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(::grantpt(master_), 0);
    ASSERT_EQ(::unlockpt(master_), 0);
    pty_ = ::ptsname(master_);
    missing_ = "/dev/velmor-no-such-adapter-" + std::to_string(::getpid());
    ::setenv("VELMOR_COM2", pty_.c_str(), 1);
    ::setenv("VELMOR_COM23", missing_.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("VELMOR_COM2");
    ::unsetenv("VELMOR_COM23");
    if (master_ >= 0) ::close(master_);
  }
  // The lines of the output from the one that starts with `head` up to the
  // next port.
  static std::string PortBlock(const std::string& out, const std::string& head) {
    const auto start = out.find("\n" + head + " ");
    if (start == std::string::npos) return {};
    const auto end = out.find("\nCOM", start + 1);
    return out.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
  }
  int master_ = -1;
  std::string pty_, missing_;
};

TEST_F(CliPortsTest, TableOfEveryPortWithItsProblems) {
  const Result r = RunCli({"ports"});
  const std::string out = "\n" + r.out;
  EXPECT_EQ(r.code, 0) << r.out << r.err;  // COM2 can be used

  const std::string com2 = PortBlock(out, "COM2");
  EXPECT_NE(com2.find(pty_ + " (VELMOR_COM2)"), std::string::npos) << out;
  EXPECT_NE(com2.find("you can read and write it"), std::string::npos) << com2;
  EXPECT_NE(com2.find("       ok"), std::string::npos) << com2;

  // A variable beyond the menu's twenty numbers is listed too.
  const std::string com23 = PortBlock(out, "COM23");
  EXPECT_NE(com23.find("no such device: " + missing_ + " is not there"), std::string::npos) << out;
  EXPECT_NE(com23.find("fix: plug the adapter in, or point VELMOR_COM23 at the right device"),
            std::string::npos)
      << com23;
}

TEST_F(CliPortsTest, OnePortAndItsExitStatus) {
  // This program holding the port is no competitor (a window's link uses
  // it); another process holding it is.
  const int slave = ::open(pty_.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(slave, 0);
  Result r = RunCli({"ports", "--com", "2"});
  EXPECT_EQ(r.code, 0) << r.out;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    ::close(master_);
    const char c = 1;
    (void)!::write(ready[1], &c, 1);
    for (;;) ::pause();
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  r = RunCli({"ports", "--com", "2"});
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ::close(slave);
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("busy: " + pty_ + " is open in"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(pid " + std::to_string(other) + ")"), std::string::npos) << r.out;

  r = RunCli({"ports", "--port", pty_});
  EXPECT_EQ(r.code, 0) << r.out;
  r = RunCli({"ports", "--com", "23"});
  EXPECT_EQ(r.code, 1) << r.out;
  r = RunCli({"ports", "--com", "2", "--port", pty_});
  EXPECT_EQ(r.code, 2);
  // A variable pointed at something that is no serial port is never "ok".
  ::setenv("VELMOR_COM2", "/dev/null", 1);
  r = RunCli({"ports", "--com", "2"});
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("not a serial device: /dev/null is a device that is no serial port"), std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace velmor::cli

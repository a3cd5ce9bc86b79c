// velmor-cli's link commands against the simulated unit's faults: what the
// tuner reads when a transfer stops, and the fast monitor.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <sstream>
#include <thread>

#include "cli.h"
#include "cli_run.h"
#include "pty_server.h"

namespace velmor {
namespace {

using CliResult = cli::Result;
using cli::RunCli;

class CliLinkE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VELMOR_DATA_DIR", dir_.filePath("data").toUtf8().constData(), 1); }
  void TearDown() override { ::unsetenv("VELMOR_DATA_DIR"); }
  std::string Path(const char* name) { return dir_.filePath(name).toStdString(); }
  // A tune file the unit holds, read from a sim without faults.
  std::string UnitsTune() {
    sim::PtyServer clean;
    std::string error;
    EXPECT_TRUE(clean.Start(Path("clean"), &error)) << error;
    const std::string tune = Path("unit.ign");
    const CliResult read = RunCli({"read", "--port", Path("clean"), "-o", tune});
    EXPECT_EQ(read.code, 0) << read.err;
    return tune;
  }
  QTemporaryDir dir_;
};

struct FaultCase {
  const char* name;
  sim::SimOptions options;
  const char* command;
  const char* said;
};

sim::SimOptions Faults(bool silent, double corrupt) {
  sim::SimOptions o;
  o.Silent = silent;
  o.CorruptShare = corrupt;
  return o;
}

TEST_F(CliLinkE2eTest, AFailedTransferSaysWhy) {
  const std::string tune = UnitsTune();
  const FaultCase cases[] = {
      {"silent read", Faults(true, 0), "read", "Read error! The unit did not answer. (block 0)"},
      {"silent verify", Faults(true, 0), "verify", "Verify stopped! The unit did not answer. (block 1)"},
      {"damaged verify", Faults(false, 1), "verify", "Verify stopped! The unit's answers arrived damaged. (block 1)"},
      {"silent program", Faults(true, 0), "program",
       "Program error! The unit did not answer. No block written: the unit keeps its configuration."},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim::PtyServer server(c.options);
    std::string error;
    ASSERT_TRUE(server.Start(Path("unit"), &error)) << error;
    std::vector<std::string> args{c.command, "--port", Path("unit")};
    if (std::string(c.command) == "read")
      args.insert(args.end(), {"-o", Path("out.ign")});
    else
      args.push_back(tune);
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Verify error!"), std::string::npos) << r.err;
  }

  // Only a block that came back different is a "Verify error!".
  sim::PtyServer changed;
  std::string error;
  ASSERT_TRUE(changed.Start(Path("unit"), &error)) << error;
  changed.WithUnit([](sim::SimUnit& u) { u.Memory().P(777) ^= 0x01; });
  const CliResult r = RunCli({"verify", "--port", Path("unit"), tune});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Verify error! Block 6 differs."), std::string::npos) << r.err;
}

// The cable comes out once the read half is done and the verify has begun.
TEST_F(CliLinkE2eTest, ACablePulledDuringAReadsVerifySaysTheConnectionWasLost) {
  sim::PtyServer server;
  std::string error;
  ASSERT_TRUE(server.Start(Path("unit"), &error)) << error;
  std::atomic<bool> done{false};
  std::thread puller([&] {
    while (!done) {
      if (server.WithUnit([](sim::SimUnit& u) { return u.Counters().Reads; }) >= 12) {
        server.Stop();
        return;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  const CliResult r = RunCli({"read", "--port", Path("unit"), "-o", Path("out.ign")});
  done = true;
  puller.join();
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Verify stopped! The connection to the unit was lost."), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Verify error!"), std::string::npos) << r.err;
}

TEST_F(CliLinkE2eTest, FastMonitorAsksForFramesAsTheyCome) {
  sim::PtyServer server;
  std::string error;
  ASSERT_TRUE(server.Start(Path("unit"), &error)) << error;
  auto frames = [&](bool fast) {
    std::vector<std::string> args{"monitor", "--port", Path("unit"), "--seconds", "2"};
    if (fast) args.push_back("--fast");
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    int n = 0;
    for (std::string line; std::getline(lines, line);) n += line.starts_with("rpm") ? 1 : 0;
    return n;
  };
  const int plain = frames(false);
  const int fast = frames(true);
  // One poll every 330 ms, against one every 55 ms tick.
  EXPECT_LE(plain, 7);
  EXPECT_GE(fast, 3 * plain) << plain;
}

// A recorded log has the unit's tune beside it, the one the analysis of the
// ride starts from: exactly what a read gives.
TEST_F(CliLinkE2eTest, MonitorIntoALogKeepsTheTuneBesideIt) {
  const std::string held = UnitsTune();
  sim::PtyServer server;
  std::string error;
  ASSERT_TRUE(server.Start(Path("unit"), &error)) << error;
  const CliResult r = RunCli({"monitor", "--port", Path("unit"), "--seconds", "1", "--csv", Path("ride.csv")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Tune: " + Path("ride.ign")), std::string::npos) << r.out;
  const CliResult diff = RunCli({"diff", held, Path("ride.ign")});
  EXPECT_EQ(diff.code, 0) << diff.out << diff.err;
  const CliResult analysis =
      RunCli({"log", "analyze", Path("ride.csv"), "--tune", Path("ride.ign"), "--map", "1"});
  EXPECT_NE(analysis.code, 2) << analysis.err;
}

}  // namespace
}  // namespace velmor

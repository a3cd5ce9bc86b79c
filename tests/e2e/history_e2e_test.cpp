// velmor-cli's read and program against the simulated unit: each keeps one
// history file holding exactly what it moved.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <sstream>

#include "cli.h"
#include "cli_run.h"
#include "editor/document.h"
#include "files/history.h"
#include "pty_server.h"
#include "test_images.h"

namespace velmor {
namespace {

using CliResult = cli::Result;
using cli::RunCli;

using testsupport::SameParameters;

// The parameter area a history file holds.
ParameterImage FileImage(const std::string& path) {
  ParameterImage image;
  EXPECT_TRUE(testsupport::ReadImage(path, image).Loaded()) << path;
  return image;
}

class HistoryE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VELMOR_DATA_DIR", dir_.filePath("data").toUtf8().constData(), 1);
    history_ = HistoryDirectory();
    std::string error;
    ASSERT_TRUE(server_.Start(link_, &error)) << error;
  }
  void TearDown() override {
    server_.Stop();
    ::unsetenv("VELMOR_DATA_DIR");
  }
  ParameterImage Unit() { return server_.WithUnit([](sim::SimUnit& u) { return u.Memory(); }); }
  std::string Path(const char* name) { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;
  std::string link_ = dir_.filePath("unit").toStdString();
  sim::PtyServer server_;
  std::string history_;
};

TEST_F(HistoryE2eTest, CliReadAndProgramEachKeepOneFileOfWhatTheyMoved) {
  server_.WithUnit([](sim::SimUnit& u) { u.Memory().P(35) = 97; });
  const CliResult read = RunCli({"read", "--port", link_, "-o", Path("unit.ign")});
  ASSERT_EQ(read.code, cli::kExitOk) << read.err;
  std::vector<HistoryEntry> list = ListHistory(history_);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Kind, HistoryKind::Read);
  EXPECT_EQ(list[0].UnitName, "Velmor_simulated_unit");
  EXPECT_NE(read.out.find("History: " + list[0].Path), std::string::npos) << read.out;
  EXPECT_TRUE(SameParameters(FileImage(list[0].Path), Unit()));

  Document edited;
  ASSERT_TRUE(edited.Open(Path("unit.ign")).Loaded());
  edited.Image.P(35) = 90;
  ASSERT_TRUE(edited.Save(Path("edited.ign"), FileVersions()).Written.Ok);
  const CliResult program = RunCli({"program", "--port", link_, Path("edited.ign")});
  ASSERT_EQ(program.code, cli::kExitOk) << program.err;
  list = ListHistory(history_);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Kind, HistoryKind::Program);
  const ParameterImage unit = Unit();
  EXPECT_EQ(unit.P(35), 90);
  EXPECT_TRUE(SameParameters(FileImage(list[0].Path), unit));

  const CliResult listed = RunCli({"history", "list"});
  EXPECT_EQ(listed.code, cli::kExitOk);
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 2);
  EXPECT_TRUE(listed.out.find(list[0].TimeText() + "  program  Velmor_simulated_unit  " + list[0].Path) == 0)
      << listed.out;
}

// A clock set a year ahead, then corrected, left a full folder of files
// named and written in the future: the file a read keeps now is the one it
// prints, it is there, and the folder still holds its limit.
TEST_F(HistoryE2eTest, AReadAmongFilesFromTheFuturePrintsAFileThatIsThere) {
  namespace fs = std::filesystem;
  fs::create_directories(history_);
  const std::time_t ahead = std::time(nullptr) + 365 * 86400;
  const auto written = fs::file_time_type::clock::now() + std::chrono::hours(24 * 365);
  for (int i = 0; i < kHistoryLimit; ++i) {
    const fs::path file = fs::path(history_) / HistoryFileName(ahead + i, HistoryKind::Read, "Velmor_simulated_unit");
    std::ofstream(file) << "KORDAVIN_KEY    78 \r\n";
    fs::last_write_time(file, written + std::chrono::seconds(i));
  }
  const CliResult read = RunCli({"read", "--port", link_, "-o", Path("unit.ign")});
  ASSERT_EQ(read.code, cli::kExitOk) << read.err;
  const std::size_t at = read.out.find("History: ");
  ASSERT_NE(at, std::string::npos) << read.out;
  const std::string printed = read.out.substr(at + 9, read.out.find('\n', at) - at - 9);
  EXPECT_TRUE(fs::exists(printed)) << printed;
  EXPECT_TRUE(SameParameters(FileImage(printed), Unit()));
  EXPECT_EQ(ListHistory(history_).size(), std::size_t{kHistoryLimit});
}

TEST_F(HistoryE2eTest, AFailedReadKeepsNothing) {
  server_.Stop();
  sim::SimOptions silent;
  silent.Silent = true;
  sim::PtyServer mute(silent);
  std::string error;
  ASSERT_TRUE(mute.Start(link_, &error)) << error;
  const CliResult read = RunCli({"read", "--port", link_, "-o", Path("unit.ign")});
  EXPECT_EQ(read.code, cli::kExitFailure);
  EXPECT_TRUE(ListHistory(history_).empty());
  mute.Stop();
}

}  // namespace
}  // namespace velmor

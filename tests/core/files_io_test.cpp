#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "temp_dir.h"
#include "files/ign_file.h"
#include "model/defaults.h"
#include "test_images.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;


std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

TEST(FilesAtomicSave, ReplacesTheContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const fs::path file = dir.path / "map.ign";
  Put(file, "old content that is longer than the new one");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const WriteStatus status = AtomicWriteFile(file.string(), "new");
  ASSERT_TRUE(status.Ok) << status.Reason;
  EXPECT_EQ(Slurp(file), "new");
  EXPECT_EQ(dir.Entries(), 1);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // Through a symbolic link: the link stays, its target gets the content.
  const fs::path link = dir.path / "link.ign";
  fs::create_symlink(file, link);
  ASSERT_TRUE(AtomicWriteFile(link.string(), "via link").Ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(file), "via link");
}

TEST(FilesAtomicSave, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  TempDir dir;
  const fs::path file = dir.path / "map.ign";
  const std::string old = "KORDAVIN_KEY    78 \r\nthe previous file\r\n";
  Put(file, old);

  // A file-size limit makes the write fail partway, like a full disk, even
  // for root.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const WriteStatus status = AtomicWriteFile(file.string(), std::string(100000, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(status.Ok);
  EXPECT_FALSE(status.Reason.empty());
  EXPECT_EQ(Slurp(file), old);
  EXPECT_EQ(dir.Entries(), 1);  // the temporary file is gone
}

TEST(FilesAtomicSave, FailuresAreReportedAndDestroyNothing) {
  TempDir dir;
  // A device is not a file to save into: refused, and left as it is.
  const WriteStatus full = AtomicWriteFile("/dev/full", "data");
  EXPECT_FALSE(full.Ok);
  EXPECT_NE(full.Reason.find("not a regular file"), std::string::npos) << full.Reason;
  struct stat st {};
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  EXPECT_FALSE(AtomicWriteFile((dir.path / "missing" / "x.ign").string(), "data").Ok);
  EXPECT_FALSE(AtomicWriteFile(dir.path.string(), "data").Ok);  // a directory
  EXPECT_FALSE(AtomicWriteFile("", "data").Ok);

  if (::geteuid() != 0) {  // root writes into read-only directories anyway
    const fs::path file = dir.path / "map.ign";
    Put(file, "old");
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(AtomicWriteFile(file.string(), "new").Ok);
    fs::permissions(dir.path, fs::perms::owner_all);
    EXPECT_EQ(Slurp(file), "old");
  }

  // A write-protected file in a writable directory cannot be opened for
  // writing, so it must not be replaced either. Root may write anything: the
  // save runs as an ordinary user.
  const fs::path locked = dir.path / "locked.ign";
  Put(locked, "old");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir.path, fs::perms::all);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setegid(65534) != 0 || ::seteuid(65534) != 0)) std::_Exit(2);
        const WriteStatus status = AtomicWriteFile(locked.string(), "new");
        std::_Exit(status.Ok ? 1 : status.Reason.empty() ? 3 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(Slurp(locked), "old");
  EXPECT_EQ(fs::status(locked).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  ParameterImage image;
  EXPECT_FALSE(SaveParameterFile("/dev/full", image, {}).Ok);
}

TEST(FilesRead, OnlyRegularFilesOfSaneSizeAreRead) {
  TempDir dir;
  const fs::path file = dir.path / "a.ign";
  Put(file, "0123456789");
  std::string bytes = "stale";
  EXPECT_TRUE(ReadWholeFile(file.string(), bytes));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_FALSE(ReadWholeFile(file.string(), bytes, 9));
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(ReadWholeFile(dir.path.string(), bytes));
  EXPECT_FALSE(ReadWholeFile((dir.path / "none").string(), bytes));
  EXPECT_FALSE(ReadWholeFile("/dev/zero", bytes));  // would never end

  // A saved file reads back through the file functions too.
  auto [saved, tables] = testsupport::DefaultImage(7);
  ASSERT_TRUE(SaveParameterFile(file.string(), saved, {}).Ok);
  ParameterImage loaded;
  const IgnReadResult r = ReadParameterFile(file.string(), loaded, tables, IgnScope::WholeFile);
  EXPECT_TRUE(r.Loaded());
  EXPECT_EQ(loaded, saved);
  const IgnReadResult missing =
      ReadParameterFile((dir.path / "none").string(), loaded, tables, IgnScope::WholeFile);
  EXPECT_EQ(missing.Outcome, IgnReadOutcome::CannotOpen);
  EXPECT_EQ(missing.Messages, std::vector<MsgKey>{MsgKey::MsgFileOpenError});
}

// A pipe opened the ordinary way waits for the other end forever. Each case
// runs in a child that an alarm ends after two seconds, so a wait fails the
// test instead of hanging it.
TEST(FilesSpecial, PipesAreRefusedForReadingAndWritingWithoutWaiting) {
  TempDir dir;
  const fs::path fifo = dir.path / "data.ign";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path link = dir.path / "link.ign";
  fs::create_symlink(fifo, link);
  for (const fs::path& path : {fifo, link}) {
    EXPECT_EXIT(
        {
          ::alarm(2);
          std::string bytes;
          if (ReadWholeFile(path.string(), bytes)) std::_Exit(1);
          const WriteStatus status = AtomicWriteFile(path.string(), "data");
          if (status.Ok || status.Reason.find("not a regular file") == std::string::npos) std::_Exit(2);
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "")
        << path;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(FilesSpecial, ASaveRemovesTheTemporariesOfKilledSavesOnly) {
  TempDir dir;
  // A process that has ended: its id names no process now.
  const pid_t child = ::fork();
  if (child == 0) std::_Exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  ASSERT_NE(::kill(child, 0), 0);
  const std::string dead = std::to_string(child);
  const std::string alive = std::to_string(::getppid());

  const std::vector<std::string> stale = {".map.ign.tmp" + dead + "-0", ".other.ign.tmp" + dead + "-12"};
  const std::vector<std::string> kept = {
      ".map.ign.tmp" + alive + "-3",  // a save in progress in another process
      "map.ign.tmp" + dead + "-1",    // not hidden: somebody's own file
      ".tmp" + dead + "-1",           // no file name before it
      ".map.ign.tmp-1",               // no process id
      ".map.ign.tmp" + dead + "-",    // no counter
      ".map.ign.tmp" + dead + "-1x",  // more after the counter
      "map.ign"};
  for (const std::string& name : stale) Put(dir.path / name, "half a save");
  for (const std::string& name : kept) Put(dir.path / name, "keep");
  fs::create_directory(dir.path / (".dir.tmp" + dead + "-4"));  // not a file

  ASSERT_TRUE(AtomicWriteFile((dir.path / "map.ign").string(), "new").Ok);
  for (const std::string& name : stale) EXPECT_FALSE(fs::exists(dir.path / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(dir.path / name)) << name;
  EXPECT_TRUE(fs::is_directory(dir.path / (".dir.tmp" + dead + "-4")));
  EXPECT_EQ(Slurp(dir.path / "map.ign"), "new");
}

}  // namespace
}  // namespace velmor

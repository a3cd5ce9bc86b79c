#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <set>
#include <vector>

#include "files/history.h"
#include "files/settings.h"
#include "log/log_paths.h"
#include "files/memo.h"
#include "model/defaults.h"
#include "model/normalise.h"
#include "temp_dir.h"
#include "test_images.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;

// File names hold local time; the tests pin it to UTC.
class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) savedTz_ = tz, hadTz_ = true;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  void TearDown() override {
    if (hadTz_)
      ::setenv("TZ", savedTz_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  std::string savedTz_;
  bool hadTz_ = false;
};

// 2026-12-10 14:30:05 UTC.
constexpr std::time_t kWhen = 1796913005;

ParameterImage ModelImage(int model, const std::string& note) {
  ParameterImage image = testsupport::DefaultsOf(model);
  WriteNoteText(image, note);
  PersistedSelection selection{};
  Normalise(image, selection);
  return image;
}

IgnVersionTexts UnitVersions(const std::string& name) { return {" 5. 2.2009", "07:05", name, "Mar  5 2024", "14:03:59"}; }

// The settings, the history and the logs follow one rule, so an odd
// environment cannot split them: a relative XDG variable or HOME is not
// taken, and with nothing usable there is no folder at all (not one in
// whatever directory the program was started in).
TEST(Folders, SettingsHistoryAndLogsFollowOneRule) {
  struct Case {
    std::map<std::string, std::string> env;
    std::string config, data;  // "" = no folder
  };
  const Case cases[] = {
      {{{"VELMOR_DATA_DIR", "/d"}, {"VELMOR_CONFIG_DIR", "/c"}, {"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/c", "/d"},
      {{{"XDG_DATA_HOME", "/x"}, {"XDG_CONFIG_HOME", "/y"}, {"HOME", "/h"}}, "/y/velmor", "/x/velmor"},
      {{{"XDG_DATA_HOME", "relative"}, {"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}},
       "/h/.config/velmor", "/h/.local/share/velmor"},
      {{{"VELMOR_DATA_DIR", ""}, {"HOME", "/h"}}, "/h/.config/velmor", "/h/.local/share/velmor"},
      {{{"XDG_DATA_HOME", "relative"}, {"HOME", ""}}, "", ""},
      {{{"HOME", "home"}}, "", ""},
      {{}, "", ""},
  };
  for (const Case& c : cases) {
    const EnvLookup lookup = [&](const char* name) -> const char* {
      const auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    SCOPED_TRACE(c.data);
    EXPECT_EQ(ConfigDirectory(lookup), c.config);
    EXPECT_EQ(HistoryDirectory(lookup), c.data.empty() ? "" : c.data + "/history");
    EXPECT_EQ(LogsDirectory(lookup), c.data.empty() ? "" : c.data + "/logs");
  }
  const HistoryWrite w = WriteHistoryEntry("", ParameterImage{}, UnitVersions("Vmr07"), HistoryKind::Read, 0);
  EXPECT_FALSE(w.Status.Ok);
  EXPECT_NE(w.Status.Reason.find("no folder"), std::string::npos) << w.Status.Reason;
}

TEST_F(HistoryTest, NamesHoldTimeKindAndASafeUnitName) {
  struct Case {
    std::string unit;
    HistoryKind kind;
    int sequence;
    std::string expected;
  };
  const Case cases[] = {
      {"Vmr07", HistoryKind::Read, 1, "20261210-143005-read-Vmr07.ign"},
      {"Vmr07", HistoryKind::Program, 2, "20261210-143005-program-Vmr07.2.ign"},
      {"../etc/x", HistoryKind::Read, 1, "20261210-143005-read-___etc_x.ign"},
      {"Race 1.2", HistoryKind::Read, 1, "20261210-143005-read-Race_1_2.ign"},
      {"J\xc3\xadzda", HistoryKind::Read, 1, "20261210-143005-read-J__zda.ign"},
      {"a\\b:c*?", HistoryKind::Read, 1, "20261210-143005-read-a_b_c__.ign"},
      {"", HistoryKind::Program, 1, "20261210-143005-program-unknown.ign"},
  };
  for (const Case& c : cases) {
    const std::string name = HistoryFileName(kWhen, c.kind, c.unit, c.sequence);
    EXPECT_EQ(name, c.expected) << c.unit;
    HistoryEntry e;
    ASSERT_TRUE(ParseHistoryFileName(name, e)) << name;
    EXPECT_EQ(e.Kind, c.kind);
    EXPECT_EQ(e.Sequence, c.sequence);
    EXPECT_EQ(e.UnitName, SafeUnitName(c.unit));
    EXPECT_EQ(e.TimeText(), "2026-12-10 14:30:05");
  }
}

TEST(HistoryNames, OtherFilesAreNotHistory) {
  HistoryEntry e;
  for (const char* name : {"data.ign", "20261210-143005-read-.ign", "20261210-143005-copy-Vmr07.ign",
                           "20261210-1430-read-Vmr07.ign", "20261210-143005-read-Vmr07.txt",
                           ".20261210-143005-read-Vmr07.ign.tmp12-0", "20261210-143005-read-Vm r.ign",
                           "20261210-143005-read-Vmr07.x.ign"}) {
    EXPECT_FALSE(ParseHistoryFileName(name, e)) << name;
  }
}

TEST_F(HistoryTest, AnEntryIsAParameterFileOfTheImageAndNeverReplacesAnother) {
  TempDir tmp;
  const std::string dir = (tmp.path / "deep" / "history").string();  // created on demand
  const ParameterImage image = ModelImage(3, "customer bike\nsecond line");

  const HistoryWrite first = WriteHistoryEntry(dir, image, UnitVersions("Vmr07"), HistoryKind::Read, kWhen);
  ASSERT_TRUE(first.Status.Ok) << first.Status.Reason;
  ParameterImage changed = image;
  changed.P(450) += 1;
  const HistoryWrite second = WriteHistoryEntry(dir, changed, UnitVersions("Vmr07"), HistoryKind::Read, kWhen);
  ASSERT_TRUE(second.Status.Ok);
  EXPECT_EQ(fs::path(first.Path).filename(), "20261210-143005-read-Vmr07.ign");
  EXPECT_EQ(fs::path(second.Path).filename(), "20261210-143005-read-Vmr07.2.ign");

  ParameterImage back;
  ASSERT_TRUE(testsupport::ReadImage(first.Path, back).Loaded());
  EXPECT_TRUE(testsupport::SameParameters(back, image));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(first.Path, text));
  EXPECT_NE(text.find("Vmr07"), std::string::npos) << "the unit's identity in VERSIONS";

  // Nothing else in the folder: no temporary survived the atomic saves.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);

  const std::vector<HistoryEntry> list = ListHistory(dir, true);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Path, second.Path) << "newest first";
  EXPECT_EQ(list[0].NoteFirstLine, "customer bike");
  EXPECT_EQ(list[1].UnitName, "Vmr07");
}

// Reads at the same second from several writers at once (two velmor-cli
// reads side by side): every one gets a file of its own, none overwrites
// another, and every path printed exists.
TEST_F(HistoryTest, WritersAtTheSameSecondNeverShareAName) {
  TempDir tmp;
  const std::string dir = (tmp.path / "history").string();
  const ParameterImage image = ModelImage(3, "race");
  constexpr int kWriters = 4, kEach = 10;
  std::vector<std::vector<std::string>> paths(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < kEach; ++i) {
        const HistoryWrite h = WriteHistoryEntry(dir, image, UnitVersions("Vmr07"), HistoryKind::Read, kWhen);
        if (h.Status.Ok) paths[w].push_back(h.Path);
      }
    });
  }
  for (std::thread& t : writers) t.join();
  std::set<std::string> distinct;
  for (const auto& list : paths)
    for (const std::string& path : list) {
      distinct.insert(path);
      EXPECT_TRUE(fs::exists(path)) << path;
    }
  EXPECT_EQ(distinct.size(), std::size_t{kWriters * kEach});
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), kWriters * kEach);
}

TEST_F(HistoryTest, TheFolderKeepsTheNewestFilesAndNothingOfOthers) {
  TempDir tmp;
  const std::string dir = tmp.path.string();
  std::ofstream(tmp.path / "mine.ign") << "not history";
  std::ofstream(tmp.path / "20000101-000000-notes.txt") << "not history";
  const ParameterImage image = ModelImage(0, "");
  std::vector<std::string> written;
  for (int i = 0; i < 5; ++i) {
    const HistoryKind kind = i % 2 ? HistoryKind::Program : HistoryKind::Read;
    const HistoryWrite w = WriteHistoryEntry(dir, image, UnitVersions("U" + std::to_string(i)), kind, kWhen + 60 * i, 3);
    ASSERT_TRUE(w.Status.Ok);
    written.push_back(w.Path);
  }
  const std::vector<HistoryEntry> list = ListHistory(dir);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Path, written[4]);
  EXPECT_EQ(list[1].Path, written[3]);
  EXPECT_EQ(list[2].Path, written[2]);
  EXPECT_FALSE(fs::exists(written[0]));
  EXPECT_TRUE(fs::exists(tmp.path / "mine.ign"));
  EXPECT_TRUE(fs::exists(tmp.path / "20000101-000000-notes.txt"));

  ASSERT_TRUE(LatestHistoryOf(dir, "U3").has_value());
  EXPECT_EQ(LatestHistoryOf(dir, "U3")->Path, written[3]);
  EXPECT_FALSE(LatestHistoryOf(dir, "U0").has_value()) << "pruned";
}

// A clock set a year ahead, then corrected, left files named in the future:
// written earlier than they say, or, while the clock was ahead, with times
// in the future as well. The read kept now stays either way, and the file
// that goes is the one written longest ago.
TEST_F(HistoryTest, PruningGoesByWhenFilesWereWrittenAndNeverRemovesTheOneJustWritten) {
  const auto now = fs::file_time_type::clock::now();
  struct Case {
    const char* what;
    fs::file_time_type written;  // of the first future file; each later one an hour after
    bool newest;                 // the file just written lists first
  };
  const Case cases[] = {
      {"written before", now - std::chrono::hours(10), true},
      {"written while the clock was ahead", now + std::chrono::hours(24 * 365), false},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    const std::string dir = tmp.path.string();
    std::vector<fs::path> future;
    for (int i = 0; i < 3; ++i) {
      future.push_back(tmp.path / HistoryFileName(kWhen + 365 * 86400 + i, HistoryKind::Read, "Vmr07"));
      std::ofstream(future.back()) << "KORDAVIN_KEY    78 \r\n";
      fs::last_write_time(future.back(), c.written + std::chrono::hours(i));
    }
    const HistoryWrite w = WriteHistoryEntry(dir, ModelImage(0, ""), UnitVersions("Vmr07"), HistoryKind::Read, kWhen, 3);
    ASSERT_TRUE(w.Status.Ok) << w.Status.Reason;
    EXPECT_TRUE(fs::exists(w.Path)) << c.what;
    EXPECT_FALSE(fs::exists(future[0])) << c.what;
    const std::vector<HistoryEntry> list = ListHistory(dir);
    ASSERT_EQ(list.size(), 3u) << c.what;
    EXPECT_EQ(list[0].Path == w.Path, c.newest) << c.what;
    EXPECT_EQ(LatestHistoryOf(dir, "Vmr07")->Path == w.Path, c.newest) << c.what;
  }
}

TEST_F(HistoryTest, AFolderThatCannotBeMadeIsReported) {
  TempDir tmp;
  std::ofstream(tmp.path / "file") << "x";
  const HistoryWrite w = WriteHistoryEntry((tmp.path / "file" / "history").string(), ModelImage(0, ""),
                                           UnitVersions("Vmr07"), HistoryKind::Read, kWhen);
  EXPECT_FALSE(w.Status.Ok);
  EXPECT_FALSE(w.Status.Reason.empty());
  EXPECT_TRUE(w.Path.empty());
  EXPECT_TRUE(ListHistory((tmp.path / "missing").string()).empty());
}

TEST(HistoryUnits, TheSessionRemembersTheLastImageOfEachUnit) {
  UnitMemory memory;
  ParameterImage a, b;
  a.P(1) = 1;
  b.P(1) = 2;
  EXPECT_FALSE(memory.Known("Vmr07"));
  memory.Remember("Vmr07", a);
  memory.Remember("Other", b);
  memory.Remember("Vmr07", b);
  ASSERT_TRUE(memory.Known("Vmr07"));
  EXPECT_EQ(memory.LastKnown("Vmr07")->P(1), 2);
  EXPECT_EQ(memory.LastKnown("Vmr0"), nullptr);
}

TEST(HistoryThrottle, ProgrammingAfterChangeWritesAtMostOneFilePerInterval) {
  ChangeHistoryThrottle t(60'000);
  EXPECT_FALSE(t.Pending());
  ASSERT_TRUE(t.Programmed(1'000)) << "the first change is written at once";
  t.Written(1'000);
  EXPECT_FALSE(t.Pending());
  EXPECT_FALSE(t.Programmed(5'000));
  EXPECT_FALSE(t.Programmed(30'000));
  EXPECT_TRUE(t.Pending());
  EXPECT_EQ(t.DueAtMs(), 61'000);
  EXPECT_TRUE(t.Programmed(61'000));
  t.Written(61'000);
  EXPECT_FALSE(t.Pending());
}

}  // namespace
}  // namespace velmor

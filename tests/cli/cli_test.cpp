#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_run.h"
#include "compare.h"
#include "editor/document.h"
#include "files/ign_file.h"
#include "log/map_analysis.h"
#include "model/defaults.h"
#include "test_images.h"

namespace velmor::cli {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velmor-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Slurp(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Put(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  // The image a file holds as read, without normalisation.
  ParameterImage Raw(const std::string& name) const {
    ParameterImage image;
    EXPECT_TRUE(testsupport::ReadImage(Path(name), image).Loaded()) << name;
    return image;
  }
  // Saves an image as a file of its own.
  void Save(const std::string& name, const ParameterImage& image) const {
    ASSERT_TRUE(SaveParameterFile(Path(name), image, FileVersions()).Ok);
  }

  fs::path dir_;
};

TEST_F(CliTest, NewWritesWhatTheWindowSavesAfterNewAndNormalizeKeepsItByteForByte) {
  for (int model = 0; model < kBikeModelCount; ++model) {
    const std::string name = "m" + std::to_string(model) + ".ign";
    ASSERT_EQ(RunCli({"new", "--model", std::to_string(model), "-o", Path(name)}).code, kExitOk);
    const ParameterImage image = Raw(name);
    EXPECT_EQ(image.P(0), model);
    EXPECT_EQ(image.P(47), MapModeEqual);
    // The refresh in " 1 = 2" mode: map 2 is map 1, not map 1's percentages
    // over map 2's own base times.
    for (int n = 0; n < kMapColumns; ++n) ASSERT_EQ(image.P(kInj2Axis + n), image.P(kInj1Axis + n));
    for (int n = 0; n < 2 * kMapCells; ++n) ASSERT_EQ(image.P(kInj2Map + n), image.P(kInj1Map + n)) << n;

    const Result r = RunCli({"normalize", Path(name), "--output=" + Path("again.ign")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Slurp("again.ign"), Slurp(name)) << model;
  }
}

TEST_F(CliTest, NormalizeAppliesTheNormalisationAndReportsOlderFiles) {
  ASSERT_EQ(RunCli({"new", "--model=1", "-o", Path("base.ign")}).code, kExitOk);
  ParameterImage image = Raw("base.ign");
  image.P(kAdvanceMap) = 70;     // above 60°
  image.P(kAdvanceAxis + 1) = 5; // below its predecessor
  Save("odd.ign", image);
  ASSERT_EQ(RunCli({"normalize", Path("odd.ign"), "-o", Path("out.ign")}).code, kExitOk);
  const ParameterImage out = Raw("out.ign");
  EXPECT_EQ(out.P(kAdvanceMap), 60);
  EXPECT_EQ(out.P(kAdvanceAxis + 1), out.P(kAdvanceAxis) + 1);

  Put("old.ign", "KORDAVIN_KEY 63\r\nBIKE 4\r\nFAN 90 95\r\n");
  const Result older = RunCli({"normalize", Path("old.ign"), "-o", Path("old-out.ign")});
  EXPECT_EQ(older.code, kExitOk);
  EXPECT_NE(older.err.find("warning: Older version of *.ign file!"), std::string::npos) << older.err;
  EXPECT_EQ(Raw("old-out.ign").P(35), 90);
}

TEST_F(CliTest, FilesThatLoadNothingAreErrorsAndWriteNothing) {
  Put("none.ign", "just some text\n");
  Put("v77.ign", "KORDAVIN_KEY 77\r\nBIKE 1\r\n");
  struct Case {
    std::string file, message;
  };
  const Case cases[] = {
      {"none.ign", "nothing loaded"},
      {"v77.ign", "Unmatched version of *.ign file!"},
      {"missing.ign", "no such file"},
  };
  for (const Case& c : cases) {
    const Result r = RunCli({"normalize", Path(c.file), "-o", Path("out.ign")});
    EXPECT_EQ(r.code, kExitFailure) << c.file;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("out.ign"))) << c.file;
  }
  const Result unsaved = RunCli({"new", "--model", "0", "-o", Path("no/such/dir/x.ign")});
  EXPECT_EQ(unsaved.code, kExitFailure);
  EXPECT_NE(unsaved.err.find("cannot save"), std::string::npos) << unsaved.err;
}

// A tune cut off inside its first injection map, as a copy that gave up
// leaves it: every command that reads a parameter file refuses it, says
// where it ends and writes nothing. One that ends between two sections
// loads and names the sections it lacks.
TEST_F(CliTest, ACutOffFileIsRefusedByEveryCommandThatReadsOne) {
  ASSERT_EQ(RunCli({"new", "--model", "1", "-o", Path("whole.ign")}).code, kExitOk);
  const std::string text = Slurp("whole.ign");
  const std::size_t cut = text.find("JET_1A") + 300;
  Put("half.ign", text.substr(0, cut));
  const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), '\n');
  const std::string where = Path("half.ign") + ": The file is cut off: it ends inside JET_1A, in line " +
                            std::to_string(line) + ". Nothing was loaded.";
  Put("ride.csv", "time_s,rpm,tps_pct,afr,coolant_c\n0,3000,20.0,14.8,80\n");
  const std::vector<std::vector<std::string>> commands = {
      {"normalize", Path("half.ign"), "-o", Path("out.ign")},
      {"merge", "--page", "2", Path("whole.ign"), Path("half.ign"), "-o", Path("out.ign")},
      {"merge", "--page", "1", Path("half.ign"), Path("whole.ign"), "-o", Path("out.ign")},
      {"diff", Path("whole.ign"), Path("half.ign")},
      {"dump", Path("half.ign")},
      {"edit", Path("half.ign"), "--map", "inj1", "--add", "5", "-o", Path("out.ign")},
      {"program", "--port", Path("no-unit"), Path("half.ign")},
      {"verify", "--port", Path("no-unit"), Path("half.ign")},
      {"log", "analyze", Path("ride.csv"), "--tune", Path("half.ign"), "--map", "1", "-o", Path("out.ign")},
  };
  for (const auto& args : commands) {
    const Result r = RunCli(args);
    EXPECT_NE(r.code, kExitOk) << args[0];
    EXPECT_NE(r.err.find(where), std::string::npos) << args[0] << ": " << r.err;
    EXPECT_FALSE(fs::exists(Path("out.ign"))) << args[0];
  }

  Put("short.ign", text.substr(0, text.find("\r\nRPM_JET_2A") + 2));
  const Result loaded = RunCli({"normalize", Path("short.ign"), "-o", Path("out.ign")});
  EXPECT_EQ(loaded.code, kExitOk) << loaded.err;
  EXPECT_NE(loaded.err.find(Path("short.ign") + ": warning: Not in the file, so their values stay as they were or "
                                                "take the defaults: RPM_JET_2A, JET_2A, POSITION_A, "),
            std::string::npos)
      << loaded.err;
  EXPECT_NE(loaded.err.find(", LAMBDA_BAR, MEMO\n"), std::string::npos) << loaded.err;
}

// A pipe given as a file, to read or to write, is refused at once: the
// command runs in a child that an alarm ends, so a wait fails the test
// instead of hanging it.
TEST_F(CliTest, PipesAreRefusedWithinASecond) {
  ASSERT_EQ(RunCli({"new", "--model", "0", "-o", Path("base.ign")}).code, kExitOk);
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"normalize", Path("pipe"), "-o", Path("out.ign")},
      {"normalize", Path("base.ign"), "-o", Path("pipe")},
      {"merge", "--page", "1", Path("base.ign"), Path("pipe"), "-o", Path("out.ign")},
      {"merge", "--page", "1", Path("pipe"), Path("base.ign"), "-o", Path("out.ign")},
      {"merge", "--page", "1", Path("base.ign"), Path("base.ign"), "-o", Path("pipe")},
      {"diff", Path("base.ign"), Path("pipe")},
  };
  for (const auto& args : commands) {
    EXPECT_EXIT(
        {
          ::alarm(5);
          const auto start = std::chrono::steady_clock::now();
          const Result r = RunCli(args);
          if (std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) std::_Exit(3);
          if (r.code == kExitOk) std::_Exit(4);
          std::fputs(r.err.c_str(), stderr);
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "not a regular file")
        << args[0] << " " << args[args.size() - 1];
  }
  EXPECT_FALSE(fs::exists(Path("out.ign")));
  EXPECT_TRUE(fs::is_fifo(Path("pipe")));
}

TEST_F(CliTest, MergeTakesOnlyThePageOfTheOtherFile) {
  ASSERT_EQ(RunCli({"new", "--model", "0", "-o", Path("base.ign")}).code, kExitOk);
  ParameterImage other = Raw("base.ign");
  other.P(0) = 5;                  // another bike, which must not matter
  other.P(35) = 90;                // page 0
  other.P(kAdvanceMap + 20) = 44;  // page 1
  other.P(45) = 7;                 // page 1
  Save("other.ign", other);

  for (const std::string page : {"1", "advance"}) {
    ASSERT_EQ(RunCli({"merge", "--page", page, Path("base.ign"), Path("other.ign"), "-o", Path("out.ign")}).code,
              kExitOk);
    const ParameterImage out = Raw("out.ign");
    EXPECT_EQ(out.P(0), 0);
    EXPECT_EQ(out.P(35), 102);
    EXPECT_EQ(out.P(kAdvanceMap + 20), 44);
    EXPECT_EQ(out.P(45), 7);
  }

  ParameterImage coupled = Raw("base.ign");
  coupled.P(47) = MapModeCoupled;
  Save("coupled.ign", coupled);
  fs::remove(Path("out.ign"));
  const Result refused =
      RunCli({"merge", "-p", "2", Path("coupled.ign"), Path("other.ign"), "-o", Path("out.ign")});
  EXPECT_EQ(refused.code, kExitFailure);
  EXPECT_NE(refused.err.find("coupled"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(Path("out.ign")));

  const Result badPage = RunCli({"merge", "--page", "13", Path("base.ign"), Path("other.ign"), "-o", Path("o")});
  EXPECT_EQ(badPage.code, kExitUsage);
}

TEST_F(CliTest, DiffNamesEachDifferingFieldInEditorUnits) {
  ASSERT_EQ(RunCli({"new", "--model", "0", "-o", Path("a.ign")}).code, kExitOk);
  const Result same = RunCli({"diff", Path("a.ign"), Path("a.ign")});
  EXPECT_EQ(same.code, kExitOk);
  EXPECT_EQ(same.out, "");

  ParameterImage b = Raw("a.ign");
  b.P(35) = 95;                                   // fan 1
  b.P(37) = 90;                                   // tachometer correction −10
  b.P(kAdvanceMap + MapCell(6, 3)) = 40;          // TPS 40 %, 4000 rpm
  b.P(98) = 1;                                    // N2O on
  b.P(56) = 2;                                    // position refers to the end
  Save("b.ign", b);
  const Result r = RunCli({"diff", Path("a.ign"), Path("b.ign")});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_EQ(r.out,
            "Bike: Fan 1 switch-on temperature [°C]: 102 -> 95\n"
            "Bike: Tachometer correction: 0 -> -10\n"
            "Advance: Advance map, TPS 40 %, column 3 (4000 rpm) [°]: 36 -> 40\n"
            "Position: Injection position refers to: 0 (Beginning) -> 2 (End)\n"
            "N2O: N2O enabled: off -> on\n");

  const Result missing = RunCli({"diff", Path("a.ign"), Path("nope.ign")});
  EXPECT_EQ(missing.code, kExitUsage);
  EXPECT_NE(missing.err.find("no such file"), std::string::npos);
}

TEST(CliCompare, MapCellsNameBothRpmWhenTheAxesDifferAndOtherBytesByOffset) {
  Document a;
  a.Image.P(47) = MapModeNormal;
  Document b = a;
  b.Image.P(kInj2Axis + 2) = 31;
  b.Image.SetWord(kInj2Map + 2 * MapCell(9, 2), 5000);
  b.Image.P(1) = 9;  // reserved, in no editor field
  RefreshPercentMaps(b.Image, b.Tables);
  const std::vector<std::string> lines = DiffImages(a.Image, a.Tables, b.Image, b.Tables);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Inj. 2: Injection map 2 RPM axis, column 2 [rpm]: 3000 -> 3100");
  EXPECT_TRUE(lines[1].starts_with("Inj. 2: Injection map 2, TPS 100 %, column 2 (3000 / 3100 rpm): ")) << lines[1];
  EXPECT_NE(lines[1].find(" -> 5000 µs ("), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2], "Not an editor field: P+1: 0 -> 9");
}

TEST_F(CliTest, DumpPrintsTheParameterAreaInLinesOfSixteenBytes) {
  ASSERT_EQ(RunCli({"new", "--model", "0", "-o", Path("a.ign")}).code, kExitOk);
  const Result r = RunCli({"dump", Path("a.ign")});
  ASSERT_EQ(r.code, kExitOk);
  std::istringstream lines(r.out);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), 85u);  // 1350 bytes
  EXPECT_EQ(all[0], "0000 00 00 00 41 13 00 37 00 c7 08 69 00 88 12 00 00");
  EXPECT_EQ(all[84], "0540 00 00 00 00 00 00");
}

TEST(CliArguments, UsageErrorsAndHelp) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string inErr;  // expected part of stderr
    std::string inOut;  // expected part of stdout
  };
  const Case cases[] = {
      {{}, kExitUsage, "usage: velmor-cli COMMAND", ""},
      {{"frobnicate"}, kExitUsage, "unknown command 'frobnicate'", ""},
      {{"--help"}, kExitOk, "", "Commands:"},
      {{"new", "--help"}, kExitOk, "", "usage: velmor-cli new --model N -o FILE"},
      {{"help", "diff"}, kExitOk, "", "Exit status: 0 equal, 1 different"},
      {{"new", "-o", "x.ign"}, kExitUsage, "missing --model N", ""},
      {{"new", "--model", "3"}, kExitUsage, "missing --output FILE", ""},
      {{"new", "--model", "8", "-o", "x.ign"}, kExitUsage, "--model must be a bike model from 0 to 7", ""},
      {{"new", "--model", "3x", "-o", "x.ign"}, kExitUsage, "not '3x'", ""},
      {{"new", "--colour", "red"}, kExitUsage, "unknown option --colour", ""},
      {{"new", "--model"}, kExitUsage, "--model needs a value", ""},
      {{"normalize", "-o", "out.ign"}, kExitUsage, "missing IN", ""},
      {{"diff", "a", "b", "c"}, kExitUsage, "unexpected argument c", ""},
      {{"dump", "--raw=1", "a"}, kExitUsage, "--raw takes no value", ""},
      {{"edit", "in.ign", "--map", "inj1", "--add", "5", "--map", "advance", "-o", "o.ign"},
       kExitUsage, "--map is given more than once", ""},
      {{"new", "--model", "3", "--model=4", "-o", "x.ign"}, kExitUsage, "--model is given more than once", ""},
  };
  for (const Case& c : cases) {
    const Result r = RunCli(c.args);
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    EXPECT_EQ(r.code, c.code) << line;
    EXPECT_NE(r.err.find(c.inErr), std::string::npos) << line << "\n" << r.err;
    EXPECT_NE(r.out.find(c.inOut), std::string::npos) << line << "\n" << r.out;
  }
}

}  // namespace
}  // namespace velmor::cli

namespace velmor::cli {
namespace {

// Twelve lean rows at 3000 rpm and 20 % throttle (cell row 4, column 2 of
// the defaults), then one cold row and one with the throttle snapping open.
std::string LeanLog() {
  std::string text = "rpm,time_s,coolant_c,afr,tps_pct,gear\n";
  for (int i = 0; i < 12; ++i) text += "3000," + std::to_string(i) + ".000,80,14.8,20.4,3\n";
  text += "3000,12.000,40,14.8,20.4,3\n";
  text += "3000,12.100,80,14.8,60.0,3\n";
  return text;
}

class CliLogTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    ASSERT_EQ(RunCli({"new", "--model", "0", "-o", Path("tune.ign")}).code, kExitOk);
    Put("ride.csv", LeanLog());
  }
  Result Analyze(std::vector<std::string> extra) {
    std::vector<std::string> args{"log", "analyze", Path("ride.csv"), "--tune", Path("tune.ign"), "--map", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCli(args);
  }
  int Percent(const std::string& name, int map, int k) {
    Document s;
    EXPECT_TRUE(s.Open(Path(name)).Loaded());
    return map == 1 ? s.Tables.PercentMap1[k] : s.Tables.PercentMap2[k];
  }
};

TEST_F(CliLogTest, AnalyzePrintsTheCellsAndWritesTheCorrectedTune) {
  const int k = MapCell(4, 2);
  const int current = Percent("tune.ign", 1, k);
  const std::string before = Slurp("tune.ign");
  const Result r = Analyze({"-o", Path("out.ign")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_NE(r.out.find("14 rows, 12 used; left out: 0 without rpm, 1 cold, 0 without a usable A/F, "
                       "0 without throttle, 1 with the throttle moving"),
            std::string::npos)
      << r.out;
  char line[120];
  std::snprintf(line, sizeof line, "%7d  %5d  %5d  %8.2f  %4d.%d  %9d  %11d\n", 20, 3000, 12, 14.8, 13, 2, current,
                SuggestPercent(current, 12 * 148, 12, 132, 20));
  EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 cells to change"), std::string::npos);
  EXPECT_EQ(Percent("out.ign", 1, k), SuggestPercent(current, 12 * 148, 12, 132, 20));
  EXPECT_EQ(Percent("out.ign", 1, k + 1), Percent("tune.ign", 1, k + 1));
  // " 1 = 2": map 2 is map 1 in the file written.
  const ParameterImage out = Raw("out.ign");
  EXPECT_EQ(out.Word(kInj2Map + 2 * k), out.Word(kInj1Map + 2 * k));
  EXPECT_EQ(Slurp("tune.ign"), before);
}

// A tune whose cells sit between whole percentages (as earlier corrections
// leave them): only the corrected cell's words change in the file written,
// every cell the log did not reach keeps its word.
TEST_F(CliLogTest, AnalyzeWritesOnlyTheCorrectedCell) {
  ParameterImage tune = Raw("tune.ign");
  for (int k = 0; k < kMapCells; ++k)
    for (int map : {kInj1Map, kInj2Map})
      tune.SetWord(map + 2 * k, static_cast<std::uint16_t>(tune.Word(map + 2 * k) + 3));
  Save("tune.ign", tune);
  const ParameterImage before = Raw("tune.ign");
  ASSERT_EQ(Analyze({"-o", Path("out.ign")}).code, kExitOk);
  const ParameterImage out = Raw("out.ign");
  const int corrected = MapCell(4, 2);
  for (int k = 0; k < kMapCells; ++k) {
    if (k == corrected) continue;
    EXPECT_EQ(out.Word(kInj1Map + 2 * k), before.Word(kInj1Map + 2 * k)) << "map 1 cell " << k;
    EXPECT_EQ(out.Word(kInj2Map + 2 * k), before.Word(kInj2Map + 2 * k)) << "map 2 cell " << k;
  }
  EXPECT_NE(out.Word(kInj1Map + 2 * corrected), before.Word(kInj1Map + 2 * corrected));
}

// -o never names an input: the recorded log is not replaced by a tune.
TEST_F(CliLogTest, AnalyzeNeverWritesOverItsInputs) {
  const std::string log = Slurp("ride.csv");
  for (const char* input : {"ride.csv", "tune.ign"}) {
    const Result r = Analyze({"-o", Path(input)});
    EXPECT_EQ(r.code, kExitUsage) << input;
    EXPECT_NE(r.err.find("-o must not be"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Slurp("ride.csv"), log);
}

TEST_F(CliLogTest, AnalyzeOptionsChangeTheOutcome) {
  // Too few rows: the cell stays and says why.
  Result r = Analyze({"--min-samples", "13"});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_NE(r.out.find("too few rows"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 cells to change"), std::string::npos);
  // The cold row counts with a lower minimum, the fast throttle with a higher rate.
  r = Analyze({"--min-coolant", "40", "--max-tps-rate", "400"});
  EXPECT_NE(r.out.find("14 rows, 14 used"), std::string::npos) << r.out;
  // A target on the mean changes nothing; a small limit cuts the change.
  r = Analyze({"--target", "14.8"});
  EXPECT_NE(r.out.find("0 cells to change"), std::string::npos) << r.out;
  r = Analyze({"--max-change", "5", "-o", Path("out.ign")});
  EXPECT_NE(r.out.find("limited"), std::string::npos) << r.out;
  EXPECT_EQ(Percent("out.ign", 1, MapCell(4, 2)), Percent("tune.ign", 1, MapCell(4, 2)) * 105 / 100);
  // Only the rows of a time range.
  r = Analyze({"--from", "2", "--to", "5.5"});
  EXPECT_NE(r.out.find("4 rows, 4 used"), std::string::npos) << r.out;
}

TEST_F(CliLogTest, AnalyzeExitCodes) {
  Put("cold.csv", "time_s,rpm,tps_pct,afr,coolant_c\n0,3000,20,14.8,20\n");
  Put("no-afr.csv", "time_s,rpm,tps_pct,coolant_c\n0,3000,20,80\n");
  const auto analyze = [&](const std::string& log, std::vector<std::string> extra) {
    std::vector<std::string> args{"log", "analyze", Path(log), "--tune", Path("tune.ign")};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCli(args);
  };
  const std::tuple<std::string, std::vector<std::string>, int, const char*> cases[] = {
      {"cold.csv", {"--map", "1"}, kExitFailure, "no row of the log passed the filters"},
      {"no-afr.csv", {"--map", "1"}, kExitUsage, "no column afr"},
      {"missing.csv", {"--map", "1"}, kExitUsage, "missing.csv: no such file"},
      {"ride.csv", {"--map", "3"}, kExitUsage, "--map must be 1 or 2"},
      {"ride.csv", {}, kExitUsage, "missing --map"},
      {"ride.csv", {"--map", "1", "--target", "25"}, kExitUsage, "--target must be an A/F"},
      {"ride.csv", {"--map", "1", "--max-tps-rate", "fast"}, kExitUsage, "--max-tps-rate"},
      {"ride.csv", {"--map", "1", "-o", Path("tune.ign")}, kExitUsage, "IN.ign is never changed"},
      {"ride.csv", {"--map", "2", "-o", Path("out.ign")}, kExitUsage, "map 2 follows map 1"},
  };
  for (const auto& [log, extra, code, message] : cases) {
    const Result r = analyze(log, extra);
    EXPECT_EQ(r.code, code) << log << " " << message;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(Path("out.ign")));
  // The path once, and what is wrong with it.
  fs::create_directory(Path("dir.csv"));
  Put("semicolons.csv", "time_s;rpm;tps_pct;afr;coolant_c\n0;3000;20;14.8;80\n");
  for (const auto& [log, message] : {std::pair{"dir.csv", ": a folder, not a file"},
                                     std::pair{"semicolons.csv", ": not a log of ours: the columns are separated by "
                                                                 "semicolons; a log separates them by commas"}}) {
    const Result r = analyze(log, {"--map", "1"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "velmor-cli log: " + Path(log) + message + "\n");
  }
  const Result unknown = RunCli({"log", "plot", Path("ride.csv")});
  EXPECT_EQ(unknown.code, kExitUsage);
}

TEST_F(CliLogTest, AnalyzeTakesATargetTable) {
  std::string row = "13.2";
  for (int i = 1; i < 15; ++i) row += i == 2 ? ",14.8" : ",13.2";
  std::string table;
  for (int i = 0; i < 10; ++i) table += row + "\n";
  Put("target.csv", table);
  const Result r = Analyze({"--target-table", Path("target.csv")});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_NE(r.out.find("0 cells to change"), std::string::npos) << r.out;
  Put("bad.csv", row + "\n");
  EXPECT_EQ(Analyze({"--target-table", Path("bad.csv")}).code, kExitUsage);
}

}  // namespace
}  // namespace velmor::cli

namespace velmor::cli {
namespace {

// The monitor's line shows what the log row holds: a faulty sensor reads
// "error" as its CSV field is empty, never the stand-in value the unit sends.
TEST(CliMonitorLine, SaysErrorForAFaultySensor) {
  LinkFrame f{};
  f[0] = kMonitorReply;
  f[23] = 180;  // coolant 80 °C
  f[24] = 125;  // air 25 °C
  f[48] = 0xB8;
  f[49] = 0x0B;  // 3000 rpm
  f[30] = 132;
  SealFrame(f);
  LogRow row = LogRowFromMonitorFrame(f.data(), 0);
  const std::string whole = LiveLine(row);
  EXPECT_NE(whole.find("rpm  3000"), std::string::npos) << whole;
  EXPECT_NE(whole.find("coolant   80 C  air   25 C"), std::string::npos) << whole;
  EXPECT_NE(whole.find("A/F 13.2"), std::string::npos) << whole;
  row[LogCol::CoolantC] = kLogMissing;
  row[LogCol::AirC] = kLogMissing;
  row[LogCol::PressureKpa] = kLogMissing;
  const std::string faulty = LiveLine(row);
  EXPECT_NE(faulty.find("coolant error C  air error C"), std::string::npos) << faulty;
  EXPECT_NE(faulty.find("map error kPa"), std::string::npos) << faulty;
}

}  // namespace
}  // namespace velmor::cli

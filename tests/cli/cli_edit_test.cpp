// velmor-cli edit on real parameter files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_run.h"
#include "editor/document.h"
#include "editor/map_edit.h"
#include "files/ign_file.h"

namespace velmor::cli {
namespace {

namespace fs = std::filesystem;

class CliEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmor-cli-edit-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  Result Edit(std::vector<std::string> args, const std::string& in = "in.ign") const {
    args.insert(args.begin(), {"edit", Path(in)});
    args.insert(args.end(), {"-o", Path("out.ign")});
    return RunCli(args);
  }

  // A file of model 1 in `mode` whose injection words are not whole
  // percentages of their base times, so that a re-quantised cell shows.
  void WriteInput(std::uint8_t mode) {
    Document s;
    s.New(1);
    s.Image.P(47) = mode;
    for (int k = 0; k < kMapCells; ++k) {
      s.Image.SetWord(kInj1Map + 2 * k, static_cast<std::uint16_t>(s.Image.Word(kInj1Map + 2 * k) + 3));
      s.Image.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>(s.Image.Word(kInj2Map + 2 * k) + 8));
    }
    ASSERT_EQ(s.Save(Path("in.ign"), FileVersions()).Written.Ok, true);
    input_ = Opened("in.ign");
  }

  // A file as the window shows it after opening.
  Document Opened(const std::string& name) const {
    Document s;
    EXPECT_TRUE(s.Open(Path(name)).Loaded()) << name;
    return s;
  }

  fs::path dir_;
  Document input_;
};

struct MapOf {
  const char* name;
  int page;
  int offset;  // first byte of the map
  int width;   // bytes per cell
};
constexpr MapOf kMaps[] = {{"advance", PageAdvance, kAdvanceMap, 1},
                           {"inj1", PageInj1, kInj1Map, 2},
                           {"inj2", PageInj2, kInj2Map, 2}};

TEST_F(CliEditTest, EachOperationChangesTheBlockAndKeepsEveryOtherByte) {
  WriteInput(MapModeNormal);
  struct Case {
    std::vector<std::string> op;
    MapEdit edit;
  };
  const Case ops[] = {
      {{"--set", "33"}, {MapOperation::Set, 33}},
      {{"--add", "-2"}, {MapOperation::Add, -2}},
      {{"--scale", "112.5"}, {MapOperation::Scale, 11250}},
      {{"--interpolate", "h"}, {MapOperation::InterpolateRows}},
      {{"--interpolate", "v"}, {MapOperation::InterpolateColumns}},
      {{"--interpolate", "both"}, {MapOperation::InterpolateBoth}},
      {{"--smooth"}, {MapOperation::Smooth}},
  };
  struct Bounds {
    std::vector<std::string> args;
    CellBlock block;
  };
  const Bounds bounds[] = {
      {{"--rows", "2-6", "--cols", "3-9"}, {2, 3, 6, 9}},
      {{"--rows", "0-9"}, {0, 0, 9, 14}},                      // all columns
      {{"--cols", "13-14", "--rows", "9"}, {9, 13, 9, 14}},   // the last row, a single row
      {{}, CellBlock::Whole()},
  };
  for (const MapOf& map : kMaps) {
    for (const Case& op : ops) {
      for (const Bounds& b : bounds) {
        std::vector<std::string> args = {"--map", map.name};
        args.insert(args.end(), b.args.begin(), b.args.end());
        args.insert(args.end(), op.op.begin(), op.op.end());
        std::string trace;
        for (const auto& a : args) trace += a + " ";
        SCOPED_TRACE(trace);
        fs::remove(Path("out.ign"));

        Document in = input_;
        const Map150 expected = EditedValues(MapValues(in.Image, in.Tables, map.page),
                                             MapAxisOf(in.Image, map.page), b.block, op.edit, MapCellLimits(map.page));
        const Result r = Edit(args);
        if (expected == MapValues(in.Image, in.Tables, map.page)) {
          // Interpolating a block one cell wide in that direction, or a map
          // already smooth there: nothing to do.
          EXPECT_EQ(r.code, kExitFailure) << r.err;
          EXPECT_NE(r.err.find("nothing to do"), std::string::npos) << r.err;
          EXPECT_FALSE(fs::exists(Path("out.ign")));
          continue;
        }
        ASSERT_EQ(r.code, kExitOk) << r.err;
        Document out = Opened("out.ign");
        EXPECT_EQ(MapValues(out.Image, out.Tables, map.page), expected);
        // Every byte outside the block's cells is the byte the input held.
        for (int n = 0; n < kParamSize; ++n) {
          const int k = n >= map.offset && n < map.offset + map.width * kMapCells ? (n - map.offset) / map.width : -1;
          if (k >= 0 && b.block.Contains(k / kMapColumns, k % kMapColumns)) continue;
          ASSERT_EQ(out.Image.P(n), input_.Image.P(n)) << "P+" << n;
        }
      }
    }
  }
}

TEST_F(CliEditTest, CoupledAndEqualMapsMoveMap2WithMap1AndRefuseMap2) {
  for (const std::uint8_t mode : {MapModeCoupled, MapModeEqual}) {
    SCOPED_TRACE(static_cast<int>(mode));
    WriteInput(mode);
    fs::remove(Path("out.ign"));
    const Result refused = Edit({"--map", "inj2", "--add", "5"});
    EXPECT_EQ(refused.code, kExitFailure);
    EXPECT_NE(refused.err.find("map 2 follows map 1"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(Path("out.ign")));

    const Result r = Edit({"--map", "inj1", "--rows", "4-5", "--cols", "6-7", "--add", "5"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "inj1: 4 of 4 cells changed\n");
    Document out = Opened("out.ign");
    if (mode == MapModeEqual) {
      // Map 2 holds map 1's times (over its own base times, so not its percentages).
      for (int n = 0; n < 2 * kMapCells; ++n) ASSERT_EQ(out.Image.P(kInj2Map + n), out.Image.P(kInj1Map + n)) << n;
      continue;
    }
    const Map150 before2 = MapValues(input_.Image, input_.Tables, PageInj2);
    const Map150 after2 = MapValues(out.Image, out.Tables, PageInj2);
    for (int k = 0; k < kMapCells; ++k) {
      const bool inside = CellBlock{4, 6, 5, 7}.Contains(k / kMapColumns, k % kMapColumns);
      EXPECT_EQ(after2[k], before2[k] + (inside ? 5 : 0)) << k;
      if (!inside) {
        EXPECT_EQ(out.Image.Word(kInj2Map + 2 * k), input_.Image.Word(kInj2Map + 2 * k)) << k;
      }
    }
  }
}

TEST_F(CliEditTest, BadArgumentsAreNamedAndNothingIsWritten) {
  WriteInput(MapModeNormal);
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const Case cases[] = {
      {{"--map", "inj3", "--smooth"}, "--map"},
      {{"--add", "1"}, "--map"},
      {{"--map", "advance", "--rows", "10", "--smooth"}, "--rows"},
      {{"--map", "advance", "--rows", "6-2", "--smooth"}, "--rows"},
      {{"--map", "advance", "--cols", "0-15", "--smooth"}, "--cols"},
      {{"--map", "advance", "--cols", "-1-3", "--smooth"}, "--cols"},
      {{"--map", "advance"}, "no edit given"},
      {{"--map", "advance", "--set", "3", "--smooth"}, "--set and --smooth"},
      {{"--map", "advance", "--set", "3.5"}, "--set"},
      {{"--map", "inj1", "--add", "ten"}, "--add"},
      {{"--map", "inj1", "--scale", "1.234"}, "--scale"},
      {{"--map", "inj1", "--scale", "-5"}, "--scale"},
      {{"--map", "inj1", "--interpolate", "diagonal"}, "--interpolate"},
      {{"--map", "inj1", "--smooth=yes"}, "--smooth"},
  };
  for (const Case& c : cases) {
    const Result r = Edit(c.args);
    std::string trace;
    for (const auto& a : c.args) trace += a + " ";
    EXPECT_EQ(r.code, kExitUsage) << trace << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << trace << r.err;
    EXPECT_FALSE(fs::exists(Path("out.ign"))) << trace;
  }
  const Result missing = Edit({"--map", "advance", "--smooth"}, "missing.ign");
  EXPECT_EQ(missing.code, kExitFailure);
  EXPECT_NE(missing.err.find("no such file"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(Path("out.ign")));
}

}  // namespace
}  // namespace velmor::cli

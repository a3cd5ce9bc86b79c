// The tuning loop against the simulated unit whose engine needs the fuel of
// a true tune: program a tune, record a log, correct the map from it,
// program the correction, record again — the mixture must now be on target.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <sstream>

#include "cli.h"
#include "log/map_analysis.h"
#include "log/ridden_tunes.h"
#include "sim_link_fixture.h"

namespace velmor {
namespace {

// The engine's clock runs eight times faster than the wall clock, and the
// link ticks every 5 ms and asks for a frame as soon as the last one came,
// so that two minutes of engine are recorded in 15 s with more rows per
// cell than a real line gives.
constexpr double kEngineSpeed = 8;
constexpr int kTickMs = 5;
constexpr double kRecordEngineMs = 120000;

class ClosedLoop : public SimLinkFixture {
 protected:
  ClosedLoop() : SimLinkFixture(kTickMs) {}
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  void Program(const ParameterImage& image) {
    document_.Image = image;
    engine_.StartProgram();
    ASSERT_TRUE(RunTransaction());
    ASSERT_EQ(engine_.Outcome(), LinkOutcome::VerifyOk) << engine_.Status().Text;
  }

  // Two minutes of the engine's clock into a log at `path`, time_s on that
  // clock, with the tune programmed beside it as the window keeps it.
  void Record(const std::string& path) {
    LogWriter writer;
    ASSERT_TRUE(writer.Open(path));
    TuneKeeper tunes(path);
    const double start = server_->NowMs() * kEngineSpeed;
    auto engineMs = [&] { return server_->NowMs() * kEngineSpeed - start; };
    host_.OnMonitor = [&] {
      LogRow row = LogRowFromMonitorFrame(engine_.LastMonitorFrame().data(), static_cast<std::int32_t>(engineMs()));
      row[LogCol::Tune] = tunes.Follow(engine_.KnownUnitImage(), [] { return FileVersions(); });
      writer.Add(row);
    };
    engine_.SetFastMonitor(true);
    runner_.RunUntil([&] { return engineMs() >= kRecordEngineMs; }, static_cast<int>(kRecordEngineMs));
    engine_.SetFastMonitor(false);
    host_.OnMonitor = nullptr;
    // The last frames asked for come in before the next transfer starts.
    runner_.RunFor(200);
    ASSERT_TRUE(writer.Close());
  }

};

TEST_F(ClosedLoop, CorrectionsFromALogBringTheMixtureToTheTarget) {
  // The tune the engine really needs: the defaults with 12 % more fuel in the
  // upper half of map 1 (throttle rows from 30 %).
  Document defaults;
  ASSERT_TRUE(SaveParameterFile(Path("defaults.ign"), defaults.Image, FileVersions()).Ok);
  ParameterImage trueTune = defaults.Image;
  DerivedTables tables = defaults.Tables;
  for (int k = MapCell(5, 0); k < kMapCells; ++k)
    tables.PercentMap1[k] = static_cast<std::uint16_t>((tables.PercentMap1[k] * 112 + 50) / 100);
  ScaleToTime(tables.PercentMap1, tables.BaseTime1, kInj1FirstWord, trueTune);

  sim::SimOptions options;
  options.TrueTune = trueTune;
  options.EngineSpeed = kEngineSpeed;
  StartSim(options);
  engine_.OpenPort();
  ASSERT_TRUE(port_.IsOpen()) << port_.OpenErrorReason();

  Program(defaults.Image);
  Record(Path("before.csv"));

  std::ostringstream out, err;
  ASSERT_EQ(cli::Run(std::vector<std::string>{"log", "analyze", Path("before.csv"), "--tune", Path("defaults.ign"),
                                              "--map", "1", "--target", "13.2", "-o", Path("corrected.ign")},
                     out, err),
            cli::kExitOk)
      << err.str();
  Document corrected;
  ASSERT_TRUE(corrected.Open(Path("corrected.ign")).Loaded());
  Program(corrected.Image);
  Record(Path("after.csv"));

  const LogReadResult before = ReadLogFile(Path("before.csv"));
  const LogReadResult after = ReadLogFile(Path("after.csv"));
  ASSERT_TRUE(before.Ok && after.Ok) << before.Error << after.Error;
  const AnalysisSettings settings;
  const MapAnalysis first = AnalyseLog(defaults.Image, defaults.Tables, before.Data, settings);
  const MapAnalysis second = AnalyseLog(corrected.Image, corrected.Tables, after.Data, settings);

  // The sweep covers a good share of the map, and the cells it dwells in get
  // enough rows to be corrected.
  int visited = 0, corrected1 = 0, upper = 0;
  double upperAfr = 0;
  for (int k = 0; k < kMapCells; ++k) {
    visited += first.Cells[k].Samples > 0;
    if (!first.Cells[k].Enough) continue;
    ++corrected1;
    if (k >= MapCell(5, 0)) {
      ++upper;
      upperAfr += first.Cells[k].MeanAfr();
    }
  }
  EXPECT_GE(visited, 60) << out.str();
  EXPECT_GE(corrected1, 40) << out.str();
  ASSERT_GT(upper, 0);
  // It started about 12 % lean in the upper half.
  EXPECT_NEAR(upperAfr / upper, 13.2 * 1.12, 0.2);

  // Every cell the loop corrected and rode again is within 2 % of the target,
  // and so is the mean of them all.
  std::int64_t sum = 0;
  int rows = 0, checked = 0;
  for (int k = 0; k < kMapCells; ++k) {
    const CellResult& cell = second.Cells[k];
    if (!first.Cells[k].Enough || !cell.Enough) continue;
    ++checked;
    sum += cell.AfrSumX10;
    rows += cell.Samples;
    EXPECT_NEAR(cell.MeanAfr(), 13.2, 13.2 * 0.02) << "row " << k / kMapColumns << " column " << k % kMapColumns;
  }
  EXPECT_GE(checked, 40);
  ASSERT_GT(rows, 0);
  EXPECT_NEAR(sum / (10.0 * rows), 13.2, 13.2 * 0.02);

  // The first log again, against the corrected tune: it was ridden on the
  // defaults (kept beside it), so the cells it corrected are not corrected
  // a second time; the tune written is the corrected one, cell for cell.
  std::ostringstream again, againErr;
  ASSERT_EQ(cli::Run(std::vector<std::string>{"log", "analyze", Path("before.csv"), "--tune", Path("corrected.ign"),
                                              "--map", "1", "--target", "13.2", "-o", Path("again.ign")},
                     again, againErr),
            cli::kExitOk)
      << againErr.str();
  EXPECT_NE(again.str().find("ridden on " + Path("before.ign")), std::string::npos) << again.str();
  Document twice;
  ASSERT_TRUE(twice.Open(Path("again.ign")).Loaded());
  for (int k = 0; k < kMapCells; ++k) {
    if (first.Cells[k].Suggested == first.Cells[k].Current) continue;
    EXPECT_EQ(twice.Tables.PercentMap1[k], corrected.Tables.PercentMap1[k])
        << "row " << k / kMapColumns << " column " << k % kMapColumns;
  }
}

}  // namespace
}  // namespace velmor

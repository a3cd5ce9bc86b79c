// Injection-map corrections from a log: every usable row is placed in the
// cell the operating-point highlight lights for it, and a cell with enough
// rows gets the percentage that brings its mean A/F to the target.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "log/log_format.h"
#include "model/derived.h"
#include "model/image.h"

namespace velmor {

struct AnalysisSettings {
  int Map = 1;                     // injection map 1 or 2
  int TargetAfrX10 = 132;          // one target for every cell
  // A target per cell (A/F × 10) instead of the single one.
  std::optional<std::array<std::uint16_t, kMapCells>> TargetTable;
  int MinSamples = 10;
  int MinCoolantC = 60;
  int MaxTpsRateX10 = 100;         // throttle change, tenths of % per second
  int MaxChangePct = 20;           // of the cell's current percentage
  // A change smaller than this per cent of the cell is no change: chasing
  // it makes the map walk round by round. 0 turns it off.
  int DeadBandPct = 1;
  // A cell without enough rows between two corrected ones in its throttle
  // row takes their correction, interpolated by column (a sweep that held
  // only every other rpm point otherwise leaves a checkerboard). Asked for:
  // it writes cells no row was ridden in.
  bool FillBetween = false;
  // Only rows with FromMs <= time < ToMs.
  std::int32_t FromMs = std::numeric_limits<std::int32_t>::min();
  std::int32_t ToMs = std::numeric_limits<std::int32_t>::max();
};

// Why rows were left out, each row counted once, under its first reason.
struct AnalysisCounts {
  int Rows = 0;          // rows of the log inside the time range
  int Used = 0;
  int NoRpm = 0;         // rpm missing or 0
  int Cold = 0;          // coolant missing or below the minimum
  int NoAfr = 0;         // A/F missing or outside 10.0 … 19.9
  int NoThrottle = 0;    // throttle missing or outside 0 … 100 % (sensor fault)
  int ThrottleRate = 0;  // throttle moving faster than the maximum
};

struct CellResult {
  int Samples = 0;
  std::int64_t AfrSumX10 = 0;
  int TargetX10 = 0;
  // The percentage the cell held when its rows were ridden: tune `Tune` of
  // the log (0: the map the analysis started from, which is also the one of
  // a cell without rows).
  int Current = 0;
  int Tune = 0;
  int Suggested = 0;  // equals Current unless the cell has enough rows
  bool Enough = false;    // Samples reached the minimum
  bool Limited = false;   // the change was cut to the maximum
  bool Filled = false;    // too few rows of its own: the neighbours' correction
  double MeanAfr() const { return Samples > 0 ? static_cast<double>(AfrSumX10) / (10.0 * Samples) : 0.0; }
};

// How a cell shows in the analysis: too few rows to say, the mixture the
// rows found against the target, or a correction carried over from the
// cells beside it.
enum class CellVerdict : std::uint8_t { NoRows, FewRows, OnTarget, Lean, Rich, Filled };
CellVerdict VerdictOf(const CellResult& cell);

struct MapAnalysis {
  AnalysisSettings Settings;
  AnalysisCounts Counts;
  std::array<CellResult, kMapCells> Cells{};
  // Suggested percentages of every cell, ready to apply.
  Map150 Suggested{};
  int CellsChanged() const;
};

// The suggested percentage: p × mean A/F ÷ target, rounded half up, computed
// exactly from the sum S of A/F × 10 over n rows and the target T × 10, then
// kept within maxChangePct of p. A change smaller than deadBandPct of p
// (before rounding: mean A/F within that share of the target) keeps p.
int SuggestPercent(int p, std::int64_t sumX10, int n, int targetX10, int maxChangePct, bool* limited = nullptr,
                   int deadBandPct = 0);

// The map's cell for a row, by the midpoint rule on the map's own RPM axis
// and the fixed throttle rows; the throttle counts in whole per cent as the
// unit reports it. -1 for a row without rpm or throttle.
int CellOfRow(const ParameterImage& image, int map, const LogRow& row);

// The analysis row by row, so that a log of any length is analysed as it is
// read, in the memory of one row. The images must outlive it.
class LogAnalyser {
 public:
  // Every row placed and corrected on `image`.
  LogAnalyser(const ParameterImage& image, const DerivedTables& tables, const AnalysisSettings& settings);
  // Each row on the tune it was ridden on: `tunes[n]` is tune n of the log
  // (null where it was not kept), `tunes[0]` the map for rows of no known
  // tune (the map as it is now). A cell's suggestion starts from the newest
  // tune its rows were ridden on, and takes in the rows of every tune that
  // held the same value in it.
  LogAnalyser(std::span<const ParameterImage* const> tunes, const AnalysisSettings& settings);
  void Add(const LogRow& row);
  MapAnalysis Finish();

 private:
  struct Tally {
    int Samples = 0;
    std::int64_t AfrSumX10 = 0;
  };
  struct Part {
    const ParameterImage* Image = nullptr;
    DerivedTables Tables;
    std::array<Tally, kMapCells> Cells{};
  };
  std::vector<Part> parts_;
  MapAnalysis a_;
  // The last row that read the throttle, for its rate.
  bool havePrevious_ = false;
  std::int32_t previousTps_ = 0;
  std::int32_t previousMs_ = 0;
};

// `tables` must be in step with `image` (RefreshPercentMaps).
MapAnalysis AnalyseLog(const ParameterImage& image, const DerivedTables& tables, const LogData& log,
                       const AnalysisSettings& settings);

// The analysis of a log ridden on several tunes; see LogAnalyser.
MapAnalysis AnalyseLog(std::span<const ParameterImage* const> tunes, const LogData& log,
                       const AnalysisSettings& settings);

// The cells of map `map` whose stored time differs between the tune a log
// was ridden on and the tune now: their suggestion describes a cell that no
// longer holds what was ridden, so it is not applied unless asked for (a
// log applied once is not applied again). A changed RPM axis moves every
// cell. Each cell is compared against the tune its suggestion starts from
// (`tunes` as given to the analysis).
std::array<bool, kMapCells> CellsChangedSince(const MapAnalysis& analysis, std::span<const ParameterImage* const> tunes,
                                              const ParameterImage& now);

enum class ApplyOutcome { Applied, NothingToChange, MapFollowsMap1 };

// Map 2 follows map 1 in coupled and " 1 = 2" mode: it cannot be corrected
// by itself there.
bool MapCanBeCorrected(const ParameterImage& image, int map);

// Writes the suggested percentages of the cells marked in `selected` into the
// map as an edit of its page does: percentages over the map's base times, map
// 2 moved along in coupled mode and copied in " 1 = 2" mode. Map 2 cannot be
// changed by itself in those two modes (it follows map 1). The caller runs
// the normalisation and refresh after it, as after any edit.
ApplyOutcome ApplyCorrections(ParameterImage& image, DerivedTables& tables, const MapAnalysis& analysis,
                              const std::array<bool, kMapCells>& selected);
ApplyOutcome ApplyCorrections(ParameterImage& image, DerivedTables& tables, const MapAnalysis& analysis);

// A target table beside a tune: ten lines of fifteen A/F values (row 0, the
// 0 % throttle row, first), separated by commas. False with `error` when the
// text is not one.
bool ParseTargetTable(std::string_view text, std::array<std::uint16_t, kMapCells>& table, std::string& error);
std::string FormatTargetTable(const std::array<std::uint16_t, kMapCells>& table);
// Where a tune's target table is kept: beside it, "tune.ign" ->
// "tune.target.csv". Empty for a tune without a file.
std::string TargetTablePath(const std::string& tunePath);

}  // namespace velmor

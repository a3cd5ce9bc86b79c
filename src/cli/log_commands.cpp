// log analyze: injection-map corrections from a recorded log.
#include <cstdio>
#include <filesystem>
#include <new>

#include "cli.h"
#include "editor/document.h"
#include "file_commands.h"
#include "files/file_io.h"
#include "log/log_paths.h"
#include "log/map_analysis.h"
#include "log/ridden_tunes.h"

namespace velmor::cli {
namespace {

constexpr Option kTune{"--tune", "", "IN.ign", "the tune the log was recorded with", true};
constexpr Option kMap{"--map", "", "1|2", "injection map to correct", true};
constexpr Option kTarget{"--target", "", "AFR", "target A/F of every cell (default 13.2)", false};
constexpr Option kTargetTable{"--target-table", "", "FILE", "a target A/F per cell (ten rows of fifteen)", false};
constexpr Option kMinSamples{"--min-samples", "", "N", "rows a cell needs for a suggestion (default 10)", false};
constexpr Option kMinCoolant{"--min-coolant", "", "C", "leave out rows of a colder engine (default 60)", false};
constexpr Option kMaxTpsRate{"--max-tps-rate", "", "PCT", "leave out rows with a faster throttle, %/s (default 10)",
                             false};
constexpr Option kMaxChange{"--max-change", "", "PCT", "largest change, % of the cell (default 20)", false};
constexpr Option kDeadBand{"--dead-band", "", "PCT", "changes smaller than this % of the cell are none (default 1, 0 off)",
                           false};
constexpr Option kFill{"--fill", "", "", "cells between corrected ones take their interpolated correction", false};
constexpr Option kFrom{"--from", "", "S", "use rows from S seconds of the log on", false};
constexpr Option kTo{"--to", "", "S", "use rows before S seconds of the log", false};
constexpr Option kOut{"--output", "-o", "OUT.ign", "write the corrected tune (IN.ign is never changed)", false};

bool ParseDecimal(std::string_view text, int decimals, std::int64_t lo, std::int64_t hi, std::int32_t& value) {
  std::int32_t v = 0;
  if (!ParseLogValue(text, decimals, v) || v < lo || v > hi) return false;
  value = v;
  return true;
}

int Usage(Io& io, const Command& c, const std::string& message) {
  Error(io, c, message);
  return kExitUsage;
}

// Settings from the options; false after saying what is wrong.
bool ReadSettings(const Args& args, Io& io, const Command& c, AnalysisSettings& s) {
  if (!ParseInt(args.Get(kMap.Long), 1, 2, s.Map)) return Usage(io, c, "--map must be 1 or 2"), false;
  std::int32_t v = 0;
  if (args.Has(kTarget.Long)) {
    if (args.Has(kTargetTable.Long)) return Usage(io, c, "give either --target or --target-table"), false;
    if (!ParseDecimal(args.Get(kTarget.Long), 1, 100, 199, v))
      return Usage(io, c, "--target must be an A/F from 10.0 to 19.9"), false;
    s.TargetAfrX10 = v;
  }
  if (args.Has(kTargetTable.Long)) {
    const std::string& path = args.Get(kTargetTable.Long);
    std::string text, error;
    std::array<std::uint16_t, kMapCells> table{};
    if (!ReadWholeFile(path, text)) return Usage(io, c, path + ": cannot read the file"), false;
    if (!ParseTargetTable(text, table, error)) return Usage(io, c, path + ": " + error), false;
    s.TargetTable = table;
  }
  if (args.Has(kMinSamples.Long) && !ParseInt(args.Get(kMinSamples.Long), 1, 1000000, s.MinSamples))
    return Usage(io, c, "--min-samples must be a whole number from 1"), false;
  if (args.Has(kMinCoolant.Long) && !ParseInt(args.Get(kMinCoolant.Long), -100, 155, s.MinCoolantC))
    return Usage(io, c, "--min-coolant must be a whole number of degrees from -100 to 155"), false;
  if (args.Has(kMaxTpsRate.Long)) {
    if (!ParseDecimal(args.Get(kMaxTpsRate.Long), 1, 0, 100000, v))
      return Usage(io, c, "--max-tps-rate must be a number of % per second from 0"), false;
    s.MaxTpsRateX10 = v;
  }
  if (args.Has(kMaxChange.Long) && !ParseInt(args.Get(kMaxChange.Long), 0, 100, s.MaxChangePct))
    return Usage(io, c, "--max-change must be a whole per cent from 0 to 100"), false;
  if (args.Has(kDeadBand.Long) && !ParseInt(args.Get(kDeadBand.Long), 0, 20, s.DeadBandPct))
    return Usage(io, c, "--dead-band must be a whole per cent from 0 to 20"), false;
  s.FillBetween = args.Has(kFill.Long);
  if (args.Has(kFrom.Long)) {
    if (!ParseDecimal(args.Get(kFrom.Long), 3, 0, std::numeric_limits<std::int32_t>::max(), v))
      return Usage(io, c, "--from must be a number of seconds from 0"), false;
    s.FromMs = v;
  }
  if (args.Has(kTo.Long)) {
    if (!ParseDecimal(args.Get(kTo.Long), 3, 0, std::numeric_limits<std::int32_t>::max(), v))
      return Usage(io, c, "--to must be a number of seconds from 0"), false;
    s.ToMs = v;
  }
  return true;
}

void PrintTable(Io& io, const ParameterImage& image, const MapAnalysis& a) {
  const AnalysisCounts& n = a.Counts;
  char line[200];
  std::snprintf(line, sizeof line,
                "%d rows, %d used; left out: %d without rpm, %d cold, %d without a usable A/F, "
                "%d without throttle, %d with the throttle moving\n",
                n.Rows, n.Used, n.NoRpm, n.Cold, n.NoAfr, n.NoThrottle, n.ThrottleRate);
  io.Out << line;
  const AnalysisSettings& s = a.Settings;
  if (s.TargetTable)
    std::snprintf(line, sizeof line, "map %d, target A/F from the table, at least %d rows a cell, change at most %d %%\n",
                  s.Map, s.MinSamples, s.MaxChangePct);
  else
    std::snprintf(line, sizeof line, "map %d, target A/F %d.%d, at least %d rows a cell, change at most %d %%\n",
                  s.Map, s.TargetAfrX10 / 10, s.TargetAfrX10 % 10, s.MinSamples, s.MaxChangePct);
  io.Out << line << "\n  tps %    rpm      n  mean A/F  target  current %  suggested %\n";
  const int axis = s.Map == 2 ? kInj2Axis : kInj1Axis;
  for (int k = 0; k < kMapCells; ++k) {
    const CellResult& cell = a.Cells[k];
    if (cell.Samples == 0 && !cell.Filled) continue;
    const int row = k / kMapColumns, column = k % kMapColumns;
    std::snprintf(line, sizeof line, "%7d  %5d  %5d  %8.2f  %4d.%d  %9d  %11d%s\n", kTpsRows[row],
                  image.P(axis + column) * 100, cell.Samples, cell.MeanAfr(), cell.TargetX10 / 10,
                  cell.TargetX10 % 10, cell.Current, cell.Suggested,
                  cell.Filled  ? "  filled between"
                  : !cell.Enough ? "  too few rows"
                  : cell.Limited ? "  limited"
                                 : "");
    io.Out << line;
  }
  io.Out << "\n" << a.CellsChanged() << " cells to change\n";
}

int AnalyzeLog(const Args& args, Io& io, const Command& c);

int RunLog(const Args& args, Io& io) {
  const Command& c = *Commands().Find("log");
  // The reading keeps one row, but a tune, a table or the output still
  // take memory: under a memory limit the answer is a message, not an abort.
  try {
    return AnalyzeLog(args, io, c);
  } catch (const std::bad_alloc&) {
    Error(io, c, "not enough memory");
    return kExitFailure;
  }
}

int AnalyzeLog(const Args& args, Io& io, const Command& c) {
  if (args.Positional[0] != "analyze")
    return Usage(io, c, "unknown log command \"" + args.Positional[0] + "\"; the one there is: analyze");
  AnalysisSettings settings;
  if (!ReadSettings(args, io, c, settings)) return kExitUsage;

  const std::string& logPath = args.Positional[1];
  const std::string& tunePath = args.Get(kTune.Long);
  const std::string& outPath = args.Get(kOut.Long);
  // The output never replaces an input: the log, the tune or the table.
  if (!outPath.empty()) {
    const std::pair<const char*, std::string> inputs[] = {
        {"the tune read: IN.ign is never changed", tunePath},
        {"the log analysed", logPath},
        {"the target table", args.Has(kTargetTable.Long) ? args.Get(kTargetTable.Long) : std::string()}};
    for (const auto& [what, path] : inputs) {
      std::error_code ec;
      if (!path.empty() && std::filesystem::equivalent(outPath, path, ec))
        return Usage(io, c, std::string("-o must not be ") + what);
    }
  }

  // The log is analysed as it is read: its length costs time, not memory.
  LogReader log;
  if (!log.Open(logPath)) return Usage(io, c, logPath + ": " + DescribeLogProblem(log.Problem()));
  Document tune;
  if (!ReportLoaded(io, c, tunePath, tune.Open(tunePath).Read)) return kExitUsage;

  // Each row on the tune it was ridden on, kept beside the log; rows of no
  // kept tune on IN.ign.
  const std::vector<std::optional<ParameterImage>> ridden = LoadRiddenTunes(logPath, tune.Image);
  std::vector<const ParameterImage*> tunes{&tune.Image};
  std::string riddenOn;
  for (std::size_t n = 1; n < ridden.size(); ++n) {
    tunes.push_back(ridden[n] ? &*ridden[n] : nullptr);
    if (ridden[n]) riddenOn += (riddenOn.empty() ? "" : ", ") + TunePathOfLog(logPath, static_cast<int>(n));
  }
  LogAnalyser analyser(tunes, settings);
  LogRow row;
  while (log.Next(row)) analyser.Add(row);
  if (log.Problem()) return Usage(io, c, logPath + ": " + DescribeLogProblem(log.Problem()));
  const MapAnalysis analysis = analyser.Finish();
  io.Out << (riddenOn.empty() ? "ridden on an unknown tune: the suggestions start from " + tunePath
                              : "ridden on " + riddenOn)
         << "\n";
  PrintTable(io, tune.Image, analysis);
  // A cell that holds another value now than when its rows were ridden is
  // left as it is: the log was most likely applied to it already.
  const std::array<bool, kMapCells> changed = CellsChangedSince(analysis, tunes, tune.Image);
  std::array<bool, kMapCells> selected{};
  int left = 0;
  for (int k = 0; k < kMapCells; ++k) {
    selected[k] = !changed[k];
    left += changed[k] && analysis.Cells[k].Suggested != analysis.Cells[k].Current;
  }
  if (left > 0) io.Out << left << " of them changed in " << tunePath << " since this log was recorded: left out\n";
  if (analysis.Counts.Used == 0) {
    Error(io, c, "no row of the log passed the filters");
    return kExitFailure;
  }
  if (outPath.empty()) return kExitOk;
  if (ApplyCorrections(tune.Image, tune.Tables, analysis, selected) == ApplyOutcome::MapFollowsMap1)
    return Usage(io, c, "map 2 follows map 1 in this tune's map mode; correct map 1");
  const WriteStatus status = tune.Save(outPath, FileVersions()).Written;
  if (!status.Ok) {
    Error(io, c, "cannot save: " + status.Reason);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

void AddLogCommands(CommandTable& table) {
  table.Add({.Name = "log",
             .Arguments = "analyze LOG.csv --tune IN.ign --map 1|2 [--target AFR] [--min-samples N]\n"
                          "       [--min-coolant C] [--max-tps-rate PCT] [--max-change PCT] [--dead-band PCT]\n"
                          "       [--fill] [-o OUT.ign]",
             .Summary = "injection-map corrections from a recorded log",
             .Description =
                 "analyze places every row of the log in the cell of the map that the window lights\n"
                 "for its rpm and throttle, leaves out rows without rpm, of a cold engine, without an\n"
                 "A/F from 10.0 to 19.9 or with the throttle moving faster than the maximum, and for\n"
                 "every cell with enough rows suggests current % x mean A/F / target A/F, rounded\n"
                 "half up and kept within the largest change; a change smaller than the dead band\n"
                 "(% of the cell) is none. With --fill, up to two cells without enough rows between\n"
                 "two corrected ones in a throttle row, then in an rpm column, take their correction,\n"
                 "interpolated by the rpm or throttle values.\n"
                 "The tunes the log was ridden on, kept beside it (LOG.ign, LOG.tune-2.ign ...),\n"
                 "place and correct the rows that name them in their tune column; each cell starts\n"
                 "from the newest tune its rows were ridden on. Rows of no kept tune are on IN.ign.\n"
                 "It prints one line per cell that has rows or was filled; with -o it writes the tune\n"
                 "with the suggestions applied as an edit of the map's page does (map 2 moves along\n"
                 "in coupled mode and is map 1 in \" 1 = 2\"), leaving out the cells IN.ign has\n"
                 "changed since the log was ridden.\n\n"
                 "Exit 0 on success, 1 when no row passed the filters, 2 on wrong arguments or a\n"
                 "file that cannot be read.",
             .Options = {kTune, kMap, kTarget, kTargetTable, kMinSamples, kMinCoolant, kMaxTpsRate, kMaxChange,
                         kDeadBand, kFill, kFrom, kTo, kOut},
             .Positionals = {"analyze", "LOG.csv"},
             .Run = RunLog});
}

}  // namespace velmor::cli

#include "log/map_analysis.h"

#include <algorithm>
#include <cstdlib>

#include "editor/operating_point.h"
#include "log/log_paths.h"
#include "model/derived.h"
#include "model/fields.h"

namespace velmor {
namespace {

constexpr int kAfrLowX10 = 100;   // 10.0
constexpr int kAfrHighX10 = 199;  // 19.9
constexpr int kPercentMax = 65535;

bool ThrottleTooFast(const LogRow& row, std::int32_t previousTps, std::int32_t previousMs, int maxRateX10) {
  const std::int64_t change = std::abs(std::int64_t{row[LogCol::TpsPct]} - previousTps);
  const std::int64_t dtMs = std::int64_t{row.TimeMs()} - previousMs;
  if (change == 0) return false;
  if (dtMs <= 0) return true;
  // |Δ tenths| / 10 ÷ (Δms / 1000) <= max tenths / 10
  return change * 1000 > std::int64_t{maxRateX10} * dtMs;
}

// Along each throttle row, and then along each rpm column, a run of cells
// without enough rows between two cells with enough takes the correction of
// those two (their suggested ÷ current), interpolated by the axis values
// (rpm along a row, throttle % along a column). Only runs of up to kFillGap
// cells: a wider hole is a part of the map the ride did not reach, not a
// sweep's gap. A cell the rows filled stays as they filled it.
constexpr int kFillGap = 2;

// One row or column: `cells[i]` at axis position `at[i]`, ascending.
template <std::size_t N>
void FillLine(MapAnalysis& a, const std::array<int, N>& cells, const std::array<std::int64_t, N>& at) {
  int low = -1;
  for (int i = 0; i < static_cast<int>(N); ++i) {
    if (!a.Cells[cells[i]].Enough) continue;
    if (low >= 0 && i - low > 1 && i - low - 1 <= kFillGap) {
      const CellResult& l = a.Cells[cells[low]];
      const CellResult& h = a.Cells[cells[i]];
      const std::int64_t span = at[i] - at[low];
      if (l.Current > 0 && h.Current > 0 && span > 0 && (l.Suggested != l.Current || h.Suggested != h.Current)) {
        for (int m = low + 1; m < i; ++m) {
          CellResult& cell = a.Cells[cells[m]];
          if (cell.Filled) continue;
          // ratio = lo + (hi - lo) × t, in exact integers: p × ratio,
          // rounded half up.
          const std::int64_t t = std::clamp<std::int64_t>(at[m] - at[low], 0, span);
          const std::int64_t num = std::int64_t{l.Suggested} * h.Current * (span - t) +
                                   std::int64_t{h.Suggested} * l.Current * t;
          const std::int64_t den = std::int64_t{l.Current} * h.Current * span;
          const std::int64_t q = (2 * cell.Current * num + den) / (2 * den);
          cell.Suggested = static_cast<int>(std::clamp<std::int64_t>(q, 0, kPercentMax));
          cell.Filled = cell.Suggested != cell.Current;
        }
      }
    }
    low = i;
  }
}

void FillBetweenCorrected(MapAnalysis& a, const ParameterImage& image, int map) {
  const int axis = map == 2 ? kInj2Axis : kInj1Axis;
  for (int r = 0; r < kMapRows; ++r) {
    std::array<int, kMapColumns> cells{};
    std::array<std::int64_t, kMapColumns> rpm{};
    for (int c = 0; c < kMapColumns; ++c) {
      cells[c] = MapCell(r, c);
      rpm[c] = image.P(axis + c) * 100;
    }
    FillLine(a, cells, rpm);
  }
  for (int c = 0; c < kMapColumns; ++c) {
    std::array<int, kMapRows> cells{};
    std::array<std::int64_t, kMapRows> tps{};
    for (int r = 0; r < kMapRows; ++r) {
      cells[r] = MapCell(r, c);
      tps[r] = kTpsRows[r];
    }
    FillLine(a, cells, tps);
  }
}

// Cell k of map `map` holds another stored time in `b` than in `a`, or sits
// at another rpm (its axis moved).
bool CellDiffers(const ParameterImage& a, const ParameterImage& b, int map, int k) {
  const int axis = map == 2 ? kInj2Axis : kInj1Axis;
  const int words = map == 2 ? kInj2Map : kInj1Map;
  for (int i = 0; i < kMapColumns; ++i)
    if (a.P(axis + i) != b.P(axis + i)) return true;
  return a.Word(words + 2 * k) != b.Word(words + 2 * k);
}

}  // namespace

CellVerdict VerdictOf(const CellResult& cell) {
  if (cell.Filled) return CellVerdict::Filled;
  if (cell.Samples == 0) return CellVerdict::NoRows;
  if (!cell.Enough) return CellVerdict::FewRows;
  // Lean: the cell needs more fuel.
  if (cell.Suggested > cell.Current) return CellVerdict::Lean;
  if (cell.Suggested < cell.Current) return CellVerdict::Rich;
  return CellVerdict::OnTarget;
}

int MapAnalysis::CellsChanged() const {
  int n = 0;
  for (const CellResult& c : Cells) n += c.Suggested != c.Current;
  return n;
}

int SuggestPercent(int p, std::int64_t sumX10, int n, int targetX10, int maxChangePct, bool* limited,
                   int deadBandPct) {
  if (limited) *limited = false;
  if (n <= 0 || targetX10 <= 0) return p;
  // p × |S / (n T) - 1| < p × band / 100, without dividing.
  if (std::abs(sumX10 - std::int64_t{n} * targetX10) * 100 < std::int64_t{n} * targetX10 * deadBandPct) return p;
  const std::int64_t num = 2 * std::int64_t{p} * sumX10 + std::int64_t{n} * targetX10;
  const std::int64_t den = 2 * std::int64_t{n} * targetX10;
  std::int64_t q = num / den;
  // The change may not exceed maxChangePct of p: the bounds round towards p.
  const std::int64_t hi = std::int64_t{p} * (100 + maxChangePct) / 100;
  const std::int64_t lo = (std::int64_t{p} * (100 - maxChangePct) + 99) / 100;
  if (q > hi || q < lo) {
    q = std::clamp(q, lo, hi);
    if (limited) *limited = true;
  }
  return static_cast<int>(std::clamp<std::int64_t>(q, 0, kPercentMax));
}

int CellOfRow(const ParameterImage& image, int map, const LogRow& row) {
  if (!row.Has(LogCol::Rpm) || !row.Has(LogCol::TpsPct)) return -1;
  const int rpm = std::clamp(row[LogCol::Rpm], 0, 65535);
  const int tps = std::clamp(row[LogCol::TpsPct] / 10, 0, 65535);
  const int column = LocateRpm(image, map == 2 ? kInj2Axis : kInj1Axis, static_cast<std::uint16_t>(rpm));
  return MapCell(LocateTpsRow(static_cast<std::uint16_t>(tps)), column);
}

LogAnalyser::LogAnalyser(const ParameterImage& image, const DerivedTables& tables, const AnalysisSettings& settings) {
  parts_.push_back(Part{&image, tables, {}});
  a_.Settings = settings;
}

LogAnalyser::LogAnalyser(std::span<const ParameterImage* const> tunes, const AnalysisSettings& settings) {
  parts_.resize(std::max<std::size_t>(tunes.size(), 1));
  for (std::size_t t = 0; t < tunes.size(); ++t) {
    parts_[t].Image = tunes[t];
    if (tunes[t] != nullptr) RefreshPercentMaps(*tunes[t], parts_[t].Tables);
  }
  a_.Settings = settings;
}

void LogAnalyser::Add(const LogRow& row) {
  const AnalysisSettings& settings = a_.Settings;
  // The throttle rate is taken against the last row that read the throttle:
  // a row without it in between must not hide a snap of the throttle.
  const bool hadPrevious = havePrevious_;
  const std::int32_t beforeTps = previousTps_, beforeMs = previousMs_;
  if (row.Has(LogCol::TpsPct) && row[LogCol::TpsPct] >= 0 && row[LogCol::TpsPct] <= 1000) {
    havePrevious_ = true;
    previousTps_ = row[LogCol::TpsPct];
    previousMs_ = row.TimeMs();
  }
  if (row.TimeMs() < settings.FromMs || row.TimeMs() >= settings.ToMs) return;
  AnalysisCounts& c = a_.Counts;
  ++c.Rows;
  if (!row.Has(LogCol::Rpm) || row[LogCol::Rpm] <= 0) {
    ++c.NoRpm;
  } else if (!row.Has(LogCol::CoolantC) || row[LogCol::CoolantC] < settings.MinCoolantC) {
    ++c.Cold;
  } else if (!row.Has(LogCol::Afr) || row[LogCol::Afr] < kAfrLowX10 || row[LogCol::Afr] > kAfrHighX10) {
    ++c.NoAfr;
  } else if (!row.Has(LogCol::TpsPct) || row[LogCol::TpsPct] < 0 || row[LogCol::TpsPct] > 1000) {
    // A throttle outside 0 … 100 % is a sensor fault, not a place in the map.
    ++c.NoThrottle;
  } else if (hadPrevious && ThrottleTooFast(row, beforeTps, beforeMs, settings.MaxTpsRateX10)) {
    ++c.ThrottleRate;
  } else {
    ++c.Used;
    // A log from before tunes were numbered was ridden on its first.
    const std::int64_t tune = row.Has(LogCol::Tune) ? row[LogCol::Tune] : 1;
    Part& part = tune >= 0 && tune < static_cast<std::int64_t>(parts_.size()) &&
                         parts_[static_cast<std::size_t>(tune)].Image != nullptr
                     ? parts_[static_cast<std::size_t>(tune)]
                     : parts_[0];
    Tally& cell = part.Cells[CellOfRow(*part.Image, settings.Map, row)];
    ++cell.Samples;
    cell.AfrSumX10 += row[LogCol::Afr];
  }
}

MapAnalysis LogAnalyser::Finish() {
  MapAnalysis a = a_;
  const AnalysisSettings& settings = a.Settings;
  const int parts = static_cast<int>(parts_.size());
  for (int k = 0; k < kMapCells; ++k) {
    CellResult& cell = a.Cells[k];
    // The newest tune with rows in the cell, with the rows of every tune
    // that held the same there: rows ridden on another value say nothing
    // about this one.
    int basis = 0;
    for (int t = parts - 1; t > 0; --t) {
      if (parts_[t].Cells[k].Samples > 0) {
        basis = t;
        break;
      }
    }
    const Part& on = parts_[basis];
    for (const Part& part : parts_) {
      if (part.Cells[k].Samples == 0 || (&part != &on && CellDiffers(*part.Image, *on.Image, settings.Map, k))) continue;
      cell.Samples += part.Cells[k].Samples;
      cell.AfrSumX10 += part.Cells[k].AfrSumX10;
    }
    cell.Tune = basis;
    cell.Current = (settings.Map == 2 ? on.Tables.PercentMap2 : on.Tables.PercentMap1)[k];
    cell.TargetX10 = settings.TargetTable ? (*settings.TargetTable)[k] : settings.TargetAfrX10;
    cell.Enough = cell.Samples > 0 && cell.Samples >= settings.MinSamples;
    cell.Suggested = cell.Enough ? SuggestPercent(cell.Current, cell.AfrSumX10, cell.Samples, cell.TargetX10,
                                                  settings.MaxChangePct, &cell.Limited, settings.DeadBandPct)
                                 : cell.Current;
  }
  if (settings.FillBetween) FillBetweenCorrected(a, *parts_[0].Image, settings.Map);
  for (int k = 0; k < kMapCells; ++k) a.Suggested[k] = static_cast<std::uint16_t>(a.Cells[k].Suggested);
  return a;
}

MapAnalysis AnalyseLog(const ParameterImage& image, const DerivedTables& tables, const LogData& log,
                       const AnalysisSettings& settings) {
  LogAnalyser analyser(image, tables, settings);
  for (std::size_t i = 0; i < log.Size(); ++i) analyser.Add(log.Row(i));
  return analyser.Finish();
}

MapAnalysis AnalyseLog(std::span<const ParameterImage* const> tunes, const LogData& log,
                       const AnalysisSettings& settings) {
  LogAnalyser analyser(tunes, settings);
  for (std::size_t i = 0; i < log.Size(); ++i) analyser.Add(log.Row(i));
  return analyser.Finish();
}

std::array<bool, kMapCells> CellsChangedSince(const MapAnalysis& analysis, std::span<const ParameterImage* const> tunes,
                                              const ParameterImage& now) {
  std::array<bool, kMapCells> changed{};
  for (int k = 0; k < kMapCells; ++k) {
    const auto t = static_cast<std::size_t>(analysis.Cells[k].Tune);
    const ParameterImage* ridden = t < tunes.size() && tunes[t] != nullptr ? tunes[t] : tunes.empty() ? nullptr : tunes[0];
    changed[k] = ridden != nullptr && CellDiffers(*ridden, now, analysis.Settings.Map, k);
  }
  return changed;
}

bool MapCanBeCorrected(const ParameterImage& image, int map) {
  return map != 2 || (image.P(kMapModeByte) != MapModeCoupled && image.P(kMapModeByte) != MapModeEqual);
}

ApplyOutcome ApplyCorrections(ParameterImage& image, DerivedTables& tables, const MapAnalysis& analysis,
                              const std::array<bool, kMapCells>& selected) {
  const int map = analysis.Settings.Map;
  if (!MapCanBeCorrected(image, map)) return ApplyOutcome::MapFollowsMap1;
  // The percent tables may lag behind the image (a page not shown since a
  // read or load); the untouched cells must keep what the image holds.
  RefreshPercentMaps(image, tables);
  Map150 cells = map == 2 ? tables.PercentMap2 : tables.PercentMap1;
  bool any = false;
  for (int k = 0; k < kMapCells; ++k) {
    if (!selected[k] || analysis.Suggested[k] == cells[k]) continue;
    cells[k] = analysis.Suggested[k];
    any = true;
  }
  if (!any) return ApplyOutcome::NothingToChange;
  const int page = map == 2 ? PageInj2 : PageInj1;
  std::array<std::uint8_t, kMapColumns> axis{};
  for (int i = 0; i < kMapColumns; ++i) axis[i] = image.P(MapAxisOffset(page) + i);
  StoreMapPage(image, tables, page, axis, cells);
  return ApplyOutcome::Applied;
}

ApplyOutcome ApplyCorrections(ParameterImage& image, DerivedTables& tables, const MapAnalysis& analysis) {
  std::array<bool, kMapCells> all;
  all.fill(true);
  return ApplyCorrections(image, tables, analysis, all);
}

bool ParseTargetTable(std::string_view text, std::array<std::uint16_t, kMapCells>& table, std::string& error) {
  std::array<std::uint16_t, kMapCells> parsed{};
  int row = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos) lf = text.size();
    std::string_view line = text.substr(pos, lf - pos);
    pos = lf + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (row == kMapRows) {
      error = "more than ten rows";
      return false;
    }
    int column = 0;
    std::size_t start = 0;
    for (;;) {
      const std::size_t comma = line.find(',', start);
      std::string_view field = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
      while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
      while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
      std::int32_t v = 0;
      if (!ParseLogValue(field, 1, v) || v < kAfrLowX10 || v > kAfrHighX10) {
        error = "row " + std::to_string(row + 1) + ": \"" + std::string(field.substr(0, 20)) +
                "\" is not an A/F from 10.0 to 19.9";
        return false;
      }
      if (column == kMapColumns) {
        error = "row " + std::to_string(row + 1) + ": more than fifteen values";
        return false;
      }
      parsed[MapCell(row, column++)] = static_cast<std::uint16_t>(v);
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (column != kMapColumns) {
      error = "row " + std::to_string(row + 1) + ": " + std::to_string(column) + " values, not fifteen";
      return false;
    }
    ++row;
  }
  if (row != kMapRows) {
    error = std::to_string(row) + " rows, not ten";
    return false;
  }
  table = parsed;
  return true;
}

std::string FormatTargetTable(const std::array<std::uint16_t, kMapCells>& table) {
  std::string out = "# target A/F: one line per throttle row from 0 % to 100 %, one value per rpm column\n";
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const int v = table[MapCell(r, c)];
      if (c > 0) out += ',';
      out += std::to_string(v / 10) + "." + std::to_string(v % 10);
    }
    out += '\n';
  }
  return out;
}

std::string TargetTablePath(const std::string& tunePath) {
  if (tunePath.empty()) return {};
  return PathWithoutExtension(tunePath) + ".target.csv";
}

}  // namespace velmor

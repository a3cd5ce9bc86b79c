#include "editor/map_edit.h"

#include <algorithm>

namespace velmor {
namespace {

constexpr int kAdvanceCellMax = 60;      // what normalisation keeps

// num / den rounded to the nearest whole number, exact halves upward
// (toward +infinity), for den > 0.
std::int64_t RoundedQuotient(std::int64_t num, std::int64_t den) {
  const std::int64_t n = 2 * num + den;
  const std::int64_t d = 2 * den;
  std::int64_t q = n / d;
  if (n % d != 0 && n < 0) --q;  // floor, not truncation toward zero
  return q;
}

int Limited(std::int64_t v, CellLimits limits) {
  return static_cast<int>(std::clamp<std::int64_t>(v, limits.Min, limits.Max));
}

// x of each column inside [left, right]: the RPM axis when it rises across
// the block, otherwise the column numbers.
std::array<std::int64_t, kMapColumns> ColumnX(const MapAxis& axis, int left, int right) {
  std::array<std::int64_t, kMapColumns> x{};
  bool rising = true;
  for (int c = left + 1; c <= right; ++c) rising = rising && axis[c] > axis[c - 1];
  for (int c = 0; c < kMapColumns; ++c) x[c] = rising ? axis[c] : c;
  return x;
}

// Weights of a point x between xa and xb: value = (wa * a + wb * b) / den.
// A span of one point gives all the weight to its own value.
struct Weights {
  std::int64_t A, B, Den;
};
Weights WeightsAt(std::int64_t xa, std::int64_t xb, std::int64_t x) {
  if (xb == xa) return {1, 0, 1};
  return {xb - x, x - xa, xb - xa};
}

int Value(const Map150& m, int row, int column) { return m[MapCell(row, column)]; }

}  // namespace

CellBlock CellBlock::Spanning(int row0, int column0, int row1, int column1) {
  const auto row = [](int r) { return std::clamp(r, 0, kMapRows - 1); };
  const auto col = [](int c) { return std::clamp(c, 0, kMapColumns - 1); };
  return {std::min(row(row0), row(row1)), std::min(col(column0), col(column1)), std::max(row(row0), row(row1)),
          std::max(col(column0), col(column1))};
}

CellLimits MapCellLimits(int page) {
  return page == PageAdvance ? CellLimits{0, kAdvanceCellMax} : CellLimits{0, kPercentCellMax};
}

MapAxis MapAxisOf(const ParameterImage& image, int page) {
  MapAxis axis{};
  const int offset = page == PageInj1 ? kInj1Axis : page == PageInj2 ? kInj2Axis : kAdvanceAxis;
  for (int c = 0; c < kMapColumns; ++c) axis[c] = image.P(offset + c);
  return axis;
}

Map150 EditedValues(const Map150& values, const MapAxis& axis, const CellBlock& given, const MapEdit& edit,
                    CellLimits limits) {
  const CellBlock b = CellBlock::Spanning(given.Top, given.Left, given.Bottom, given.Right);
  Map150 out = values;
  const auto put = [&](int r, int c, std::int64_t v) { out[MapCell(r, c)] = static_cast<std::uint16_t>(Limited(v, limits)); };

  switch (edit.Operation) {
    case MapOperation::Set:
    case MapOperation::Add:
    case MapOperation::Scale:
      for (int r = b.Top; r <= b.Bottom; ++r) {
        for (int c = b.Left; c <= b.Right; ++c) {
          const std::int64_t v = Value(values, r, c);
          if (edit.Operation == MapOperation::Set) put(r, c, edit.Value);
          else if (edit.Operation == MapOperation::Add) put(r, c, v + edit.Value);
          else put(r, c, RoundedQuotient(v * std::max(edit.Value, 0), 10000));
        }
      }
      break;

    case MapOperation::InterpolateRows: {
      const auto x = ColumnX(axis, b.Left, b.Right);
      for (int r = b.Top; r <= b.Bottom; ++r) {
        const std::int64_t a = Value(values, r, b.Left), z = Value(values, r, b.Right);
        for (int c = b.Left + 1; c < b.Right; ++c) {
          const Weights w = WeightsAt(x[b.Left], x[b.Right], x[c]);
          put(r, c, RoundedQuotient(w.A * a + w.B * z, w.Den));
        }
      }
      break;
    }

    case MapOperation::InterpolateColumns:
      for (int c = b.Left; c <= b.Right; ++c) {
        const std::int64_t a = Value(values, b.Top, c), z = Value(values, b.Bottom, c);
        for (int r = b.Top + 1; r < b.Bottom; ++r) {
          const Weights w = WeightsAt(kTpsRows[b.Top], kTpsRows[b.Bottom], kTpsRows[r]);
          put(r, c, RoundedQuotient(w.A * a + w.B * z, w.Den));
        }
      }
      break;

    case MapOperation::InterpolateBoth: {
      const auto x = ColumnX(axis, b.Left, b.Right);
      const std::int64_t q11 = Value(values, b.Top, b.Left), q12 = Value(values, b.Top, b.Right);
      const std::int64_t q21 = Value(values, b.Bottom, b.Left), q22 = Value(values, b.Bottom, b.Right);
      for (int r = b.Top; r <= b.Bottom; ++r) {
        const Weights wy = WeightsAt(kTpsRows[b.Top], kTpsRows[b.Bottom], kTpsRows[r]);
        for (int c = b.Left; c <= b.Right; ++c) {
          const Weights wx = WeightsAt(x[b.Left], x[b.Right], x[c]);
          const std::int64_t num =
              wy.A * (wx.A * q11 + wx.B * q12) + wy.B * (wx.A * q21 + wx.B * q22);
          put(r, c, RoundedQuotient(num, wx.Den * wy.Den));
        }
      }
      break;
    }

    case MapOperation::Smooth:
      for (int r = b.Top; r <= b.Bottom; ++r) {
        for (int c = b.Left; c <= b.Right; ++c) {
          std::int64_t sum = 0, n = 0;
          for (int rr = std::max(r - 1, 0); rr <= std::min(r + 1, kMapRows - 1); ++rr) {
            for (int cc = std::max(c - 1, 0); cc <= std::min(c + 1, kMapColumns - 1); ++cc) {
              sum += Value(values, rr, cc);
              ++n;
            }
          }
          put(r, c, RoundedQuotient(sum, n));
        }
      }
      break;
  }
  return out;
}

Map150 MapValues(const ParameterImage& image, DerivedTables& tables, int page) {
  Map150 values{};
  if (page == PageAdvance) {
    for (int k = 0; k < kMapCells; ++k) values[k] = image.P(kAdvanceMap + k);
    return values;
  }
  RefreshPercentMaps(image, tables);
  return page == PageInj2 ? tables.PercentMap2 : tables.PercentMap1;
}

bool MapEditable(const ParameterImage& image, int page) {
  if (page == PageAdvance || page == PageInj1) return true;
  return page == PageInj2 && image.P(kMapModeByte) != MapModeCoupled && image.P(kMapModeByte) != MapModeEqual;
}

MapWriteResult WriteMapValues(ParameterImage& image, DerivedTables& tables, int page, const Map150& values) {
  if (!MapEditable(image, page)) return MapWriteResult::Refused;
  const Map150 old = MapValues(image, tables, page);
  bool changed = false;
  if (page == PageAdvance) {
    for (int k = 0; k < kMapCells; ++k) {
      if (values[k] == old[k]) continue;
      image.P(kAdvanceMap + k) = static_cast<std::uint8_t>(std::min<int>(values[k], 255));
      changed = true;
    }
    return changed ? MapWriteResult::Changed : MapWriteResult::Unchanged;
  }

  const bool second = page == PageInj2;
  const bool coupled = !second && image.P(kMapModeByte) == MapModeCoupled;
  Map150& percent = second ? tables.PercentMap2 : tables.PercentMap1;
  const Map150& base = second ? tables.BaseTime2 : tables.BaseTime1;
  const int map = second ? kInj2Map : kInj1Map;
  for (int k = 0; k < kMapCells; ++k) {
    if (values[k] == old[k]) continue;
    percent[k] = values[k];
    StorePercentCell(image, map + 2 * k, values[k], base[k]);
    changed = true;
    if (coupled) {
      const int moved = std::clamp(tables.PercentMap2[k] + values[k] - old[k], 0, kPercentCellMax);
      if (moved != tables.PercentMap2[k]) {
        tables.PercentMap2[k] = static_cast<std::uint16_t>(moved);
        StorePercentCell(image, kInj2Map + 2 * k, tables.PercentMap2[k], tables.BaseTime2[k]);
      }
    }
  }
  if (changed && !second && image.P(kMapModeByte) == MapModeEqual) CopyMap1ToMap2(image, tables);
  return changed ? MapWriteResult::Changed : MapWriteResult::Unchanged;
}

MapWriteResult ApplyMapEdit(ParameterImage& image, DerivedTables& tables, int page, const CellBlock& block,
                            const MapEdit& edit) {
  if (!MapEditable(image, page)) return MapWriteResult::Refused;
  const Map150 values = MapValues(image, tables, page);
  return WriteMapValues(image, tables, page,
                        EditedValues(values, MapAxisOf(image, page), block, edit, MapCellLimits(page)));
}

}  // namespace velmor

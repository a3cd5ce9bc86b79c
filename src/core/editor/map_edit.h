// Edits of a rectangular block of cells of one map: set, add, scale,
// straight lines between the block's edge cells, smoothing, and writing
// pasted values. They work in the units the editor shows: degrees for the
// advance map, percent of the base time for the injection maps.
//
// Only cells whose shown value changes are written back to the image; every
// other cell keeps its stored byte or word exactly (an injection word is not
// re-quantised to a whole percentage unless its own value changes). The
// caller then runs the common step after a change (normalise, refresh,
// record for undo), so one edit is one undo step.
#pragma once

#include <array>
#include <cstdint>

#include "model/derived.h"
#include "model/image.h"

namespace velmor {

// Cells from (Top, Left) to (Bottom, Right), both corners included; rows
// are throttle rows 0..9, columns RPM columns 0..14.
struct CellBlock {
  int Top = 0;
  int Left = 0;
  int Bottom = kMapRows - 1;
  int Right = kMapColumns - 1;

  // The block between two cells given in any order, limited to the map.
  static CellBlock Spanning(int row0, int column0, int row1, int column1);
  static CellBlock Whole() { return {}; }
  bool Contains(int row, int column) const {
    return row >= Top && row <= Bottom && column >= Left && column <= Right;
  }
  int Rows() const { return Bottom - Top + 1; }
  int Columns() const { return Right - Left + 1; }
  int Cells() const { return Rows() * Columns(); }
  bool operator==(const CellBlock&) const = default;
};

enum class MapOperation : std::uint8_t {
  Set,                 // every cell becomes Value
  Add,                 // every cell + Value
  Scale,               // every cell x Value / 10000 (Value in hundredths of a percent)
  InterpolateRows,     // along each row, RPM axis as x
  InterpolateColumns,  // along each column, throttle rows as x
  InterpolateBoth,     // bilinear from the four corner cells
  Smooth,              // mean of the cell and its neighbours in the map
};

struct MapEdit {
  MapOperation Operation = MapOperation::Set;
  // Set and Add: editor units. Scale: hundredths of a percent (10500 is
  // 105 %), so a flow ratio such as 115.79 % is exact. Unused otherwise.
  std::int32_t Value = 0;
};

// What a cell of the map on a page may hold, in editor units.
struct CellLimits {
  int Min = 0;
  int Max = 0;
};
// Advance 0..60 degrees, injection maps 0..32000 percent, the limits of the
// map's edit boxes.
CellLimits MapCellLimits(int page);

using MapAxis = std::array<std::uint8_t, kMapColumns>;  // hundreds of rpm

// The RPM axis of the map on `page` (1..3).
MapAxis MapAxisOf(const ParameterImage& image, int page);

// The new values of the map after the edit on `block`: cells outside the
// block are returned unchanged, every result is limited to `limits`, and
// divisions round exact halves up.
//
// Interpolation draws straight lines between the block's edge cells, with
// the RPM axis (not the column number) as x along a row and the throttle
// percentages of the rows as x along a column; an axis that does not rise
// across the block falls back to column numbers. A block one cell wide in
// the interpolated direction keeps its values. Smoothing takes each cell's
// mean with its neighbours inside the whole map (up to 3 x 3, fewer at the
// edges), all from the values before smoothing.
Map150 EditedValues(const Map150& values, const MapAxis& axis, const CellBlock& block, const MapEdit& edit,
                    CellLimits limits);

// The values the editor shows for the map on `page` (1..3): the advance
// bytes, or the injection map as percentages of its base times (rebuilding
// the base times and percent tables from the image first).
Map150 MapValues(const ParameterImage& image, DerivedTables& tables, int page);

// Whether the map on `page` is edited by itself: map 2 follows map 1 while
// the maps are coupled or equal (" 1 = 2"), and other pages hold no map.
bool MapEditable(const ParameterImage& image, int page);

enum class MapWriteResult : std::uint8_t {
  Changed,    // some cell was written: run the common step after a change
  Unchanged,  // every cell already held its value
  Refused,    // the map is not edited by itself (MapEditable is false)
};

// Writes the cells of `values` that differ from MapValues into the image.
// Injection words are derived from the new percentages cell by cell. While
// the maps are coupled, each changed cell of map 1 moves the same cell of
// map 2 by the same amount (limited to 0..1000 %, as the coupled page
// transfer does); while they are equal, map 2 becomes a copy of map 1.
MapWriteResult WriteMapValues(ParameterImage& image, DerivedTables& tables, int page, const Map150& values);

// EditedValues of the map on `page`, written with WriteMapValues.
MapWriteResult ApplyMapEdit(ParameterImage& image, DerivedTables& tables, int page, const CellBlock& block,
                            const MapEdit& edit);

}  // namespace velmor

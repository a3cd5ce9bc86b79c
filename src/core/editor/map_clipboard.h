// Blocks of map cells as tab-separated text, the form spreadsheets copy and
// paste: one line per throttle row, fields separated by tabs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/map_edit.h"

namespace velmor {

// The block's values, one line per row. The whole map also carries its
// axes: a first line of the RPM axis in rpm after an empty corner field,
// and the throttle percentage before each row.
std::string CellsToText(const Map150& values, const MapAxis& axis, const CellBlock& block);

struct PastedCells {
  bool Ok = false;
  std::string BadField;                // the first field that is not a number
  bool Ambiguous = false;              // BadField is "1,234": a thousand or 1.234
  std::vector<std::vector<int>> Rows;  // whole numbers, halves rounded up
};

// Reads tab-separated numbers; a decimal point or comma is accepted and the
// value rounded to a whole number, halves up. Text whose first field is
// empty is a copy with axes: its first line and first column are dropped.
// Any other field that is not a number makes the whole text unusable, and
// so does a comma followed by exactly three digits ("1,234"), which one
// spreadsheet writes for a thousand and another for a decimal.
PastedCells TextToCells(std::string_view text);

struct PastePlacement {
  Map150 Values{};
  int Rows = 0;         // rows and columns of the block that were placed
  int Columns = 0;
  bool CutOff = false;  // part of the block lay outside the map
};

// Places the pasted block with its first value at (row, column), limited to
// `limits`; what lies beyond the map's edges is left out. A single value
// pasted onto a selection of several cells fills the selection.
PastePlacement PlaceCells(const Map150& values, const PastedCells& pasted, const CellBlock& selection,
                          CellLimits limits);

}  // namespace velmor

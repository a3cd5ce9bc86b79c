// Differences between two images field by field, in the units the editor
// shows, and taking chosen ones over: what `velmor-cli diff` prints, what the
// compare window lists and applies, and what the review before programming
// shows.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "model/derived.h"
#include "model/fields.h"
#include "model/image.h"

namespace velmor {

struct ImageDifference {
  int FieldIndex = -1;  // into EditorFields(); -1 for a byte no editor field covers
  int Page = -1;        // the field's page; -1 for such a byte
  int Offset = 0;       // P+ offset of the first byte
  int ByteCount = 1;
  std::string PageText;  // "Advance", or "Not an editor field"
  std::string Caption;   // map cells by TPS row and rpm column; "P+17" for a byte
  std::string ValueA;    // in engineering units
  std::string ValueB;
  int Row = -1;     // map cells: the grid position
  int Column = -1;

  bool IsMapCell() const { return Row >= 0 && Column >= 0 && Page >= PageAdvance && Page <= PageInj2; }
  // "Page: caption: a -> b".
  std::string Line() const;
};

// Every editor field whose bytes differ, in the field table's order (page by
// page), then every differing byte no field covers, by offset. Empty when the
// parameter areas are equal. The tables must be in step with their images.
std::vector<ImageDifference> DiffImages(const ParameterImage& a, const DerivedTables& tablesA,
                                        const ParameterImage& b, const DerivedTables& tablesB);

// A field's value as the comparison shows it: "on"/"off", "2 (Coupled)",
// "1450 µs (105 %)" for an injection cell, the quoted note, or the number in
// the field's unit.
std::string FieldValueText(const FieldDef& field, const ParameterImage& image, const DerivedTables& tables);

// Takes the chosen differences from `from` into `into` (both compared as a
// and b, or b and a) as the tuner would have typed them under `into`'s map
// mode: the chosen bytes exactly, and in the coupled mode map 2 moved by as
// many percent as the applied map-1 cells and axis points moved (a map-2
// difference chosen itself still takes its own value). Returns the mask of
// blocks (bit n = block n) that changed. The caller normalises, refreshes
// and records the change as one undo step.
unsigned ApplyDifferences(ParameterImage& into, const ParameterImage& from, std::span<const ImageDifference> chosen);

// In " 1 = 2" the editor's map 2 is a copy of map 1: a difference in map 2
// (its cells or its axis) cannot be taken over, it would be copied over at
// once. Takes those out of `diffs` when `editor` is in that mode and returns
// how many there were, for the compare window to say that map 2 follows
// map 1 instead of listing them.
int TakeOutFollowingMap2(std::vector<ImageDifference>& diffs, const ParameterImage& editor);

}  // namespace velmor

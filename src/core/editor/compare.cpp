#include "editor/compare.h"

#include <algorithm>
#include <array>

#include "files/memo.h"

namespace velmor {
namespace {

bool SameBytes(const FieldDef& f, const ParameterImage& a, const ParameterImage& b) {
  const int count = FieldByteCount(f);
  for (int i = 0; i < count; ++i) {
    if (a.P(f.Offset + i) != b.P(f.Offset + i)) return false;
  }
  return true;
}

std::string Quoted(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A map cell by its TPS row and its column's rpm; when the axes differ,
// the column's rpm in both images.
std::string Caption(const FieldDef& f, const ParameterImage& a, const ParameterImage& b) {
  const int axis = MapAxisOffset(f.Page);
  if (f.Grid != FieldGrid::MapCells || axis < 0) return f.Caption;
  std::string rpm = std::to_string(a.P(axis + f.Column) * 100);
  if (a.P(axis + f.Column) != b.P(axis + f.Column)) rpm += " / " + std::to_string(b.P(axis + f.Column) * 100);
  std::string text = f.Caption.substr(0, f.Caption.find(','));
  text += ", " + MapRowCaption(f.Row) + ", column " + std::to_string(f.Column) + " (" + rpm + " rpm)";
  if (!f.Unit.empty() && f.Enc != Encoding::Percent) text += " [" + std::string(f.Unit) + "]";
  return text;
}

void TakeBytes(ParameterImage& into, const ParameterImage& from, std::span<const ImageDifference> chosen) {
  for (const ImageDifference& d : chosen)
    for (int n = std::max(d.Offset, 0); n < d.Offset + d.ByteCount && n < kParamSize; ++n) into.P(n) = from.P(n);
}

unsigned ChangedBlocks(const ParameterImage& before, const ParameterImage& after) {
  unsigned blocks = 0;
  for (int n = 0; n < kParamSize; ++n)
    if (before.P(n) != after.P(n)) blocks |= 1u << BlockOfParam(n);
  return blocks;
}

// Map 1's cells and axis: what the coupled mode moves map 2 along with.
bool InMap1(int offset) { return PartnerOffset(offset) > offset; }

}  // namespace

std::string FieldValueText(const FieldDef& f, const ParameterImage& image, const DerivedTables& tables) {
  switch (f.Enc) {
    case Encoding::Text:
      return Quoted(NoteText(image));
    case Encoding::OnOff:
      return RawValue(f, image) != 0 ? "on" : "off";
    case Encoding::Choice: {
      const int v = RawValue(f, image);
      if (v >= 0 && v < static_cast<int>(f.Items.size())) return std::to_string(v) + " (" + std::string(f.Items[v]) + ")";
      return std::to_string(v);
    }
    case Encoding::Percent:
      return std::to_string(ShownValue(f, image)) + " µs (" + std::to_string(ShownValue(f, image, tables)) + " %)";
    default:
      break;
  }
  return std::to_string(ShownValue(f, image));  // the caption names the unit
}

std::string ImageDifference::Line() const { return PageText + ": " + Caption + ": " + ValueA + " -> " + ValueB; }

std::vector<ImageDifference> DiffImages(const ParameterImage& a, const DerivedTables& tablesA,
                                        const ParameterImage& b, const DerivedTables& tablesB) {
  std::vector<ImageDifference> diffs;
  std::vector<bool> covered(kParamSize, false);
  const auto fields = EditorFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    const int count = FieldByteCount(f);
    for (int n = 0; n < count; ++n) covered[f.Offset + n] = true;
    if (SameBytes(f, a, b)) continue;
    ImageDifference d;
    d.FieldIndex = static_cast<int>(i);
    d.Page = f.Page;
    d.Offset = f.Offset;
    d.ByteCount = count;
    d.PageText = std::string(PageCaption(f.Page));
    d.Caption = Caption(f, a, b);
    d.ValueA = FieldValueText(f, a, tablesA);
    d.ValueB = FieldValueText(f, b, tablesB);
    if (f.Grid == FieldGrid::MapCells) {
      d.Row = f.Row;
      d.Column = f.Column;
    }
    diffs.push_back(std::move(d));
  }
  for (int n = 0; n < kParamSize; ++n) {
    if (covered[n] || a.P(n) == b.P(n)) continue;
    ImageDifference d;
    d.Offset = n;
    d.PageText = "Not an editor field";
    d.Caption = "P+" + std::to_string(n);
    d.ValueA = std::to_string(a.P(n));
    d.ValueB = std::to_string(b.P(n));
    diffs.push_back(std::move(d));
  }
  return diffs;
}

unsigned ApplyDifferences(ParameterImage& into, const ParameterImage& from, std::span<const ImageDifference> chosen) {
  const ParameterImage before = into;
  TakeBytes(into, from, chosen);
  const bool coupled = before.P(kMapModeByte) == MapModeCoupled && into.P(kMapModeByte) == MapModeCoupled;
  if (!coupled || std::none_of(chosen.begin(), chosen.end(), [](const ImageDifference& d) {
        return InMap1(d.Offset);
      }))
    return ChangedBlocks(before, into);
  // Map 1 as it now is, given to the coupled edit over the image before:
  // map 2 moves exactly as if these values had been typed into map 1.
  DerivedTables now;
  RefreshPercentMaps(into, now);
  ParameterImage moved = before;
  DerivedTables tables;
  RefreshPercentMaps(moved, tables);
  std::array<std::uint8_t, kMapColumns> axis1{};
  for (int k = 0; k < kMapColumns; ++k) axis1[k] = into.P(kInj1Axis + k);
  ApplyCoupledEdit(moved, tables, axis1, now.PercentMap1);
  for (int k = 0; k < kMapColumns; ++k) into.P(kInj2Axis + k) = moved.P(kInj2Axis + k);
  for (int n = kInj2Map; n < kInj2Map + 2 * kMapCells; ++n) into.P(n) = moved.P(n);
  // What was chosen keeps the exact value it has in `from`.
  TakeBytes(into, from, chosen);
  return ChangedBlocks(before, into);
}

int TakeOutFollowingMap2(std::vector<ImageDifference>& diffs, const ParameterImage& editor) {
  if (editor.P(kMapModeByte) != MapModeEqual) return 0;
  const auto following = std::remove_if(diffs.begin(), diffs.end(), [](const ImageDifference& d) {
    return PartnerOffset(d.Offset) >= 0 && !InMap1(d.Offset);
  });
  const int count = static_cast<int>(diffs.end() - following);
  diffs.erase(following, diffs.end());
  return count;
}

}  // namespace velmor

#include "editor/compare.h"

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

unsigned ApplyDifferences(ParameterImage& into, const ParameterImage& from,
                          std::span<const ImageDifference> chosen) {
  unsigned blocks = 0;
  for (const ImageDifference& d : chosen) {
    for (int n = d.Offset; n < d.Offset + d.ByteCount && n < kParamSize; ++n) {
      if (n < 0 || into.P(n) == from.P(n)) continue;
      into.P(n) = from.P(n);
      blocks |= 1u << BlockOfParam(n);
    }
  }
  return blocks;
}

}  // namespace velmor

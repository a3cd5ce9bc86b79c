#include "compare.h"

#include <cstdio>

#include "files/cp1250.h"
#include "files/memo.h"
#include "model/fields.h"

namespace velmor::cli {
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

std::string ValueText(const FieldDef& f, const ParameterImage& image, const DerivedTables& tables) {
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

// A map cell by its TPS row and its column's rpm; when the axes differ,
// the column's rpm in both files.
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

std::vector<std::string> DiffImages(const ParameterImage& a, const DerivedTables& tablesA,
                                    const ParameterImage& b, const DerivedTables& tablesB) {
  std::vector<std::string> lines;
  std::vector<bool> covered(kParamSize, false);
  for (const FieldDef& f : EditorFields()) {
    const int count = FieldByteCount(f);
    for (int i = 0; i < count; ++i) covered[f.Offset + i] = true;
    if (SameBytes(f, a, b)) continue;
    lines.push_back(std::string(PageCaption(f.Page)) + ": " + Caption(f, a, b) + ": " +
                    ValueText(f, a, tablesA) + " -> " + ValueText(f, b, tablesB));
  }
  for (int n = 0; n < kParamSize; ++n) {
    if (covered[n] || a.P(n) == b.P(n)) continue;
    lines.push_back("Not an editor field: P+" + std::to_string(n) + ": " + std::to_string(a.P(n)) + " -> " +
                    std::to_string(b.P(n)));
  }
  return lines;
}

std::string HexDump(const ParameterImage& image) {
  std::string out;
  char buffer[8];
  for (int row = 0; row < kParamSize; row += 16) {
    std::snprintf(buffer, sizeof buffer, "%04x", row);
    out += buffer;
    for (int n = row; n < row + 16 && n < kParamSize; ++n) {
      std::snprintf(buffer, sizeof buffer, " %02x", image.P(n));
      out += buffer;
    }
    out += '\n';
  }
  return out;
}

}  // namespace velmor::cli

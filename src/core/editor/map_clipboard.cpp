#include "editor/map_clipboard.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace velmor {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\r' || c == '\v' || c == '\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// "1,234": a comma and exactly three digits after it.
bool AmbiguousComma(std::string_view field) {
  const std::string_view s = Trimmed(field);
  const auto comma = s.find(',');
  return comma != std::string_view::npos && comma > 0 && s.size() - comma - 1 == 3 &&
         std::all_of(s.begin() + static_cast<std::ptrdiff_t>(comma) + 1, s.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number with an optional sign and one decimal point or comma,
// rounded to a whole number with halves up.
bool ReadNumber(std::string_view field, int& value) {
  std::string s(Trimmed(field));
  std::size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  int digits = 0, separators = 0;
  for (std::size_t j = i; j < s.size(); ++j) {
    if (s[j] >= '0' && s[j] <= '9') {
      ++digits;
    } else if (s[j] == '.' || s[j] == ',') {
      s[j] = '.';
      ++separators;
    } else {
      return false;
    }
  }
  if (digits == 0 || separators > 1) return false;
  if (s[0] == '+') s.erase(0, 1);
  double d = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (error != std::errc() || end != s.data() + s.size()) return false;
  value = static_cast<int>(std::floor(std::clamp(d, -1e9, 1e9) + 0.5));
  return true;
}

}  // namespace

std::string CellsToText(const Map150& values, const MapAxis& axis, const CellBlock& block) {
  const bool axes = block == CellBlock::Whole();
  std::string text;
  if (axes) {
    for (int c = 0; c < kMapColumns; ++c) text += '\t' + std::to_string(axis[c] * 100);
    text += '\n';
  }
  for (int r = block.Top; r <= block.Bottom; ++r) {
    if (axes) text += std::to_string(kTpsRows[r]) + '\t';
    for (int c = block.Left; c <= block.Right; ++c) {
      text += std::to_string(values[MapCell(r, c)]);
      text += c == block.Right ? '\n' : '\t';
    }
  }
  return text;
}

PastedCells TextToCells(std::string_view text) {
  PastedCells out;
  std::vector<std::string_view> lines = Split(text, '\n');
  while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
  if (lines.empty()) return out;  // nothing that is a number
  const bool axes = Trimmed(Split(lines.front(), '\t').front()).empty() && lines.size() > 1;
  for (std::size_t l = axes ? 1 : 0; l < lines.size(); ++l) {
    std::vector<std::string_view> fields = Split(lines[l], '\t');
    if (axes) fields.erase(fields.begin());
    std::vector<int> row;
    for (std::string_view f : fields) {
      int v = 0;
      const bool ambiguous = AmbiguousComma(f);
      if (ambiguous || !ReadNumber(f, v)) {
        out.Ambiguous = ambiguous;
        out.BadField = std::string(Trimmed(f).substr(0, 40));
        out.Rows.clear();
        return out;
      }
      row.push_back(v);
    }
    out.Rows.push_back(std::move(row));
  }
  out.Ok = true;
  return out;
}

PastePlacement PlaceCells(const Map150& values, const PastedCells& pasted, const CellBlock& selection,
                          CellLimits limits) {
  PastePlacement p;
  p.Values = values;
  if (!pasted.Ok || pasted.Rows.empty()) return p;
  const auto limited = [&](int v) { return static_cast<std::uint16_t>(std::clamp(v, limits.Min, limits.Max)); };
  if (pasted.Rows.size() == 1 && pasted.Rows[0].size() == 1 && selection.Cells() > 1) {
    for (int r = selection.Top; r <= selection.Bottom; ++r) {
      for (int c = selection.Left; c <= selection.Right; ++c) p.Values[MapCell(r, c)] = limited(pasted.Rows[0][0]);
    }
    p.Rows = selection.Rows();
    p.Columns = selection.Columns();
    return p;
  }
  for (std::size_t i = 0; i < pasted.Rows.size(); ++i) {
    const int r = selection.Top + static_cast<int>(i);
    const std::vector<int>& row = pasted.Rows[i];
    if (r >= kMapRows) {
      p.CutOff = true;
      break;
    }
    p.Rows = static_cast<int>(i) + 1;
    for (std::size_t j = 0; j < row.size(); ++j) {
      const int c = selection.Left + static_cast<int>(j);
      if (c >= kMapColumns) {
        p.CutOff = true;
        break;
      }
      p.Columns = std::max(p.Columns, static_cast<int>(j) + 1);
      p.Values[MapCell(r, c)] = limited(row[j]);
    }
  }
  return p;
}

}  // namespace velmor

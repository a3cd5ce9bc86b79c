#include "files/memo.h"

#include <algorithm>

#include "files/cp1250.h"

namespace velmor {

void WriteNote(ParameterImage& image, std::span<const std::string> lines) {
  auto area = image.ParamArea().subspan(kMemoStart, kMemoSize);
  std::fill(area.begin(), area.end(), std::uint8_t{0});
  // The terminator of the last line that fits is the area's last byte at most.
  constexpr int kLastText = kMemoSize - 2;
  int at = 0;
  for (const std::string& line : lines) {
    for (char c : line) {
      if (at > kLastText) return;
      area[at++] = static_cast<std::uint8_t>(c);
    }
    ++at;  // the NUL the clearing left there
    if (at > kLastText) return;
  }
}

std::vector<std::string> NoteLines(const ParameterImage& image) {
  const auto area = image.ParamArea().subspan(kMemoStart, kMemoSize);
  int last = kMemoSize - 1;
  while (last >= 0 && area[last] == 0) --last;
  std::vector<std::string> lines;
  int at = 0;
  while (last >= 0 && at <= last) {
    std::string line;
    while (at < kMemoSize && area[at] != 0) line += static_cast<char>(area[at++]);
    lines.push_back(std::move(line));
    ++at;
  }
  return lines;
}

void WriteNoteText(ParameterImage& image, std::string_view utf8Text) {
  std::vector<std::string> lines;
  if (!utf8Text.empty()) {
    std::size_t start = 0;
    while (true) {
      const std::size_t end = utf8Text.find('\n', start);
      std::string_view line = utf8Text.substr(start, end == std::string_view::npos ? end : end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(Utf8ToCp1250(line));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  }
  WriteNote(image, lines);
}

std::string NoteText(const ParameterImage& image) {
  std::string text;
  bool first = true;
  for (const std::string& line : NoteLines(image)) {
    if (!first) text += '\n';
    first = false;
    text += Cp1250ToUtf8(line);
  }
  return text;
}

}  // namespace velmor

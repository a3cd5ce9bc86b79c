#include "files/ini.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace velmor {
namespace {

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view OneLine(std::string_view s) {
  const std::size_t end = s.find('\n');
  return end == std::string_view::npos ? s : s.substr(0, end);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  doc.sections_.push_back({{}, false, {}});
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    const std::string_view line = Trim(raw);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? close : close - 1));
      doc.sections_.push_back({std::string(name), true, {}});
      continue;
    }
    const std::size_t eq = line.find('=');
    Section& section = doc.sections_.back();
    if (eq == std::string_view::npos || line.front() == ';' || line.front() == '#' || !section.Header) {
      section.Lines.push_back({{}, std::string(line)});
      continue;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) {
      section.Lines.push_back({{}, std::string(line)});
      continue;
    }
    section.Lines.push_back({std::string(key), std::string(Trim(line.substr(eq + 1)))});
  }
  return doc;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name) {
  for (Section& s : sections_) {
    if (s.Header && SameName(s.Name, name)) return &s;
  }
  return nullptr;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
  for (const Section& s : sections_) {
    if (s.Header && SameName(s.Name, name)) return &s;
  }
  return nullptr;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  for (const Line& line : s->Lines) {
    if (!line.Key.empty() && SameName(line.Key, key)) return line.Value;
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back({std::string(section), true, {}});
    s = &sections_.back();
  }
  const std::string clean(Trim(OneLine(value)));
  for (Line& line : s->Lines) {
    if (!line.Key.empty() && SameName(line.Key, key)) {
      line.Value = clean;
      return;
    }
  }
  s->Lines.push_back({std::string(key), clean});
}

std::string IniDocument::Serialise() const {
  std::string out;
  for (const Section& s : sections_) {
    if (!s.Header && s.Lines.empty()) continue;
    if (!out.empty()) out += '\n';
    if (s.Header) out += "[" + s.Name + "]\n";
    for (const Line& line : s.Lines) {
      if (line.Key.empty()) {
        out += line.Value;
      } else {
        out += line.Key;
        out += '=';
        out += line.Value;
      }
      out += '\n';
    }
  }
  return out;
}

int IniInteger(const std::optional<std::string>& text, int fallback) {
  if (!text) return fallback;
  std::string_view s = Trim(*text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  } else if (s.size() > 1 && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty() || !std::isxdigit(static_cast<unsigned char>(s.front()))) return fallback;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (error != std::errc() || end != s.data() + s.size()) return fallback;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return fallback;
  return static_cast<int>(value);
}

}  // namespace velmor

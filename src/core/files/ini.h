// A small INI document: sections of key=value lines. Keys are written
// literally (a '>' stays a '>'), looked up without regard to case, and
// everything the program does not set (other sections, other keys, comments)
// is kept when the file is written again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

class IniDocument {
 public:
  // Lines may end in LF or CR LF. A line "[name]" opens a section; "key=value"
  // lines before the first section are ignored, as are lines without '='.
  static IniDocument Parse(std::string_view text);

  // The value of the first matching key, blanks around it removed, or nothing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the first matching key, or appends it to the section (which is
  // appended to the document when missing). A line feed in the value ends it.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialise() const;

 private:
  struct Line {
    std::string Key;    // empty for comments and other kept lines
    std::string Value;  // or the kept line itself
  };
  struct Section {
    std::string Name;
    bool Header = true;  // false for what precedes the first section
    std::vector<Line> Lines;
  };
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
};

// An integer as the INI access reads it: optional sign and decimal digits
// (or hexadecimal after "0x" / "$"), blanks around it allowed; anything else,
// or a number outside 32 bits, gives `fallback`.
int IniInteger(const std::optional<std::string>& text, int fallback);

}  // namespace velmor

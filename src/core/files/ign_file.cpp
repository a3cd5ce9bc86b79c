#include "files/ign_file.h"

#include <algorithm>
#include <charconv>

#include "files/ign_sections.h"
#include "files/memo.h"
#include "files/text_scan.h"
#include "lang/file_texts.h"
#include "lang/text_table.h"
#include "model/defaults.h"

namespace velmor {
namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kContinuation = "\r\n             ";  // 13 blanks

// "%5u " / "%5d ": right-justified in five columns, then a blank.
void AppendValue(std::string& out, int value, bool blank = true, std::size_t width = 5) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  if (length < width) out.append(width - length, ' ');
  out.append(digits, length);
  if (blank) out += ' ';
}

void AppendKeyword(std::string& out, std::string_view keyword, std::size_t width) {
  out += kEol;
  out += keyword;
  if (keyword.size() < width) out.append(width - keyword.size(), ' ');
}

void WriteItem(std::string& out, const ParameterImage& image, const IgnItem& item) {
  switch (item.Kind) {
    case IgnItemKind::Continuation:
      out += kContinuation;
      return;
    case IgnItemKind::LineBreak:
      out += kEol;
      return;
    case IgnItemKind::Flag:
      AppendValue(out, image.P(item.Offset) != 0 ? 1 : 0, !item.NoBlank);
      return;
    case IgnItemKind::Bytes:
    case IgnItemKind::Words:
      break;
  }
  for (int i = 0; i < item.Count; ++i) {
    const int value = item.Kind == IgnItemKind::Words
                          ? int{image.Word(item.Offset + 2 * i)}
                          : image.P(item.Offset + i) * item.Scale + item.Add;
    AppendValue(out, value);
    if (item.BreakEvery != 0 && (i + 1) % item.BreakEvery == 0) out += kContinuation;
  }
}

const IgnSection* FindSection(std::string_view word) {
  for (const IgnSection& section : IgnSections()) {
    if (section.Keyword == word) return &section;
  }
  return nullptr;
}

struct SectionRead {
  int Values = 0;       // values taken
  bool RanOut = false;  // the file ended before the last of them
};

// Reads one section's values into `image`, or only walks over them when it
// is null (a section the read does not admit still has to be whole). A
// non-numeric value ends the section where it stands: the fields still to
// come keep what they hold, and the token goes back to the section loop.
SectionRead ReadSection(TextScanner& in, const IgnSection& section, int version, ParameterImage* image) {
  SectionRead read;
  for (const IgnItem& item : section.Items) {
    if (item.Kind == IgnItemKind::Continuation || item.Kind == IgnItemKind::LineBreak) continue;
    if (version == kIgnOlderVersion && item.AbsentIn63) continue;
    const int scale = version == kIgnOlderVersion && item.Scale63 != 0 ? item.Scale63 : item.Scale;
    for (int i = 0; i < item.Count; ++i) {
      std::uint32_t number = 0;
      if (!in.NextNumber(number)) {
        read.RanOut = in.OnlySpaceLeft();
        return read;
      }
      ++read.Values;
      if (image == nullptr) continue;
      // Only the low 16 bits count. Removing the offset can go below zero
      // (P+34), so the division is signed; a negative value written with
      // "%5d " wrapped around and comes back exactly in the low 8 bits.
      const auto low16 = static_cast<std::uint16_t>(number);
      if (item.Kind == IgnItemKind::Words) {
        image->SetWord(item.Offset + 2 * i, low16);
      } else {
        const int value = (int{low16} - item.Add) / scale;
        image->P(item.Offset + i) = static_cast<std::uint8_t>(value & 0xFF);
      }
    }
  }
  return read;
}

// The line (from 1) of the file's last visible character: where a cut-off
// file stops.
int LastLine(std::string_view text) {
  const std::size_t last = text.find_last_not_of(" \t\r\n\v\f");
  const std::string_view upTo = text.substr(0, last == std::string_view::npos ? 0 : last);
  return 1 + static_cast<int>(std::count(upTo.begin(), upTo.end(), '\n'));
}

IgnReadResult CutOff(std::string_view text, std::string_view where, std::vector<MsgKey> messages) {
  IgnReadResult result;
  result.Outcome = IgnReadOutcome::CutOff;
  result.Messages = std::move(messages);
  result.CutIn = where;
  result.CutLine = LastLine(text);
  return result;
}

// Everything after the MEMO keyword and the white space that follows it, a
// line break stored as a NUL. What does not fit is dropped: P+1349 stays 0.
void ReadMemo(std::string_view rest, ParameterImage& image) {
  auto area = image.ParamArea().subspan(kMemoStart, kMemoSize);
  std::fill(area.begin(), area.end(), std::uint8_t{0});
  std::size_t at = 0;
  for (std::size_t i = 0; i < rest.size() && at < kMemoSize - 1; ++i) {
    const char c = rest[i];
    if (c == '\r' && i + 1 < rest.size() && rest[i + 1] == '\n') continue;
    area[at++] = c == '\n' ? std::uint8_t{0} : static_cast<std::uint8_t>(c);
  }
}

}  // namespace

bool PageReadRefused(const ParameterImage& image, int page) {
  if (page < 0 || page >= PageCount) return true;
  return PageRefusedWhileCoupled(image, page);
}

namespace {

// A unit may answer with any bytes in its name; a line break among them
// would split the HEX line and shift every line after it.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = ' ';
  return text;
}

}  // namespace

std::string WriteParameterText(const ParameterImage& image, const IgnVersionTexts& versions) {
  std::string out;
  out.reserve(12 * 1024);
  out += kIgnHeaderKeyword;
  out += "   ";
  AppendValue(out, kIgnVersion, true, 3);
  out += kEol;
  for (const IgnSection& section : IgnSections()) {
    AppendKeyword(out, section.Keyword, section.FieldWidth);
    for (const IgnItem& item : section.Items) WriteItem(out, image, item);
  }
  out += kEol;
  out += kIgnVersionsKeyword;
  out += kEol;
  out += "HEX  " + OneLine(versions.UnitDate) + "  " + OneLine(versions.UnitTime) + "   " + OneLine(versions.UnitName);
  out += kEol;
  out += "EXE  " + OneLine(versions.BuildDate) + "   " + OneLine(versions.BuildTime);
  out += kEol;
  AppendKeyword(out, kIgnMemoKeyword, 13);
  for (const std::string& line : NoteLines(image)) {
    out += kEol;
    out += line;
  }
  return out;
}

WriteStatus SaveParameterFile(const std::string& path, const ParameterImage& image,
                              const IgnVersionTexts& versions) {
  return AtomicWriteFile(path, WriteParameterText(image, versions));
}

IgnReadResult ReadParameterText(std::string_view text, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page) {
  IgnReadResult result;
  const bool whole = scope == IgnScope::WholeFile;
  if (!whole && PageReadRefused(image, page)) {
    result.Outcome = IgnReadOutcome::Refused;
    return result;
  }

  TextScanner in(text);
  std::string_view word;
  int version = 0;
  while (version == 0 && in.NextWord(word)) {
    if (word != kIgnHeaderKeyword) continue;
    std::uint32_t number = 0;
    const bool numbered = in.NextNumber(number);
    // A version that runs into the end of the file may have lost digits.
    if (numbered ? in.AtEnd() : in.OnlySpaceLeft()) return CutOff(text, kIgnHeaderKeyword, std::move(result.Messages));
    if (!numbered) continue;
    if (number == kIgnVersion) {
      version = kIgnVersion;
    } else if (number == kIgnOlderVersion) {
      version = kIgnOlderVersion;
      result.Messages.push_back(MsgKey::MsgFileOlderVersion);
    } else {
      result.Messages.push_back(MsgKey::MsgFileVersionMismatch);
    }
  }
  if (version == 0) return result;

  auto admitted = [&](int group) {
    if (whole) return true;
    if (group != page) return false;
    return group != PageInj2 || image.P(kMapModeByte) != MapModeCoupled;
  };

  // The file is read into copies: one that turns out to be cut off leaves
  // the image and its tables as they were.
  ParameterImage read = image;
  DerivedTables readTables = tables;
  const std::span<const IgnSection> sections = IgnSections();
  std::vector<bool> found(sections.size(), false);
  std::string_view last = kIgnHeaderKeyword;  // the part of the file the text has reached
  bool memo = false;
  bool ranOut = false;
  while (in.NextWord(word)) {
    if (word == kIgnMemoKeyword) {
      // The memo is free text to the end of the file; read as tokens it could
      // pass for sections, so it ends the loop on every page.
      memo = true;
      if (admitted(kIgnMemoPageGroup)) {
        in.SkipSpace();
        ReadMemo(in.Rest(), read);
      }
      break;
    }
    if (word == kIgnVersionsKeyword) last = kIgnVersionsKeyword;
    const IgnSection* section = FindSection(word);
    if (section == nullptr) continue;
    last = section->Keyword;
    if (section->SkipIn63 && version == kIgnOlderVersion) continue;
    found[static_cast<std::size_t>(section - sections.data())] = true;
    const bool bike = section->PageGroup == kIgnWholeFileOnly;
    const bool into = bike ? whole : admitted(section->PageGroup);
    const SectionRead values = ReadSection(in, *section, version, into ? &read : nullptr);
    ranOut = values.RanOut;
    // The defaults follow the model only when the file really named one.
    if (bike && into && values.Values > 0) ApplyDefaults(read, readTables, DefaultsScope::Whole);
  }
  // Outside the memo every line a file is written with ends in a line break;
  // a section short of values, or a last line without its break, is where a
  // copy or a disk gave up.
  if (!memo && (ranOut || text.back() != '\n')) return CutOff(text, last, std::move(result.Messages));

  for (std::size_t i = 0; i < sections.size(); ++i) {
    const IgnSection& s = sections[i];
    const bool expected = whole || s.PageGroup == page;
    if (expected && !found[i] && !(s.SkipIn63 && version == kIgnOlderVersion)) result.Missing.push_back(s.Keyword);
  }
  if (!memo && (whole || page == kIgnMemoPageGroup)) result.Missing.push_back(kIgnMemoKeyword);
  image = read;
  tables = readTables;
  result.Outcome = IgnReadOutcome::Loaded;
  result.Version = version;
  return result;
}

std::string IgnReadNotice(const IgnReadResult& result, LanguageCode language) {
  if (result.Outcome == IgnReadOutcome::CutOff)
    return FillText(FileCaption(FileText::CutOff, language), result.CutIn, std::to_string(result.CutLine));
  if (!result.Loaded() || result.Missing.empty()) return {};
  std::string names;
  for (std::string_view keyword : result.Missing) {
    if (!names.empty()) names += ", ";
    names += keyword;
  }
  return FillText(FileCaption(FileText::MissingSections, language), names);
}

IgnReadResult ReadParameterFile(const std::string& path, ParameterImage& image, DerivedTables& tables,
                                IgnScope scope, int page) {
  if (scope == IgnScope::Page && PageReadRefused(image, page)) {
    IgnReadResult refused;
    refused.Outcome = IgnReadOutcome::Refused;
    return refused;
  }
  std::string text;
  if (!ReadWholeFile(path, text)) {
    IgnReadResult result;
    result.Outcome = IgnReadOutcome::CannotOpen;
    result.Messages.push_back(MsgKey::MsgFileOpenError);
    return result;
  }
  return ReadParameterText(text, image, tables, scope, page);
}

}  // namespace velmor

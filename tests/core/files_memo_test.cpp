#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/cp1250.h"
#include "files/memo.h"

namespace velmor {
namespace {

std::string Area(const ParameterImage& image) {
  const auto area = image.ParamArea().subspan(kMemoStart, kMemoSize);
  return {area.begin(), area.end()};
}
std::string Padded(std::string bytes) {
  bytes.resize(kMemoSize, '\0');
  return bytes;
}

TEST(MemoPacking, LinesAreStoredWithNulTerminatorsAndTheLastByteIsZero) {
  struct Case {
    std::vector<std::string> lines;
    std::string area;
  };
  const Case cases[] = {
      {{"AB", "XY"}, std::string("AB\0XY\0", 6)},
      {{}, ""},
      {{"", "", "C"}, std::string("\0\0C", 3)},
      {{std::string(149, 'a')}, std::string(149, 'a')},              // exactly full
      {{std::string(200, 'a')}, std::string(149, 'a')},              // cut, never past P+1348
      {{std::string(148, 'a'), "bcd"}, std::string(148, 'a')},       // no room for another line
      {{std::string(147, 'a'), "bcd"}, std::string(147, 'a') + std::string("\0b", 2)},
  };
  for (const Case& c : cases) {
    ParameterImage image;
    for (int n = kMemoStart; n < kParamSize; ++n) image.P(n) = 0xEE;  // an old note
    image.P(kMemoStart - 1) = 0x11;
    WriteNote(image, c.lines);
    EXPECT_EQ(Area(image), Padded(c.area)) << c.lines.size();
    EXPECT_EQ(image.P(1349), 0);
    EXPECT_EQ(image.P(kMemoStart - 1), 0x11);
  }
}

TEST(MemoPacking, AreaIsShownAsTheLinesUpToTheLastNonZeroByte) {
  struct Case {
    std::string area;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {std::string("AB\0C\0", 5), {"AB", "C"}},
      {"", {}},
      {std::string("AB\0\0C", 5), {"AB", "", "C"}},
      {std::string("\0\0X", 3), {"", "", "X"}},
      {std::string(150, 'z'), {std::string(150, 'z')}},  // a unit's area without terminator
  };
  for (const Case& c : cases) {
    ParameterImage image;
    const std::string area = Padded(c.area);
    for (int i = 0; i < kMemoSize; ++i) image.P(kMemoStart + i) = static_cast<std::uint8_t>(area[i]);
    EXPECT_EQ(NoteLines(image), c.lines);
  }
  // A stray byte at P+1349: every NUL before it ends one (empty) line.
  ParameterImage image;
  image.P(1200) = 'A';
  image.P(1349) = 'Q';
  const std::vector<std::string> lines = NoteLines(image);
  ASSERT_EQ(lines.size(), 1u + 147u + 1u);
  EXPECT_EQ(lines.front(), "A");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "Q");
}

TEST(MemoPacking, TextOfTheWindowIsConvertedToTheCodePage) {
  ParameterImage image;
  WriteNoteText(image, "Poznámka\r\nčíslo 5 → 6\n");
  EXPECT_EQ(Area(image), Padded(std::string("Pozn\xE1mka\0\xE8\xEDslo 5 ? 6\0", 22)));
  EXPECT_EQ(NoteText(image), "Poznámka\nčíslo 5 ? 6");
  WriteNoteText(image, "");
  EXPECT_EQ(Area(image), Padded(""));
  EXPECT_EQ(NoteText(image), "");
}

TEST(MemoCodePage, EveryByteSurvivesTheWayThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
  EXPECT_EQ(Cp1250ToUtf8("\x8A\xE8\x80\xB5"), "Šč€µ");
  struct Case {
    std::string utf8, bytes;
  };
  const Case cases[] = {
      {"Zündung", "Z\xFCndung"},
      {"日本", "??"},
      {"\xC0\x80", "??"},        // an overlong NUL is not a NUL
      {"a\xE2\x82", "a??"},      // cut short
      {"\xF0\x9F\x98\x80!", "?!"},  // outside the code page
      {"\xFF", "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1250(c.utf8), c.bytes) << c.utf8;
}

}  // namespace
}  // namespace velmor

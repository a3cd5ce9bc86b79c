#include "link/identity.h"

namespace velmor {

const char* MonthText(std::uint8_t code) {
  switch (code) {
    case 25: return " 1";
    case 13: return " 2";
    case 32: return " 3";
    case 35: return " 4";
    case 39: return " 5";
    case 45: return " 6";
    case 43: return " 7";
    case 29: return " 8";
    case 40: return " 9";
    case 38: return "10";
    case 51: return "11";
    case 12: return "12";
    default: return "00";
  }
}

namespace {

// Two digits of a byte the unit sends as a small number; values above 99 keep
// their last two digits so the text never grows. The day of month puts a
// space in place of the tens digit below 10 (and only there: day 105 is "05").
void AppendTwoDigits(std::string& out, unsigned value, bool spaceBelowTen = false) {
  out += (spaceBelowTen && value < 10) ? ' ' : static_cast<char>('0' + (value / 10) % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

IdentityTexts BuildIdentityTexts(std::span<const std::uint8_t, kBlockSize> block0) {
  IdentityTexts texts;
  if (block0[16] != 0) {
    for (int i = 16; i < 46 && block0[i] != 0; ++i) texts.Name += static_cast<char>(block0[i]);
  } else {
    for (int i = 0; i < 3; ++i) texts.Name += static_cast<char>(block0[i]);
    AppendTwoDigits(texts.Name, block0[3]);
    // The name is a C string on the unit: a zero byte ends it.
    texts.Name.resize(texts.Name.find('\0') == std::string::npos ? texts.Name.size()
                                                                 : texts.Name.find('\0'));
  }

  AppendTwoDigits(texts.Date, block0[4], true);
  texts.Date += '.';
  texts.Date += MonthText(block0[5]);
  texts.Date += ".20";
  AppendTwoDigits(texts.Date, block0[6]);

  AppendTwoDigits(texts.Time, block0[7]);
  texts.Time += ':';
  AppendTwoDigits(texts.Time, block0[8]);
  return texts;
}

}  // namespace velmor

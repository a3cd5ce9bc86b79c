#include "files/cp1250.h"

#include <array>
#include <cstdint>

namespace velmor {
namespace {

// Code points of bytes 0x80..0xFF; bytes below 0x80 are ASCII.
constexpr std::array<char16_t, 128> kHigh{
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char ByteOf(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  for (int i = 0; i < 128; ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Cp1250ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    const auto b = static_cast<std::uint8_t>(ch);
    AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{kHigh[b - 0x80]});
  }
  return out;
}

std::string Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<std::uint8_t>(utf8[i]);
    int length = 0;
    char32_t c = 0;
    if (b < 0x80) {
      length = 1;
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      length = 2;
      c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3;
      c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4;
      c = b & 0x07;
    }
    bool valid = length > 0 && i + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto cont = static_cast<std::uint8_t>(utf8[i + k]);
      if ((cont & 0xC0) != 0x80) {
        valid = false;
      } else {
        c = (c << 6) | (cont & 0x3F);
      }
    }
    // Overlong forms would smuggle ASCII (a NUL, a line break) past a check.
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && c < kMinimum[length]) valid = false;
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += ByteOf(c);
    i += length;
  }
  return out;
}

}  // namespace velmor

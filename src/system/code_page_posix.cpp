#include <array>
#include <cstdint>

#include "system/code_page.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the code page has no character.
// Every other byte is the code point of the same number.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

}  // namespace

std::string AnsiToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size() * 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    std::uint32_t codePoint = byte;
    if (byte >= 0x80 && byte <= 0x9F) codePoint = kWindows1252High[byte - 0x80];
    AppendUtf8(utf8, codePoint == 0 && byte != 0 ? U'?' : static_cast<char32_t>(codePoint));
  }
  return utf8;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  std::string ansi;
  ansi.reserve(text.size());
  for (const char16_t unit : text) {
    char byte = '?';
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
      byte = static_cast<char>(unit);
    } else {
      for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] != 0 && kWindows1252High[i] == unit) {
          byte = static_cast<char>(0x80 + i);
        }
      }
    }
    ansi += byte;
  }
  return ansi;
}

}  // namespace vendralith

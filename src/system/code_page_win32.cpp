#include <windows.h>

#include <vector>

#include "system/code_page.h"

namespace vendralith {

namespace {

// The conversion gives a byte without a character in a single-byte code page
// the C1 control of the same number, and an invalid sequence in a multi-byte
// one U+FFFD: both become "?".
bool HasNoCharacter(wchar_t unit) { return (unit >= 0x80 && unit <= 0x9F) || unit == 0xFFFD; }

// Every byte outside ASCII as "?": what remains when the system cannot convert.
std::string AsciiOnly(std::string_view text) {
  std::string ascii(text);
  for (char& c : ascii) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return ascii;
}

}  // namespace

std::string AnsiToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const UINT codePage = GetACP();
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return AsciiOnly(text);
  std::vector<wchar_t> wide(static_cast<std::size_t>(units));
  if (MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), units) != units) {
    return AsciiOnly(text);
  }
  for (wchar_t& unit : wide) {
    if (HasNoCharacter(unit)) unit = L'?';
  }
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return AsciiOnly(text);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr) !=
      bytes) {
    return AsciiOnly(text);
  }
  return utf8;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  // wchar_t is the same UTF-16 code unit on Windows.
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int units = static_cast<int>(text.size());
  const UINT codePage = GetACP();
  const WideToCodePageCall call = WideToCodePageCallFor(codePage);
  const char* defaultCharacter = call.defaultCharacter ? "?" : nullptr;
  const int bytes =
      WideCharToMultiByte(codePage, call.flags, wide, units, nullptr, 0, defaultCharacter, nullptr);
  if (bytes <= 0) return std::string(text.size(), '?');
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(codePage, call.flags, wide, units, ansi.data(), bytes, defaultCharacter,
                          nullptr) != bytes) {
    return std::string(text.size(), '?');
  }
  return ansi;
}

}  // namespace vendralith

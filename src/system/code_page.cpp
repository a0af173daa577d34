#include "system/code_page.h"

#include "system/secret_text.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

constexpr unsigned kUtf7 = 65000;
constexpr unsigned kUtf8 = 65001;

}  // namespace

std::optional<std::string> Utf8ToAnsiExactly(std::string_view utf8) {
  // Exact when the way back gives the same text: whatever stands in for a
  // missing character ("?", a close letter) reads back as another one.
  std::u16string wide = Utf8ToUtf16(utf8);
  std::string ansi = Utf16ToAnsi(wide);
  std::string back = AnsiToUtf8(ansi);
  const bool exact = back == utf8;
  // The text may be a password.
  ClearSecret(wide);
  ClearSecret(back);
  if (exact) return ansi;
  ClearSecret(ansi);
  return std::nullopt;
}

WideToCodePageCall WideToCodePageCallFor(unsigned codePage) {
  // No flags for any code page: the close letters that Windows writes
  // without WC_NO_BEST_FIT_CHARS stay as they were, and the ISO-2022 and
  // ISCII code pages (50220 to 50229, 57002 to 57011), UTF-7 and Symbol (42)
  // refuse every flag. UTF-8 (65001, the ANSI code page of a Windows set to
  // "Use Unicode UTF-8 for worldwide language support") and UTF-7 have every
  // character, and refuse a default character.
  return {0, codePage != kUtf8 && codePage != kUtf7};
}

}  // namespace vendralith

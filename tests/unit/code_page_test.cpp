// The POSIX code page, Windows-1252 (the Windows build asks the system), and
// how the Windows build calls the system for a code page.
#include "system/code_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vendralith {
namespace {

TEST(AnsiToUtf8, ReadsWindows1252) {
  struct Case {
    std::string ansi;
    std::string utf8;
    const char* why;
  } cases[] = {
      {"", "", "empty text"},
      {"PRD.P00 <&>\t\x7f", "PRD.P00 <&>\t\x7f", "ASCII as it stands"},
      {std::string("a\0b", 3), std::string("a\0b", 3), "a NUL stays"},
      {"Pr\xFC"
       "fung",
       "Pr\xC3\xBC"
       "fung",
       "Latin-1 letters"},
      {"\xA0\xBF\xC0\xFF", "\xC2\xA0\xC2\xBF\xC3\x80\xC3\xBF", "the upper half is Latin-1"},
      {"\x80\x82\x8A\x9F", "\xE2\x82\xAC\xE2\x80\x9A\xC5\xA0\xC5\xB8",
       "0x80 to 0x9F: the euro sign, quotes, letters"},
      {"\x81\x8D\x8F\x90\x9D", "?????", "the five bytes without a character"},
      {"\xC3\xBC", "\xC3\x83\xC2\xBC", "bytes that would be UTF-8 read as two characters"},
  };
  for (const Case& c : cases) EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.why;
}

TEST(Utf8ToAnsiExactly, NothingWhereACharacterIsMissing) {
  struct Case {
    std::string utf8;
    std::optional<std::string> ansi;
    const char* why;
  } cases[] = {
      {"Watch 4 Logs", "Watch 4 Logs", "ASCII, blanks included"},
      {"Pr\xC3\xBC"
       "fung\xE2\x82\xAC",
       "Pr\xFC"
       "fung\x80",
       "letters and the euro sign of the code page"},
      {"\xC3\x83\xC2\xA9", "\xC3\xA9", "two characters whose bytes would be UTF-8"},
      {"what?", "what?", "a question mark of its own"},
      {"\xC5\x81\xC3\xB3\x64\xC5\xBA", std::nullopt, "\u0141: no L in its place"},
      {"\xF0\x9F\x94\x91", std::nullopt, "beyond U+FFFF"},
      {"\xE2\x80\x8B", std::nullopt, "no \"?\" in its place either"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToAnsiExactly(c.utf8), c.ansi) << c.why;
}

// What Windows refuses, per code page: a call it refuses fails whole, and
// every row of the line dialects would then be "?".
TEST(WideToCodePageCallFor, NeverWhatTheCodePageRefuses) {
  struct Case {
    unsigned codePage;
    std::uint32_t flags;
    bool defaultCharacter;
    const char* why;
  } cases[] = {
      {1252, 0, true, "Western European: what the code page lacks becomes \"?\""},
      {1250, 0, true, "Central European"},
      {932, 0, true, "Japanese, a double-byte code page"},
      {65001, 0, false, "UTF-8 as the ANSI code page: refuses a default character"},
      {65000, 0, false, "UTF-7: refuses a default character and any flag"},
      {42, 0, true, "Symbol: refuses any flag"},
      {50220, 0, true, "ISO-2022 Japanese: refuses any flag"},
      {57002, 0, true, "ISCII Devanagari: refuses any flag"},
      {54936, 0, true, "GB18030: refuses every flag but WC_ERR_INVALID_CHARS"},
  };
  for (const Case& c : cases) {
    const WideToCodePageCall call = WideToCodePageCallFor(c.codePage);
    EXPECT_EQ(call.flags, c.flags) << c.why;
    EXPECT_EQ(call.defaultCharacter, c.defaultCharacter) << c.why;
  }
}

}  // namespace
}  // namespace vendralith

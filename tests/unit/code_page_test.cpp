// The POSIX code page, Windows-1252; the Windows build asks the system.
#include "system/code_page.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vendralith

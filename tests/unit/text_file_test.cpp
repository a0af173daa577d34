#include "system/text_file.h"

#include <gtest/gtest.h>

#include "system/text_helpers.h"

namespace vendralith {
namespace {

TEST(ReadPieces, SplitsLikeRepeatedLineReads) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(ReadPieces("", 5), Pieces{});
  EXPECT_EQ(ReadPieces("ab\ncd", 5), (Pieces{"ab\n", "cd"}));
  EXPECT_EQ(ReadPieces("abcdefg\n", 5), (Pieces{"abcde", "fg\n"}));  // a long line in parts
  EXPECT_EQ(ReadPieces("abcde\n", 5), (Pieces{"abcde", "\n"}));      // its line end alone
  EXPECT_EQ(ReadPieces("\n\n", 5), (Pieces{"\n", "\n"}));
  using namespace std::string_view_literals;
  EXPECT_EQ(ReadPieces("ab\0cd\nef"sv, 9), (Pieces{"ab", "ef"}));  // a NUL ends the piece
  EXPECT_EQ(ReadPieces("\0abcdefg"sv, 5), (Pieces{"", "efg"}));    // and the read goes on
  EXPECT_EQ(ReadPieces("abc\xC3\xBC"
                       "d\n",
                       4),
            (Pieces{"abc",
                    "\xC3\xBC"
                    "d\n"}));  // a UTF-8 character is never split
  EXPECT_EQ(ReadPieces("ab\xFC"
                       "cd",
                       3),
            (Pieces{"ab\xFC", "cd"}));  // a byte of another code page is a character
  EXPECT_EQ(ReadPieces("\xF0\x9F\x98\x80", 2),
            (Pieces{"\xF0\x9F", "\x98\x80"}));  // one longer than a read is split
}

TEST(TextModeContent, ReadsAsAWindowsTextStream) {
  EXPECT_EQ(TextModeContent("a\r\nb\r\n"), "a\nb\n");  // CR LF arrives as LF
  EXPECT_EQ(TextModeContent("a\rb\r"), "a\rb\r");      // lone CRs stay
  EXPECT_EQ(TextModeContent("a\nb\x1a"
                            "c\n"),
            "a\nb");  // Ctrl-Z ends the text
}

TEST(ParameterValue, EndsAtABlankOrAComma) {
  struct Case {
    const char* text;
    std::size_t start;
    std::size_t maxChars;
    const char* value;
  } cases[] = {
      {"ITEM=Log:Pages,PERCENT", 5, 90, "Log Pages"},  // ':' is a blank, a comma ends it
      {"ITEM=LogPages X", 5, 90, "LogPages"},          // a blank ends it
      {"ITEM=", 5, 90, ""},                            // nothing after the keyword
      {"ITEM=,X", 5, 90, ""},                          //
      {"ITEM=abcdef", 5, 3, "abc"},                    // at most maxChars
      {"ITEM=ab\xC3\xBC", 5, 3, "ab"},                 // without a split UTF-8 character
      {"X", 5, 90, ""},                                // start past the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParameterValue(c.text, c.start, c.maxChars), c.value) << c.text;
  }
}

}  // namespace
}  // namespace vendralith

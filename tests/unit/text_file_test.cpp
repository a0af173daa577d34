#include "run/text_file.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

TEST(ReadPieces, SplitsLikeRepeatedLineReads) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(ReadPieces("", 5), Pieces{});
  EXPECT_EQ(ReadPieces("ab\ncd", 5), (Pieces{"ab\n", "cd"}));
  EXPECT_EQ(ReadPieces("abcdefg\n", 5), (Pieces{"abcde", "fg\n"}));  // a long line in parts
  EXPECT_EQ(ReadPieces("abcde\n", 5), (Pieces{"abcde", "\n"}));      // its line end alone
  EXPECT_EQ(ReadPieces("\n\n", 5), (Pieces{"\n", "\n"}));
}

TEST(TextModeContent, ReadsAsAWindowsTextStream) {
  EXPECT_EQ(TextModeContent("a\r\nb\r\n"), "a\nb\n");  // CR LF arrives as LF
  EXPECT_EQ(TextModeContent("a\rb\r"), "a\rb\r");      // lone CRs stay
  EXPECT_EQ(TextModeContent("a\nb\x1a"
                            "c\n"),
            "a\nb");  // Ctrl-Z ends the text
}

}  // namespace
}  // namespace vendralith

#include "system/text_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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

// The parts of a file together hold what ReadTextFile reads, whatever falls
// on the border between two parts.
TEST(ReadTextFileInParts, GivesTheTextOfReadTextFile) {
  const std::size_t border = 65536;  // the size of one read
  struct Case {
    std::string bytes;
    const char* why;
  } cases[] = {
      {std::string(border - 1, 'a') + "\r\nb\r\n", "a line end across the border"},
      {std::string(border - 1, 'a') + "\rb", "a lone CR at the border"},
      {std::string(border - 1, 'a') + "\r", "a CR last in the file"},
      {std::string(border + 10, 'a') + "\x1a" + "after", "Ctrl-Z after the border"},
      {"ab\r\ncd\x1a" + std::string(border, 'z'), "Ctrl-Z in the first part"},
      {"", "an empty file"},
  };
  const std::string path =
      (std::filesystem::temp_directory_path() / "vendralith-parts-test.txt").string();
  for (const Case& c : cases) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(c.bytes.data(), 1, c.bytes.size(), file), c.bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
    std::string text;
    EXPECT_TRUE(ReadTextFileInParts(path, [&text](std::string_view part) { text += part; }));
    EXPECT_EQ(text, ReadTextFile(path).value()) << c.why;
  }
  std::filesystem::remove(path);
  EXPECT_FALSE(ReadTextFileInParts(path, [](std::string_view) {}));  // a missing file
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

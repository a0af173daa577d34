#include "system/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vendralith {
namespace {

using namespace std::string_view_literals;

TEST(IsUtf8, WellFormedSequencesOnly) {
  struct Case {
    std::string_view text;
    bool utf8;
    const char* why;
  } cases[] = {
      {"", true, "empty text"},
      {"PRD.P00 <&>\t\r\n\x7f", true, "ASCII, control characters included"},
      {"\0"sv, true, "a NUL is ASCII"},
      {"Pr\xC3\xBC"
       "fung",
       true, "two bytes: \xC3\xBC"},
      {"\xE2\x82\xAC \xF0\x9F\x98\x80", true, "three and four bytes"},
      {"\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF", true,
       "the first and last code point of each length"},
      {"\xED\x9F\xBF \xEE\x80\x80", true, "either side of the surrogates"},
      {"Pr\xFC"
       "fung",
       false, "Windows-1252 text"},
      {"\x80", false, "a continuation byte alone"},
      {"\xC3", false, "a sequence the text ends inside"},
      {"\xC3"
       "A",
       false, "a lead byte before ASCII"},
      {"\xC0\xAF", false, "an overlong two-byte form"},
      {"\xC1\xBF", false, "the other overlong lead byte"},
      {"\xE0\x9F\xBF", false, "an overlong three-byte form"},
      {"\xF0\x8F\xBF\xBF", false, "an overlong four-byte form"},
      {"\xED\xA0\x80", false, "a surrogate"},
      {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
      {"\xF5\x80\x80\x80", false, "a lead byte that no code point has"},
      {"\xE2\x82", false, "a three-byte sequence cut short"},
      {"\xF0\x9F\x98"
       "A",
       false, "a four-byte sequence with ASCII as its last byte"},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.why;
}

TEST(Utf8SequenceLength, CountsTheBytesOfTheSequenceThatStartsThere) {
  const std::string_view text = "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\xBC";
  const std::size_t lengths[] = {1, 2, 0, 3, 0, 0, 4, 0, 0, 0, 0, 0};
  for (std::size_t at = 0; at <= text.size(); ++at) {
    EXPECT_EQ(Utf8SequenceLength(text, at), lengths[at]) << "at " << at;
  }
}

TEST(Utf8CutLength, NeverSplitsAWellFormedSequence) {
  struct Case {
    std::string_view text;
    std::size_t maxBytes;
    std::size_t length;
    const char* why;
  } cases[] = {
      {"abcdef", 3, 3, "ASCII is cut at the limit"},
      {"abc", 3, 3, "text within the limit stays whole"},
      {"abc", 10, 3, "a limit beyond the text"},
      {"abc", 0, 0, "a limit of nothing"},
      {"ab\xC3\xBC"
       "c",
       3, 2, "before a two-byte character that would be split"},
      {"ab\xC3\xBC"
       "c",
       4, 4, "after it when it fits"},
      {"a\xE2\x82\xAC", 2, 1, "before a three-byte character, one byte in"},
      {"a\xE2\x82\xAC", 3, 1, "two bytes in"},
      {"\xF0\x9F\x98\x80z", 3, 0, "a four-byte character at the start"},
      {"\xF0\x9F\x98\x80z", 4, 4, "right after it"},
      {"ab\xFC"
       "cd",
       3, 3, "Windows-1252 text is cut anywhere"},
      {"ab\xC3"
       "A",
       3, 3, "a lead byte without its continuation is no sequence"},
      {"\x80\x80\x80\x80", 2, 2, "stray continuation bytes are cut anywhere"},
      {"\xED\xA0\x80", 2, 2, "a surrogate form is no sequence either"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8CutLength(c.text, c.maxBytes), c.length) << c.why;
    EXPECT_EQ(Utf8Prefix(c.text, c.maxBytes), c.text.substr(0, c.length)) << c.why;
  }
}

TEST(Utf16Prefix, NeverSplitsASurrogatePair) {
  struct Case {
    std::u16string_view text;
    std::size_t maxUnits;
    std::size_t length;
    const char* why;
  } cases[] = {
      {u"LOG PAGES", 3, 3, "cut at the limit"},
      {u"LOG", 40, 3, "text within the limit stays whole"},
      {u"ab\xD83D\xDE00"
       u"c",
       3, 2, "before a pair that would be split"},
      {u"ab\xD83D\xDE00"
       u"c",
       4, 4, "after it when it fits"},
      {u"\xD83D\xDE00", 1, 0, "a pair at the start"},
      {u"ab\xDE00"
       u"c",
       3, 3, "a low surrogate alone is cut anywhere"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16Prefix(c.text, c.maxUnits), c.text.substr(0, c.length)) << c.why;
  }
}

}  // namespace
}  // namespace vendralith

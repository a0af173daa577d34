#include "output/console_format.h"

#include <gtest/gtest.h>

#include "output/decimal_text.h"

namespace vendralith {
namespace {

TEST(GroupDigits, GroupsByPosition) {
  struct Case {
    const char* number;
    const char* grouped;
  } cases[] = {
      {"", ""},                        // empty stays empty
      {"7", "7"},                      // one to three characters unchanged
      {"999", "999"},                  //
      {"1000", "1.000"},               // one separator from four characters
      {"123456", "123.456"},           //
      {"1234567", "1.234.567"},        // two separators from seven
      {"123456789", "123.456.789"},    //
      {"4294967295", "4294.967.295"},  // never a third: four digits in front
      {"-12345", "-12.345"},           // positions only, a sign counts as a digit
  };
  for (const Case& c : cases) EXPECT_EQ(GroupDigits(c.number), c.grouped) << c.number;
}

TEST(LabelLine, AlignsLabelsToTheWidth) {
  struct Case {
    const char* label;
    int indent;
    int width;
    const char* line;
  } cases[] = {
      {"key", 0, 15, "key             : text\n"},                      // filled to 15
      {"operation/code", 0, 15, "operation/code  : text\n"},           // one filling blank
      {"internal status", 0, 15, "internal status : text\n"},          // exactly 15: none
      {"a much longer label", 0, 15, "a much longer label : text\n"},  // whole, not cut
      {"key", 2, 5, "  key   : text\n"},                               // indent blanks first
  };
  for (const Case& c : cases) EXPECT_EQ(LabelLine(c.label, c.indent, c.width, "text"), c.line);
}

TEST(ParseDecimal, ReadsLikeAtoi) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"12345", 12345},    // plain digits
      {"  42", 42},        // leading blanks skipped
      {"-1", -1},          // a sign
      {"+7x", 7},          // digits up to the first non-digit
      {"1a", 1},           //
      {"abc", 0},          // no digits
      {"", 0},             //
      {"4294967295", -1},  // wraps to 32 bits like the field that holds it
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace vendralith

#include "system/secret_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vendralith {
namespace {

TEST(ClearSecret, OverwritesInPlaceAndEmpties) {
  // A heap buffer and one inside the text itself, each holding what was
  // there before it shrank.
  for (const std::string& before : {std::string(40, 'p'), std::string("pw4")}) {
    std::string text = before;
    text.resize(2);
    const char* buffer = text.data();
    const std::size_t capacity = text.capacity();
    ClearSecret(text);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.data(), buffer);  // the same buffer, not a new one
    EXPECT_EQ(text.capacity(), capacity);
    EXPECT_EQ(std::string(text.data(), capacity), std::string(capacity, '\0')) << before;
  }
  std::u16string wide = u"Forty-Characters-0123456789-abcdefghijkl";
  ClearSecret(wide);
  EXPECT_EQ(std::u16string(wide.data(), wide.capacity()), std::u16string(wide.capacity(), u'\0'));
  char bytes[] = "secret";
  ClearSecret(bytes, sizeof bytes);
  EXPECT_EQ(std::string(bytes, sizeof bytes), std::string(sizeof bytes, '\0'));
}

}  // namespace
}  // namespace vendralith

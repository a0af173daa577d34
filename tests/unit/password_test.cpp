#include "profile/password.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

const ProfileKey kKey = BuildProfileKey();

// Builds a stored text from a header and a body that are given clear.
std::string Stored(const std::string& header, const std::string& body, int offset) {
  std::string stored;
  for (std::size_t i = 0; i < 4; ++i) stored += static_cast<char>(header[i] ^ kKey[i]);
  for (std::size_t i = 0; i < 20; ++i) {
    stored += static_cast<char>(body[i] ^ kKey[static_cast<std::size_t>(offset) + i]);
  }
  return stored;
}

// The body that reorders to q: Q = B0 B19 B1 B18 ... B9 B10.
std::string BodyFor(const std::string& q) {
  std::string body(20, '\0');
  for (std::size_t j = 0; j < 10; ++j) {
    body[j] = q[2 * j];
    body[19 - j] = q[2 * j + 1];
  }
  return body;
}

TEST(ProfileKey, HoldsTheProgramKey) {
  EXPECT_EQ(kKey[0], 0x14);
  EXPECT_EQ(kKey[9], 0x1F);
  EXPECT_EQ(kKey[31], 0x01);
}

TEST(DecodePassword, Results) {
  const std::string q = "secret99abcdefghijkl";  // 20 characters
  const std::string digit = std::to_string(CheckDigit(q));
  const std::string wrongDigit = std::to_string((CheckDigit(q) + 1) % 10);
  struct Case {
    std::string stored;
    PasswordResult result;
    std::string clear;
    const char* why;
  } cases[] = {
      {Stored(digit + "308", BodyFor(q), 3), PasswordResult::Ok, "secret99", "good text"},
      {Stored(digit + "000", BodyFor(q), 0), PasswordResult::Ok, "", "length 00: empty"},
      {Stored(digit + "920", BodyFor(q), 9), PasswordResult::Ok, q, "length 20: whole body"},
      {Stored(digit + "099", BodyFor(q), 0), PasswordResult::Ok, q, "length 99: whole body"},
      {Stored(wrongDigit + "308", BodyFor(q), 3), PasswordResult::Wrong, "", "check digit"},
      {Stored(digit + "308", BodyFor(q), 3).substr(0, 23), PasswordResult::Invalid, "",
       "23 characters"},
      {Stored(digit + "308", BodyFor(q), 3) + "x", PasswordResult::Invalid, "", "25 characters"},
      {Stored(digit + "a08", BodyFor(q), 3), PasswordResult::Invalid, "", "letter in header"},
      {Stored(digit + "30x", BodyFor(q), 3), PasswordResult::Invalid, "", "letter at the end"},
      {Stored("0308", BodyFor("--------------------"), 3), PasswordResult::Ok, "--------",
       "no alphabet characters: sum 0"},
      {"", PasswordResult::Invalid, "", "empty"},
  };
  for (const Case& c : cases) {
    const DecodedPassword decoded = DecodePassword(c.stored, kKey);
    EXPECT_EQ(decoded.result, c.result) << c.why;
    EXPECT_EQ(decoded.clear, c.clear) << c.why;
  }
}

TEST(DecodePassword, ZeroBytesShortenTheBody) {
  std::string q = "ab";
  q += std::string(18, '\0');
  const std::string stored = Stored(std::to_string(CheckDigit("ab")) + "010", BodyFor(q), 0);
  const DecodedPassword decoded = DecodePassword(stored, kKey);
  EXPECT_EQ(decoded.result, PasswordResult::Ok);
  EXPECT_EQ(decoded.clear, "ab");
}

TEST(CheckDigit, CountsOnlyTheAlphabet) {
  EXPECT_EQ(CheckDigit(""), 0);
  EXPECT_EQ(CheckDigit("a"), 97 % 10);
  EXPECT_EQ(CheckDigit("a b!"), (97 + 98) % 10);  // blank and "!" add nothing
  EXPECT_EQ(CheckDigit("00"), (48 + 48) % 10);    // every occurrence counts
}

TEST(ScramblePassword, RoundTripsWithEveryOffset) {
  std::string previous;
  for (int offset = 0; offset <= 9; ++offset) {
    const auto stored = ScramblePassword("MONITOR#1", offset, "PQ7RS8TU9VW", kKey);
    ASSERT_TRUE(stored) << offset;
    EXPECT_EQ(stored->size(), 24u);
    EXPECT_NE(*stored, previous);  // another offset, another text
    previous = *stored;
    const DecodedPassword decoded = DecodePassword(*stored, kKey);
    EXPECT_EQ(decoded.result, PasswordResult::Ok);
    EXPECT_EQ(decoded.clear, "MONITOR#1");
  }
}

TEST(ScramblePassword, RefusesWhatCannotBeStored) {
  EXPECT_FALSE(ScramblePassword("x", 0, "short", kKey));                  // padding must fill 20
  EXPECT_FALSE(ScramblePassword(std::string(21, 'a'), 0, "", kKey));      // over 20 characters
  EXPECT_FALSE(ScramblePassword("abc", 10, std::string(17, 'p'), kKey));  // offset past 9
  // 'k' with key byte 0x14 would give DEL, which is not printable.
  EXPECT_FALSE(ScramblePassword(std::string(20, 'k'), 0, "", kKey));
}

}  // namespace
}  // namespace vendralith

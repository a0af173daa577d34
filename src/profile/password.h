// The stored form of profile passwords.
//
// A stored password is 24 characters: a 4-character header (check digit, key
// offset, two length digits) and a 20-character body, each combined by
// exclusive-or with bytes of the program key; the body holds the padded
// clear password in a shuffled order.
#ifndef VENDRALITH_PROFILE_PASSWORD_H
#define VENDRALITH_PROFILE_PASSWORD_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vendralith {

using ProfileKey = std::array<std::uint8_t, 32>;

// The program key, built in memory at start-up.
ProfileKey BuildProfileKey();

inline constexpr std::size_t kStoredPasswordLength = 24;
inline constexpr std::size_t kMaxClearPassword = 20;

enum class PasswordResult { Ok, Invalid, Wrong };

struct DecodedPassword {
  PasswordResult result = PasswordResult::Invalid;
  std::string clear;  // set when result is Ok
};

// Invalid: not 24 characters, or a header that is not four digits.
// Wrong: a well-formed text whose check digit does not match.
DecodedPassword DecodePassword(std::string_view stored, const ProfileKey& key);

// The check digit of a decoded body: the last digit of the sum of the codes
// of its characters that are digits or ASCII letters.
int CheckDigit(std::string_view body);

// The stored text for a clear password (at most 20 printable ASCII
// characters) with key offset 0 to 9 and the given 20 - length padding
// characters. Nothing when a character of the result would not be printable.
std::optional<std::string> ScramblePassword(std::string_view clear, int offset,
                                            std::string_view padding, const ProfileKey& key);

}  // namespace vendralith

#endif

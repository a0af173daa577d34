// Password decoding of any stored text, and scrambling of any clear password,
// which must decode back to itself.
#include "fuzz_input.h"
#include "profile/password.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const vendralith::ProfileKey key = vendralith::BuildProfileKey();
  FuzzInput input(data, size);
  const int offset = input.Byte() % 12 - 1;  // -1 and 10 lie outside the valid range
  const std::string_view clear = input.Text();
  const std::string_view padding = input.Text();
  const std::string_view stored = input.Rest();

  const auto decoded = vendralith::DecodePassword(stored, key);
  Require(decoded.result == vendralith::PasswordResult::Ok || decoded.clear.empty(),
          "only a good password is decoded");
  Require(decoded.clear.size() <= vendralith::kMaxClearPassword, "a clear password fits its body");
  const int digit = vendralith::CheckDigit(stored);
  Require(digit >= 0 && digit <= 9, "the check digit is a digit");

  if (const auto scrambled = vendralith::ScramblePassword(clear, offset, padding, key)) {
    Require(scrambled->size() == vendralith::kStoredPasswordLength,
            "a stored password has 24 chars");
    const auto back = vendralith::DecodePassword(*scrambled, key);
    Require(back.result == vendralith::PasswordResult::Ok && back.clear == clear,
            "a scrambled password decodes to itself");
  }
  return 0;
}

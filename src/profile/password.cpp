#include "profile/password.h"

#include "system/secret_text.h"

namespace vendralith {

namespace {

constexpr std::string_view kScrambleAlphabet =
    "01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Xor(char c, std::uint8_t k) { return static_cast<char>(static_cast<std::uint8_t>(c) ^ k); }

}  // namespace

ProfileKey BuildProfileKey() {
  ProfileKey key{};
  constexpr std::uint8_t kBytes[32] = {0x14, 0x0E, 0x10, 0x05, 0x0B, 0x17, 0x0C, 0x05,
                                       0x05, 0x1F, 0x14, 0x05, 0x17, 0x1C, 0x17, 0x04,
                                       0x0C, 0x14, 0x06, 0x1B, 0x15, 0x17, 0x0F, 0x08,
                                       0x19, 0x19, 0x03, 0x02, 0x06, 0x16, 0x13, 0x01};
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = kBytes[i];
  return key;
}

int CheckDigit(std::string_view body) {
  unsigned sum = 0;
  for (char c : body) {
    if (kScrambleAlphabet.find(c) != std::string_view::npos) sum += static_cast<unsigned char>(c);
  }
  return static_cast<int>(sum % 10);
}

DecodedPassword DecodePassword(std::string_view stored, const ProfileKey& key) {
  DecodedPassword decoded;
  if (stored.size() != kStoredPasswordLength) return decoded;
  char header[4];
  for (std::size_t i = 0; i < 4; ++i) {
    header[i] = Xor(stored[i], key[i]);
    if (!IsDigit(header[i])) return decoded;
  }
  const std::size_t offset = static_cast<std::size_t>(header[1] - '0');
  const std::size_t length =
      static_cast<std::size_t>(header[2] - '0') * 10 + static_cast<std::size_t>(header[3] - '0');

  char body[20];
  for (std::size_t i = 0; i < 20; ++i) body[i] = Xor(stored[4 + i], key[offset + i]);
  std::string reordered;
  for (std::size_t j = 0; j < 10; ++j) {
    for (char c : {body[j], body[19 - j]}) {
      if (c != '\0') reordered += c;
    }
  }
  ClearSecret(body, sizeof body);
  if (header[0] - '0' != CheckDigit(reordered)) {
    decoded.result = PasswordResult::Wrong;
  } else {
    decoded.result = PasswordResult::Ok;
    decoded.clear = reordered.substr(0, length);
  }
  ClearSecret(reordered);
  return decoded;
}

std::optional<std::string> ScramblePassword(std::string_view clear, int offset,
                                            std::string_view padding, const ProfileKey& key) {
  if (clear.size() > kMaxClearPassword || clear.size() + padding.size() != 20 || offset < 0 ||
      offset > 9) {
    return std::nullopt;
  }
  const std::string padded = std::string(clear) + std::string(padding);
  char body[20];
  for (std::size_t j = 0; j < 10; ++j) {
    body[j] = padded[2 * j];
    body[19 - j] = padded[2 * j + 1];
  }
  const char header[4] = {
      static_cast<char>('0' + CheckDigit(padded)), static_cast<char>('0' + offset),
      static_cast<char>('0' + clear.size() / 10), static_cast<char>('0' + clear.size() % 10)};
  std::string stored;
  for (std::size_t i = 0; i < 4; ++i) stored += Xor(header[i], key[i]);
  for (std::size_t i = 0; i < 20; ++i) {
    stored += Xor(body[i], key[static_cast<std::size_t>(offset) + i]);
  }
  // Printable only: no line break, NUL or Ctrl-Z can end up in a profile line.
  for (char c : stored) {
    if (c < 0x20 || c > 0x7e) return std::nullopt;
  }
  return stored;
}

}  // namespace vendralith

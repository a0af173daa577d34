// Splits one fuzz input into choice bytes and texts, so that a single input
// can drive every parameter of a call.
#ifndef VENDRALITH_TESTS_FUZZ_FUZZ_INPUT_H
#define VENDRALITH_TESTS_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vendralith::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  // The next byte, or 0 when the input is used up.
  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  // The text up to the next NUL (which is consumed), or the rest.
  std::string_view Text() {
    const std::size_t nul = rest_.find('\0');
    const std::string_view part = rest_.substr(0, nul);
    rest_ = nul == std::string_view::npos ? std::string_view() : rest_.substr(nul + 1);
    return part;
  }

  // Everything left, NULs included: file contents may hold any byte.
  std::string_view Rest() {
    const std::string_view rest = rest_;
    rest_ = {};
    return rest;
  }

  bool Empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// A broken promise of the code under test: reported as a crash, so that
// libFuzzer keeps the input.
inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace vendralith::fuzz

#endif

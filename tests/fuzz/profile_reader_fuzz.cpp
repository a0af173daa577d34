// The profile reader, strict and lenient, on any text.
#include "fuzz_input.h"
#include "profile/profile_reader.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const vendralith::ProfileKey key = vendralith::BuildProfileKey();
  FuzzInput input(data, size);
  const auto reading =
      (input.Byte() & 1) != 0 ? vendralith::Reading::Lenient : vendralith::Reading::Strict;
  const std::string_view text = input.Rest();
  const auto result = vendralith::ReadProfileText(text, reading, "PRD.P00", key);
  Require(result.valid || reading == vendralith::Reading::Lenient || !result.error.empty(),
          "a strict reading that fails names its defect");
  Require(result.error.empty() || !result.valid, "an error marks the entry invalid");
  Require(result.entry.password.size() <= vendralith::kMaxClearPassword,
          "the clear password comes from one stored value");
  vendralith::EntrySummary("12:00:00", "PRD.P00", result.entry);
  return 0;
}

// The profile reader, strict and lenient, on any text; then what the run
// makes of the entry it read: the connection options (with any ",HOST=" and
// ",NO=" parameters) and the connect string.
#include "fuzz_input.h"
#include "profile/profile_reader.h"
#include "rfc/connection.h"
#include "run/run_settings.h"
#include "system/text_helpers.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const vendralith::ProfileKey key = vendralith::BuildProfileKey();
  FuzzInput input(data, size);
  const auto reading =
      (input.Byte() & 1) != 0 ? vendralith::Reading::Lenient : vendralith::Reading::Strict;
  // The command line lets no longer parameters through.
  const std::string parameters =
      vendralith::UpperCase(input.Text().substr(0, vendralith::kMaxParameters));
  const std::string_view text = input.Rest();

  const auto result = vendralith::ReadProfileText(text, reading, "PRD.P00", key);
  Require(result.valid || reading == vendralith::Reading::Lenient || !result.error.empty(),
          "a strict reading that fails names its defect");
  Require(result.error.empty() || !result.valid, "an error marks the entry invalid");
  Require(result.entry.password.size() <= vendralith::kMaxClearPassword,
          "the clear password comes from one stored value");
  vendralith::EntrySummary("12:00:00", "PRD.P00", result.entry);

  vendralith::ConnectionOptions options(result.entry, parameters);
  Require(options.Options()->user != nullptr && options.Options()->password != nullptr,
          "user and password are always given");
  vendralith::ConnectString(result.entry);
  return 0;
}

// The command line and the name rules: any program name and arguments, then
// the search for the profile or listing they name, over files that exist or
// not as the input chooses (the host path file's text included). Names and
// values are cut without splitting a UTF-8 character.
#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "run/profile_location.h"
#include "run/startup.h"
#include "xml_check.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::IsValidUtf8;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const unsigned argumentCount = input.Byte() % 6;
  // Bit n: whether the n-th file looked for exists.
  const unsigned existing = input.Byte() | (input.Byte() << 8);
  std::vector<std::string> arguments;
  for (unsigned i = 0; i < argumentCount; ++i) arguments.emplace_back(input.Text());
  const std::string hostPaths(input.Rest());

  const vendralith::StartupResult startup = vendralith::ReadCommandLine(arguments, "12:00:00");
  if (arguments.size() >= 2) {
    const vendralith::ProfileName rules = vendralith::ApplyNameRules(arguments[1]);
    Require(rules.folder.empty() || rules.folder.back() == '\\', "a folder ends in a backslash");
    Require(rules.name.find('\\') == std::string::npos || rules.folder.empty(),
            "the folder is split off the name");
  }
  if (!startup.error.empty()) return 0;
  Require(startup.settings.parameterText.size() <= vendralith::kMaxParameters,
          "the parameters have a limit");
  Require(startup.settings.itemName.size() <= vendralith::kMaxItemName,
          "the item name has a limit");
  Require(startup.settings.timeoutSeconds >= 0 && startup.settings.timeoutSeconds <= 900,
          "a deadline is 1 to 900 seconds or none");
  Require(!IsValidUtf8(startup.settings.parameterText) || IsValidUtf8(startup.settings.itemName),
          "the item name ends before a character it would split");

  unsigned lookups = 0;
  const auto read = [&](const std::string& path) -> std::optional<std::string> {
    const bool exists = lookups < 16 && ((existing >> lookups) & 1) != 0;
    ++lookups;
    if (!exists) return std::nullopt;
    return path == vendralith::kHostPathFile ? hostPaths : std::string("content");
  };
  const vendralith::ProfileLocation location = vendralith::LocateProfile(startup.settings, read);
  Require(location.error.empty() || location.error.size() <= 200,
          "the missing-profile message shortens a long name");
  Require(!IsValidUtf8(startup.settings.profileName) || IsValidUtf8(location.error),
          "a shortened name ends before a character it would split");
  return 0;
}

// The listing reader in item mode ("Kelvaron.Prf") and global mode
// ("SAP Kelvaron.Gbl") on any listing text and parameter word.
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "run/listing_reader.h"
#include "xml_check.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::IsValidUtf8;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const bool itemMode = (input.Byte() & 1) != 0;
  // The command line lets no longer parameters through.
  const std::string parameters(input.Text().substr(0, vendralith::kMaxParameters));
  const std::string listing(input.Rest());

  vendralith::RunSettings settings;
  vendralith::ProfileLocation location;
  settings.parameterText = parameters;
  settings.parameterString = vendralith::UpperCase(parameters);
  if (itemMode) {
    settings.listingMode = true;
    settings.itemName = parameters;
    location.name = location.path = vendralith::kItemListingFile;
  } else {
    location.name = location.path = vendralith::kGlobalListingFile;
    Require(vendralith::SensorKey(settings.parameterString).size() >= 10,
            "the sensor key is padded to ten characters");
  }
  const auto read = [&listing](const std::string&) { return std::optional<std::string>(listing); };
  const vendralith::Listing result = vendralith::ReadListing(settings, location, parameters, read);
  if (result.error.empty()) {
    Require(result.serverList.size() <= vendralith::kMaxServerList, "the server list has a limit");
    Require(result.parameterText.size() <= vendralith::kMaxDefinition,
            "the sensor's parameters have a limit");
    Require(result.displayNameKind >= '1' && result.displayNameKind <= '4',
            "the naming rule is one of four");
    Require(itemMode || !IsValidUtf8(listing) || IsValidUtf8(result.itemName),
            "the item name ends before a character it would split");
  }
  return 0;
}

#include "run/listing_reader.h"

#include <vector>

namespace vendralith {

namespace {

constexpr std::size_t kKeyColumns = 18;
constexpr std::size_t kServerListColumn = 20;  // 0-based: column 21
constexpr std::size_t kDefinitionColumn = 19;  // 0-based: column 20
constexpr const char* kAllocationText = "Sensor=\"SAP Vendralith\"";

std::vector<std::string> ListingLines(const std::string& text) {
  std::vector<std::string> lines;
  // Whole lines: a line read in parts would add a cut profile name.
  for (std::string line : ReadPieces(text, std::string::npos)) {
    DropTrailing(line, '\r');
    DropTrailing(line, '\n');
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string From(const std::string& line, std::size_t column) {
  return line.size() > column ? line.substr(column) : std::string();
}

// The value after "Item=": up to a blank, a comma or the end, at most 90 characters.
std::string ItemValue(const std::string& definition) {
  const auto at = definition.find("Item=");
  if (at == std::string::npos) return {};
  return ParameterValue(definition, at + 5, kMaxItemName);
}

void ReadItemListing(const std::string& text, Listing& listing) {
  for (const std::string& line : ListingLines(text)) {
    if (line.rfind("# Gsng: ", 0) == 0) listing.serverList += From(line, kServerListColumn);
  }
}

void ReadGlobalListing(const std::string& text, const std::string& key, Listing& listing,
                       bool& found) {
  const std::string listKey = ("# GSNG: " + key).substr(0, kKeyColumns);
  const std::string definitionKey = ("# GSNX: " + key).substr(0, kKeyColumns);
  std::string definition;
  for (const std::string& line : ListingLines(text)) {
    const std::string tag = UpperCase(line.substr(0, kKeyColumns));
    if (tag == listKey) listing.serverList += From(line, kServerListColumn);
    if (tag != definitionKey) continue;

    definition = From(line, kDefinitionColumn);
    if (definition.size() > kMaxDefinition) {
      listing.error = "Error 1028: Global Sensor-Definition too long...";
      return;
    }
    if (definition.find(kAllocationText) == std::string::npos) {
      listing.error = "Error 1029: Invalid Sensor-Allocation...";
      return;
    }
    listing.parameterText = ColonsToBlanks(definition.substr(0, definition.find(",Sensor=")));
    // Later keywords win: ",Sid" over ",Host" over ",Alias" over ",Profile".
    for (const auto& [keyword, kind] : {std::pair{",Profile", '1'}, std::pair{",Alias", '2'},
                                        std::pair{",Host", '3'}, std::pair{",Sid", '4'}}) {
      if (line.find(keyword) != std::string::npos) listing.displayNameKind = kind;
    }
    found = true;
  }
  listing.itemName = ItemValue(definition);
}

}  // namespace

std::string SensorKey(const std::string& parameterString) {
  std::string key = parameterString.substr(0, parameterString.find(' '));
  if (key.size() < 10) key.append(10 - key.size(), ' ');
  return key;
}

Listing ReadListing(const RunSettings& run, const ProfileLocation& location,
                    const std::string& argument2, const FileReader& read) {
  Listing listing;
  listing.parameterText = run.parameterText;
  const bool itemMode = run.listingMode;
  const auto text = read(location.path);
  if (!text) {
    listing.error = std::string(itemMode ? "Error 1024" : "Error 10x1") + ": ProFile " +
                    location.name + " is missing...";
    return listing;
  }

  if (itemMode) {
    listing.itemName = run.itemName;
    ReadItemListing(*text, listing);
  } else {
    bool found = false;
    ReadGlobalListing(*text, SensorKey(run.parameterString), listing, found);
    if (!listing.error.empty()) return listing;
    if (!found) {
      listing.error = "Error 1030: Global Sensor " + argument2 + " not found...";
      return listing;
    }
  }
  // A cut list would end in a broken profile name, skipped without a word.
  if (listing.serverList.size() > kMaxServerList) {
    listing.error = "Error 1027: Global Server Listing too long...";
  } else if (listing.serverList.empty()) {
    listing.error = "Error 1025: Global Server Listing missing...";
  } else if (listing.itemName.empty()) {
    listing.error = "Error 1026: Global Item Idenification missing...";
  }
  return listing;
}

}  // namespace vendralith

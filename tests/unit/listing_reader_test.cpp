#include "run/listing_reader.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

const char* const kPair =
    "# GSNG: LOGSENS     PRD.P00#QAS.P00#\n"
    "# GSNX: LOGSENS    PERCENT,Sensor=\"SAP Vendralith\",Alias,Item=LogUsage\n";

Listing Global(const std::string& text, const std::string& argument2 = "logsens",
               const std::string& parameterString = "LOGSENS") {
  RunSettings settings;
  settings.parameterString = parameterString;
  settings.parameterText = argument2;
  ProfileLocation location;
  location.name = "SAP Kelvaron.Gbl";
  location.path = "SAP Kelvaron.Gbl";
  return ReadListing(settings, location, argument2,
                     [text](const std::string&) { return std::optional<std::string>(text); });
}

Listing Item(const std::string& text, const std::string& itemName = "LogPages") {
  RunSettings settings;
  settings.listingMode = true;
  settings.itemName = itemName;
  settings.parameterString = "ITEM=" + itemName;
  settings.parameterText = "item=" + itemName;
  ProfileLocation location;
  location.name = location.path = "Kelvaron.Prf";
  return ReadListing(settings, location, "",
                     [text](const std::string&) { return std::optional<std::string>(text); });
}

TEST(ReadListing, TheExamplePair) {
  const Listing listing = Global(kPair);
  EXPECT_EQ(listing.error, "");
  EXPECT_EQ(listing.serverList, "PRD.P00#QAS.P00#");
  EXPECT_EQ(listing.parameterText, "PERCENT");
  EXPECT_EQ(listing.displayNameKind, '2');
  EXPECT_EQ(listing.itemName, "LogUsage");
}

TEST(ReadListing, GlobalMode) {
  struct Case {
    std::string text;
    std::string serverList, parameterText, itemName;
    char kind;
    const char* why;
  } cases[] = {
      {"# gsng: logsens     A.P00#\n"
       "# gsnx: logsens    x:y,Sensor=\"SAP Vendralith\",Item=Log:Pages\n",
       "A.P00#", "x y", "Log Pages", '1', "tags and names in any case; ':' is a blank"},
      {"# GSNG: LOGSENS     A.P00#\n# GSNG: OTHER       X.P00#\n# GSNG: LOGSENS     B.P00#\n" +
           std::string(kPair).substr(37),
       "A.P00#B.P00#", "PERCENT", "LogUsage", '2', "two list lines joined in order"},
      {"# GSNG: LOGSENS     A#\n# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Alias,Sid,Item=X\n",
       "A#", "P", "X", '4', ",Sid wins over ,Alias"},
      {"# GSNG: LOGSENS     A#\n# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Host,Item=X\n"
       "# GSNX: LOGSENS    Q,Sensor=\"SAP Vendralith\",Item=Y\n",
       "A#", "Q", "Y", '3', "the last definition decides; absent keywords keep the kind"},
      {"# GSNG: LOGSENS\n# GSNG: LOGSENS     A#\n"
       "# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Profile,Item=X\n",
       "A#", "P", "X", '1', "a short list line adds nothing"},
  };
  for (const Case& c : cases) {
    const Listing listing = Global(c.text);
    EXPECT_EQ(listing.error, "") << c.why;
    EXPECT_EQ(listing.serverList, c.serverList) << c.why;
    EXPECT_EQ(listing.parameterText, c.parameterText) << c.why;
    EXPECT_EQ(listing.itemName, c.itemName) << c.why;
    EXPECT_EQ(listing.displayNameKind, c.kind) << c.why;
  }
}

TEST(ReadListing, Errors) {
  struct Case {
    Listing listing;
    const char* error;
    const char* why;
  } cases[] = {
      {Global("# GSNG: LOGSENS     A#\n# GSNX: LOGSENS    P,Sensor=\"SAP Other\",Item=X\n"
              "# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Item=X\n"),
       "Error 1029: Invalid Sensor-Allocation...",
       "another program, although a later line is good"},
      {Global("# GSNX: LOGSENS    P,Sensor=\"sap vendralith\",Item=X\n"),
       "Error 1029: Invalid Sensor-Allocation...", "allocation case counts"},
      {Global("# GSNG: LOGSENS     A#\n", "logsens"),
       "Error 1030: Global Sensor logsens not found...", "no definition line"},
      {Global("anything\n", "", ""), "Error 1030: Global Sensor  not found...",
       "no sensor word: ten blanks as key"},
      {Global("# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Item=X\n"),
       "Error 1025: Global Server Listing missing...", "no list line"},
      {Global("# GSNG: LOGSENS     A#\n# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\"\n"),
       "Error 1026: Global Item Idenification missing...", "no Item="},
      {Global("# GSNG: LOGSENS     A#\n# GSNX: LOGSENS    P,Sensor=\"SAP Vendralith\",Item=" +
              std::string(120, 'x') + "\n"),
       "Error 1028: Global Sensor-Definition too long...", "definition over 127 characters"},
      {Global("# GSNG: LOGSENS     " + std::string(2045, 'a') + "#\n# GSNG: LOGSENS     B.P00#\n" +
              std::string(kPair).substr(37)),
       "Error 1027: Global Server Listing too long...", "list over 2047 characters"},
      {Item("# GSNG: LOGSENS     A#\n# gsng: X           B#\n"),
       "Error 1025: Global Server Listing missing...", "item mode: only the exact tag"},
      {Item("# Gsng: LOGSENS     A#\n", ""), "Error 1026: Global Item Idenification missing...",
       "item mode: ITEM= without a value"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.listing.error, c.error) << c.why;
}

TEST(ReadListing, ItemModeTakesEveryTaggedLine) {
  const Listing listing =
      Item("# Gsng: ONE         A.P00#\nother text\n# Gsng: TWO         B.P00#C.P00#\n");
  EXPECT_EQ(listing.error, "");
  EXPECT_EQ(listing.serverList, "A.P00#B.P00#C.P00#");
  EXPECT_EQ(listing.itemName, "LogPages");
  EXPECT_EQ(listing.parameterText, "item=LogPages");  // unchanged in item mode
}

TEST(ReadListing, MissingListingFile) {
  RunSettings settings;
  ProfileLocation location;
  location.name = location.path = "SAP Kelvaron.Gbl";
  const FileReader none = [](const std::string&) { return std::optional<std::string>(); };
  EXPECT_EQ(ReadListing(settings, location, "", none).error,
            "Error 10x1: ProFile SAP Kelvaron.Gbl is missing...");
  settings.listingMode = true;
  location.name = location.path = "Kelvaron.Prf";
  EXPECT_EQ(ReadListing(settings, location, "", none).error,
            "Error 1024: ProFile Kelvaron.Prf is missing...");
}

TEST(SensorKey, PadsToTenCharacters) {
  EXPECT_EQ(SensorKey("LOGSENS PERCENT"), "LOGSENS   ");
  EXPECT_EQ(SensorKey(""), "          ");
  EXPECT_EQ(SensorKey("VERYLONGSENSORNAME X"), "VERYLONGSENSORNAME");  // not cut
}

}  // namespace
}  // namespace vendralith

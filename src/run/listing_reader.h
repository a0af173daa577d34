// The server listings of a multi-system run.
//
// Item mode reads "Kelvaron.Prf": every line tagged "# Gsng: " adds its
// profile names. Global mode reads "SAP Kelvaron.Gbl": the lines of the
// sensor named by the first parameter word, "# GSNG: " lines with profile
// names and a "# GSNX: " line with the sensor's parameters, its allocation,
// its naming rule and its item. Columns 9 to 18 hold the sensor name.
#ifndef VENDRALITH_RUN_LISTING_READER_H
#define VENDRALITH_RUN_LISTING_READER_H

#include <string>

#include "run/profile_location.h"
#include "run/run_settings.h"
#include "system/text_file.h"
#include "system/text_helpers.h"

namespace vendralith {

inline constexpr std::size_t kMaxServerList = 2047;
inline constexpr std::size_t kMaxDefinition = 127;

struct Listing {
  std::string serverList;      // profile names, each followed by "#"
  std::string itemName;        // the channel to report
  char displayNameKind = '1';  // 1 profile name, 2 alias, 3 host, 4 system id
  std::string parameterText;   // global mode: the sensor's own parameters
  std::string error;           // the message of the error document; empty when read
};

// The listing as the run's settings select it. argument2 is the second
// command-line argument as typed (named when the sensor is not found).
Listing ReadListing(const RunSettings& run, const ProfileLocation& location,
                    const std::string& argument2, const FileReader& read);

// The global-mode key: the first parameter word, padded to ten characters.
std::string SensorKey(const std::string& parameterString);

}  // namespace vendralith

#endif

// The settings of one run, fixed at start-up from the program name and the
// command line.
#ifndef VENDRALITH_RUN_RUN_SETTINGS_H
#define VENDRALITH_RUN_RUN_SETTINGS_H

#include <string>
#include <string_view>

#include "output/result_document.h"
#include "profile/credentials.h"

namespace vendralith {

inline constexpr std::string_view kProgramWord = "Vendralith";
inline constexpr std::string_view kVersionText = "Vers 4.3 / 29.08.22";
inline constexpr const char* kItemListingFile = "Kelvaron.Prf";
inline constexpr std::size_t kMaxProfileName = 63;
inline constexpr std::size_t kMaxProfileFolder = 95;
inline constexpr std::size_t kMaxParameters = 127;
inline constexpr std::size_t kMaxItemName = 90;

struct RunSettings {
  std::string programName;  // the first command-line word, as started
  OutputMode outputMode = OutputMode::ExeXml;
  std::string clockTime;        // hh:mm:ss at start-up
  std::string consoleLine;      // the banner
  std::string profileName;      // argument 1, or the item-mode listing file
  std::string parameterString;  // arguments 2 and 3, upper case: searched for keywords
  std::string parameterText;    // the same as typed: shown on the console
  std::string itemName;         // the channel a listing-mode run reports
  bool consoleMode = false;     // progress lines between the document's pieces
  bool listingMode = false;     // item mode here; the global profile name sets it later
  int timeoutSeconds = 0;       // ",TIMEOUT=": the whole run's budget; 0: no deadline
  int parallelScans = 1;        // ",PARALLEL=": how many systems a multi-system run scans at once
  ChannelLimits channelLimits;  // ",WARN=", ",ERROR=": what the per-cent channels carry
  // ",CRED=": where the logons' user and password come from.
  CredentialSource credentials = CredentialSource::Profile;
  // ",TREND": a single-system run reports LogFullIn; its limits serve the
  // item LogFullIn as well, given or not.
  bool trend = false;
  HourLimits trendHours;
};

// The dialect named by the end of the program name: "-" or "_" and one of
// Tamvelo, Marsoke, Quorrane, Pindrel (any case, ".exe" ignored); else EXE/XML.
OutputMode OutputModeFromProgramName(std::string_view programName);

}  // namespace vendralith

#endif

#include "run/startup.h"

#include "run/profile_location.h"
#include "run/run_keywords.h"
#include "system/text_helpers.h"

namespace vendralith {

StartupResult ReadCommandLine(const std::vector<std::string>& arguments,
                              const std::string& clockTime) {
  StartupResult result;
  RunSettings& run = result.settings;
  run.programName = arguments.empty() ? std::string() : arguments[0];
  run.outputMode = OutputModeFromProgramName(run.programName);
  run.clockTime = clockTime;
  run.consoleLine =
      "* " + clockTime + " SAP " + std::string(kProgramWord) + " " + std::string(kVersionText);

  if (arguments.size() < 2) {
    result.error = "Error 1001: Parameter for Profile-Name is missing !";
    return result;
  }
  run.profileName = arguments[1];
  if (arguments.size() > 2) run.parameterText = arguments[2];
  if (arguments.size() > 3) run.parameterText += " " + arguments[3];
  // A cut could silently drop a keyword such as PERCENT, so too long is an error.
  if (run.parameterText.size() > kMaxParameters) {
    result.error = "Error 1008: Parameter-String too long !";
    return result;
  }
  run.parameterString = UpperCase(run.parameterText);

  const bool global = ApplyNameRules(run.profileName).global;
  if (const auto item = run.parameterString.find("ITEM="); item != std::string::npos) {
    run.listingMode = true;
    run.itemName = ParameterValue(run.parameterText, item + 5, kMaxItemName);
    run.profileName = kItemListingFile;
  }
  const bool multiSystem = run.listingMode || global;
  result.error = ApplyValueKeywords(run.parameterString, multiSystem, run);
  // A multi-system run checks the values that count once it has read the
  // listing's parameters too.
  if (result.error.empty() && !multiSystem) result.error = CheckResultingValues(run);
  if (!result.error.empty()) return result;
  run.consoleMode = run.parameterString.find_first_of("#@$%") != std::string::npos;
  return result;
}

}  // namespace vendralith

#include "run/startup.h"

#include "run/parallel_run.h"
#include "run/profile_location.h"
#include "run/run_deadline.h"
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
  // A deadline that cannot be kept must not be dropped without a word.
  const NumberKeyword timeout = ReadTimeout(run.parameterString);
  if (timeout.given && timeout.value == 0) {
    result.error = kTimeoutError;
    return result;
  }
  run.timeoutSeconds = timeout.value;

  const bool global = ApplyNameRules(run.profileName).global;
  if (const auto item = run.parameterString.find("ITEM="); item != std::string::npos) {
    run.listingMode = true;
    run.itemName = ParameterValue(run.parameterText, item + 5, kMaxItemName);
    run.profileName = kItemListingFile;
  }
  // Only a multi-system run scans systems at once: a single-system run
  // ignores the keyword, whatever its value.
  if (run.listingMode || global) {
    const NumberKeyword parallel = ReadParallel(run.parameterString);
    if (parallel.given && parallel.value == 0) {
      result.error = kParallelError;
      return result;
    }
    if (parallel.given) run.parallelScans = parallel.value;
  }
  run.consoleMode = run.parameterString.find_first_of("#@$%") != std::string::npos;
  return result;
}

}  // namespace vendralith

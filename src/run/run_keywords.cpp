#include "run/run_keywords.h"

#include "run/limit_keywords.h"
#include "run/parallel_run.h"
#include "run/run_deadline.h"
#include "run/trend_keyword.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

constexpr std::string_view kCredentialKeyword = ",CRED=";
constexpr const char* kCredentialError =
    "Error 1023: Parameter CRED= must be WINDOWS, LINUX or SNC !";

}  // namespace

std::string ApplyValueKeywords(std::string_view parameterString, bool multiSystem,
                               RunSettings& settings) {
  // A value that cannot be kept must not be dropped without a word.
  if (const NumberKeyword timeout = ReadTimeout(parameterString); timeout.given) {
    if (timeout.value == 0) return kTimeoutError;
    settings.timeoutSeconds = timeout.value;
  }
  if (multiSystem) {
    if (const NumberKeyword parallel = ReadParallel(parameterString); parallel.given) {
      if (parallel.value == 0) return kParallelError;
      settings.parallelScans = parallel.value;
    }
  }
  if (const NumberKeyword warn = ReadWarnLimit(parameterString); warn.given) {
    if (warn.value == 0) return kWarnLimitError;
    settings.channelLimits.maxWarning = warn.value;
  }
  if (const NumberKeyword error = ReadErrorLimit(parameterString); error.given) {
    if (error.value == 0) return kErrorLimitError;
    settings.channelLimits.maxError = error.value;
  }
  if (const auto at = parameterString.find(kCredentialKeyword); at != std::string_view::npos) {
    const auto source =
        CredentialSourceNamed(ParameterValue(parameterString, at + kCredentialKeyword.size()));
    if (!source) return kCredentialError;
    settings.credentials = *source;
  }
  if (const TrendKeyword trend = ReadTrendKeyword(parameterString); trend.given) {
    if (!trend.valid) return kTrendError;
    settings.trend = true;
    settings.trendHours = trend.hours;
  }
  return "";
}

std::string CheckResultingValues(const RunSettings& settings,
                                 const EnvironmentLookup& environment) {
  // In a global run the sensor's own values where it gives them, else the
  // command line's.
  if (!LimitsInOrder(settings.channelLimits)) return kLimitOrderError;
  // Before any logon, and in a multi-system run before its first system.
  return CheckHostCredentials(settings.credentials, environment);
}

}  // namespace vendralith

#include "run/run_keywords.h"

#include "run/parallel_run.h"
#include "run/run_deadline.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

constexpr std::string_view kCredentialKeyword = ",CRED=";
constexpr const char* kCredentialError =
    "Error 1023: Parameter CRED= must be WINDOWS, LINUX or SNC !";

}  // namespace

std::string ApplyValueKeywords(std::string_view parameterString, bool multiSystem,
                               RunSettings& settings, const EnvironmentLookup& environment) {
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
  if (const auto at = parameterString.find(kCredentialKeyword); at != std::string_view::npos) {
    const auto source =
        CredentialSourceNamed(ParameterValue(parameterString, at + kCredentialKeyword.size()));
    if (!source) return kCredentialError;
    settings.credentials = *source;
  }
  // Before any logon, and in a multi-system run before its first system.
  return CheckHostCredentials(settings.credentials, environment);
}

}  // namespace vendralith

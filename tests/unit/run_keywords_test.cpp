#include "run/run_keywords.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace vendralith {
namespace {

constexpr const char* kWarn = "Error 1020: Parameter WARN= must be 1 to 100 !";
constexpr const char* kError = "Error 1021: Parameter ERROR= must be 1 to 100 !";
constexpr const char* kOrder = "Error 1022: Parameter WARN= must be below ERROR= !";
constexpr const char* kCred = "Error 1023: Parameter CRED= must be WINDOWS, LINUX or SNC !";

// Only the Windows pair of the monitoring host is set.
std::optional<std::string> WindowsPairOnly(const char* name) {
  static const std::map<std::string, std::string> pair = {{"prtg_windowsuser", "monitor"},
                                                          {"prtg_windowspassword", "pw4host"}};
  const auto found = pair.find(name);
  return found == pair.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// A run's checks from one place, as a single-system run makes them.
std::string CheckOnePlace(std::string_view parameterString, bool multiSystem,
                          RunSettings& settings) {
  std::string error = ApplyValueKeywords(parameterString, multiSystem, settings);
  return error.empty() ? CheckResultingValues(settings, WindowsPairOnly) : error;
}

TEST(ApplyValueKeywords, ChecksInOrderAndSetsWhatIsGiven) {
  constexpr const char* kTimeout = "Error 1017: Parameter TIMEOUT= must be 1 to 900 seconds !";
  constexpr const char* kParallel = "Error 1019: Parameter PARALLEL= must be 1 to 16 !";
  struct Case {
    const char* parameterString;
    bool multiSystem;
    const char* error;  // "" when the run goes on
    int timeoutSeconds;
    int parallelScans;
    int maxWarning;
    int maxError;
  } cases[] = {
      {"PERCENT", true, "", 0, 1, 0, 0},                       // none given: the defaults
      {",TIMEOUT=30,PARALLEL=4", true, "", 30, 4, 0, 0},       // both set
      {",PARALLEL=4", false, "", 0, 1, 0, 0},                  // a single-system run ignores it
      {",PARALLEL=99", false, "", 0, 1, 0, 0},                 // whatever its value
      {",PARALLEL=99", true, kParallel, 0, 0, 0, 0},           //
      {",TIMEOUT=0,PARALLEL=99", true, kTimeout, 0, 0, 0, 0},  // the deadline comes first
      {"PERCENT,WARN=80,ERROR=95", false, "", 0, 1, 80, 95},   // limits in a single-system run too
      {",ERROR=95 PERCENT,WARN=80", true, "", 0, 1, 80, 95},   // in any order
      {",WARN=80", false, "", 0, 1, 80, 0},                    // each alone
      {",ERROR=95", true, "", 0, 1, 0, 95},                    //
      {",WARN=1,ERROR=100", false, "", 0, 1, 1, 100},          // the bounds
      {",WARN=007,ERROR=0100", false, "", 0, 1, 7, 100},       // leading zeros do not count
      {",WARN=", false, kWarn, 0, 0, 0, 0},                    // missing
      {",WARN=,ERROR=95", true, kWarn, 0, 0, 0, 0},            // missing before the next keyword
      {",WARN=HIGH", false, kWarn, 0, 0, 0, 0},                // letters
      {",WARN=0", false, kWarn, 0, 0, 0, 0},                   // out of range
      {",WARN=-5", false, kWarn, 0, 0, 0, 0},                  // negative
      {",ERROR=101", false, kError, 0, 0, 0, 0},               //
      {",ERROR=9X", true, kError, 0, 0, 0, 0},                 //
      {",WARN=95,ERROR=95", false, kOrder, 0, 0, 0, 0},        // equal
      {",WARN=96,ERROR=95", true, kOrder, 0, 0, 0, 0},         // above
      {",WARN=0,ERROR=0", false, kWarn, 0, 0, 0, 0},           // WARN before ERROR
      {",WARN=101,ERROR=95", false, kWarn, 0, 0, 0, 0},        // each value before the pair
      {",TIMEOUT=0,WARN=0", false, kTimeout, 0, 0, 0, 0},      // the deadline first
      {",PARALLEL=0,ERROR=0", true, kParallel, 0, 0, 0, 0},    // then ",PARALLEL="
      {",PARALLEL=0,ERROR=0", false, kError, 0, 0, 0, 0},      // which a single-system run ignores
      {",WARN=96,ERROR=95,CRED=NTLM", false, kCred, 0, 0, 0, 0},  // each value before the pair
  };
  for (const Case& c : cases) {
    RunSettings settings;
    EXPECT_EQ(CheckOnePlace(c.parameterString, c.multiSystem, settings), c.error)
        << c.parameterString;
    if (*c.error != '\0') continue;
    EXPECT_EQ(settings.timeoutSeconds, c.timeoutSeconds) << c.parameterString;
    EXPECT_EQ(settings.parallelScans, c.parallelScans) << c.parameterString;
    EXPECT_EQ(settings.channelLimits.maxWarning, c.maxWarning) << c.parameterString;
    EXPECT_EQ(settings.channelLimits.maxError, c.maxError) << c.parameterString;
  }
}

TEST(CheckResultingValues, LookAtTheValuesThatCountInAGlobalRun) {
  // In a global run the sensor's own parameters come second: a value of
  // theirs replaces the command line's. Each value is checked where it is
  // read; the pair and the host's credentials once both places are read.
  const char* kWindowsMissing =
      "Error 1031: Credentials of the monitoring host missing (prtg_windowsuser, "
      "prtg_windowspassword)...";
  const EnvironmentLookup noHostPair = [](const char*) { return std::optional<std::string>(); };
  struct Case {
    const char* commandLine;
    const char* sensor;
    const char* error;
    int maxWarning;
    int maxError;
    CredentialSource credentials;
  } cases[] = {
      {",WARN=80,ERROR=95", ",WARN=70", "", 70, 95, CredentialSource::Profile},  // the sensor's
      {",WARN=90", ",ERROR=95", "", 90, 95, CredentialSource::Profile},          // one from each
      {",WARN=90,ERROR=80", ",WARN=70", "", 70, 80,
       CredentialSource::Profile},                                         // not the line's pair
      {",WARN=90", ",ERROR=85", kOrder, 0, 0, CredentialSource::Profile},  // the pair after both
      {",WARN=80,ERROR=95", ",ERROR=50", kOrder, 0, 0, CredentialSource::Profile},  //
      {",WARN=80", ",WARN=0", kWarn, 0, 0,
       CredentialSource::Profile},  // a bad value of the sensor's
      {",WARN=0", ",WARN=70", kWarn, 0, 0,
       CredentialSource::Profile},  // of the line's, replaced or not
      {",CRED=WINDOWS", ",CRED=SNC", "", 0, 0,
       CredentialSource::SingleSignOn},  // no host pair needed
      {",CRED=SNC", ",CRED=WINDOWS", kWindowsMissing, 0, 0, CredentialSource::Profile},  //
      {",CRED=NTLM", ",CRED=SNC", kCred, 0, 0, CredentialSource::Profile},  // a bad line's value
  };
  for (const Case& c : cases) {
    RunSettings settings;
    std::string error = ApplyValueKeywords(c.commandLine, true, settings);
    if (error.empty()) error = ApplyValueKeywords(c.sensor, true, settings);
    if (error.empty()) error = CheckResultingValues(settings, noHostPair);
    EXPECT_EQ(error, c.error) << c.commandLine << " " << c.sensor;
    if (*c.error != '\0') continue;
    EXPECT_EQ(settings.channelLimits.maxWarning, c.maxWarning) << c.sensor;
    EXPECT_EQ(settings.channelLimits.maxError, c.maxError) << c.sensor;
    EXPECT_EQ(settings.credentials, c.credentials) << c.sensor;
  }
}

TEST(ApplyValueKeywords, KeepsWhatTheParametersDoNotSet) {
  // The sensor's own parameters in a global run: the command line's values
  // stay where its line gives none.
  RunSettings settings;
  settings.timeoutSeconds = 55;
  settings.parallelScans = 8;
  EXPECT_EQ(ApplyValueKeywords("PERCENT,PARALLEL=2", true, settings), "");
  EXPECT_EQ(settings.timeoutSeconds, 55);
  EXPECT_EQ(settings.parallelScans, 2);
}

TEST(ApplyValueKeywords, CredentialsAndTheHostsPair) {
  const char* kLinuxMissing =
      "Error 1031: Credentials of the monitoring host missing (prtg_linuxuser, "
      "prtg_linuxpassword)...";
  const struct {
    const char* parameterString;  // upper case, as the run searches it
    const char* error;            // "" when the run goes on
    CredentialSource credentials;
  } cases[] = {
      {"PERCENT", "", CredentialSource::Profile},            // none given: the profile's
      {",CRED=WINDOWS", "", CredentialSource::HostWindows},  // the pair is set
      {"PERCENT,CRED=WINDOWS,SYSLOG", "", CredentialSource::HostWindows},  // ends at a comma
      {",CRED=SNC $", "", CredentialSource::SingleSignOn},                 // ends at a blank
      {",CRED=LINUX", kLinuxMissing, CredentialSource::Profile},  // only the other pair is set
      {",CRED=", kCred, CredentialSource::Profile},               // no value
      {",CRED=NTLM", kCred, CredentialSource::Profile},           // another value
      {",CRED=WINDOWS2", kCred, CredentialSource::Profile},       // more than the value
      {"CRED=WINDOWS", "", CredentialSource::Profile},            // no keyword without its comma
      {",TIMEOUT=0,CRED=NTLM", "Error 1017: Parameter TIMEOUT= must be 1 to 900 seconds !",
       CredentialSource::Profile},                                    // the deadline comes first
      {",CRED=NTLM,CRED=WINDOWS", kCred, CredentialSource::Profile},  // the first one counts
  };
  for (const auto& c : cases) {
    RunSettings settings;
    EXPECT_EQ(CheckOnePlace(c.parameterString, false, settings), c.error) << c.parameterString;
    if (*c.error == '\0') {
      EXPECT_EQ(settings.credentials, c.credentials) << c.parameterString;
    }
  }
}

}  // namespace
}  // namespace vendralith

#include "run/run_keywords.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace vendralith {
namespace {

TEST(ApplyValueKeywords, ChecksInOrderAndSetsWhatIsGiven) {
  struct Case {
    const char* parameterString;
    bool multiSystem;
    const char* error;  // "" when the run goes on
    int timeoutSeconds;
    int parallelScans;
  } cases[] = {
      {"PERCENT", true, "", 0, 1},                  // none given: the defaults
      {",TIMEOUT=30,PARALLEL=4", true, "", 30, 4},  // both set
      {",PARALLEL=4", false, "", 0, 1},             // a single-system run ignores it
      {",PARALLEL=99", false, "", 0, 1},            // whatever its value
      {",PARALLEL=99", true, "Error 1019: Parameter PARALLEL= must be 1 to 16 !", 0, 1},
      {",TIMEOUT=0,PARALLEL=99", true,  // the deadline comes first
       "Error 1017: Parameter TIMEOUT= must be 1 to 900 seconds !", 0, 1},
  };
  for (const Case& c : cases) {
    RunSettings settings;
    EXPECT_EQ(ApplyValueKeywords(c.parameterString, c.multiSystem, settings), c.error)
        << c.parameterString;
    if (*c.error != '\0') continue;
    EXPECT_EQ(settings.timeoutSeconds, c.timeoutSeconds) << c.parameterString;
    EXPECT_EQ(settings.parallelScans, c.parallelScans) << c.parameterString;
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
  const std::map<std::string, std::string> windowsPair = {{"prtg_windowsuser", "monitor"},
                                                          {"prtg_windowspassword", "pw4host"}};
  const EnvironmentLookup windowsOnly = [&windowsPair](const char* name) {
    const auto found = windowsPair.find(name);
    return found == windowsPair.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  const char* kCred = "Error 1023: Parameter CRED= must be WINDOWS, LINUX or SNC !";
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
    EXPECT_EQ(ApplyValueKeywords(c.parameterString, false, settings, windowsOnly), c.error)
        << c.parameterString;
    if (*c.error == '\0') {
      EXPECT_EQ(settings.credentials, c.credentials) << c.parameterString;
    }
  }
}

}  // namespace
}  // namespace vendralith

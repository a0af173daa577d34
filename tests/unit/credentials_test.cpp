#include "profile/credentials.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "rfc/logon.h"

namespace vendralith {
namespace {

// The monitoring host's variables of a case, as the process would have them.
EnvironmentLookup Environment(const std::map<std::string, std::string>& variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

const std::string kForty = "Forty-Characters-0123456789-abcdefghijkl";

TEST(CredentialSourceNamed, TheThreeValues) {
  EXPECT_EQ(CredentialSourceNamed("WINDOWS"), CredentialSource::HostWindows);
  EXPECT_EQ(CredentialSourceNamed("LINUX"), CredentialSource::HostLinux);
  EXPECT_EQ(CredentialSourceNamed("SNC"), CredentialSource::SingleSignOn);
  for (const char* other : {"", "PROFILE", "WINDOWSX", "windows", "NTLM"}) {
    EXPECT_FALSE(CredentialSourceNamed(other).has_value()) << other;
  }
}

TEST(CheckHostCredentials, BothVariablesOfThePairMustHoldSomething) {
  const std::string windows =
      "Error 1031: Credentials of the monitoring host missing (prtg_windowsuser, "
      "prtg_windowspassword)...";
  const std::string linux =
      "Error 1031: Credentials of the monitoring host missing (prtg_linuxuser, "
      "prtg_linuxpassword)...";
  const struct {
    CredentialSource source;
    std::map<std::string, std::string> variables;
    std::string error;
    const char* why;
  } cases[] = {
      {CredentialSource::HostWindows,
       {{"prtg_windowsuser", "monitor"}, {"prtg_windowspassword", "pw"}},
       "",
       "the pair is set"},
      {CredentialSource::HostWindows, {{"prtg_windowsuser", "monitor"}}, windows, "no password"},
      {CredentialSource::HostWindows,
       {{"prtg_windowsuser", "monitor"}, {"prtg_windowspassword", ""}},
       windows,
       "an empty password"},
      {CredentialSource::HostWindows,
       {{"prtg_windowsuser", ""}, {"prtg_windowspassword", "pw"}},
       windows,
       "an empty user"},
      {CredentialSource::HostLinux,
       {{"prtg_windowsuser", "monitor"}, {"prtg_windowspassword", "pw"}},
       linux,
       "the other pair is set, not the one asked for"},
      {CredentialSource::HostLinux,
       {{"prtg_linuxuser", "monitor"}, {"prtg_linuxpassword", "pw"}},
       "",
       "the Linux pair"},
      {CredentialSource::Profile, {}, "", "the profile's: the host's are not needed"},
      {CredentialSource::SingleSignOn, {}, "", "single sign-on: none are needed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckHostCredentials(c.source, Environment(c.variables)), c.error) << c.why;
  }
}

TEST(ApplyCredentials, FillsTheEntryFromItsSource) {
  const std::map<std::string, std::string> host = {{"prtg_windowsuser", "monitor"},
                                                   {"prtg_windowspassword", "Win Pass:1"},
                                                   {"prtg_windowsdomain", "CORP"},
                                                   {"prtg_linuxuser", "LinMon"},
                                                   {"prtg_linuxpassword", kForty}};
  const struct {
    CredentialSource source;
    const char* user;
    std::string password;
    bool singleSignOn;
    const char* logged;  // what the call log says
    const char* why;
  } cases[] = {
      {CredentialSource::Profile, "PROFILEUSER", "profile1", false, "", "the profile's stay"},
      {CredentialSource::HostWindows, "MONITOR", "Win Pass:1", false,
       "from prtg_windowsuser/prtg_windowspassword, user MONITOR",
       "the user upper case, the password exactly as given; no domain"},
      {CredentialSource::HostLinux, "LINMON", kForty, false,
       "from prtg_linuxuser/prtg_linuxpassword, user LINMON", "40 characters, whole"},
      {CredentialSource::SingleSignOn, "", "", true, "SNC single sign-on, no user and no password",
       "neither, and the entry says so"},
  };
  for (const auto& c : cases) {
    SystemEntry entry;
    entry.user = "PROFILEUSER";
    entry.password = "profile1";
    EXPECT_EQ(ApplyCredentials(entry, c.source, Environment(host)), c.logged) << c.why;
    EXPECT_EQ(entry.user, c.user) << c.why;
    EXPECT_EQ(entry.password, c.password) << c.why;
    EXPECT_EQ(entry.singleSignOn, c.singleSignOn) << c.why;
  }
}

TEST(SingleSignOnRefusal, NeedsSncSwitchedOnForTheDestination) {
  const std::string refused = " - CRED=SNC needs SNC_MODE=1 in SapRfc.PRD";
  const std::string snc = "DEST=PRD\nASHOST=sapprd\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD\n";
  const struct {
    bool singleSignOn;
    std::optional<std::string> file;  // SapRfc.PRD
    std::string note;
    const char* why;
  } cases[] = {
      {true, snc, "", "SNC on with the partner's name"},
      {true, "* SNC\r\ndest = prd\r\n  snc_mode = 1 \r\nsnc_partnername=p:CN=PRD, O=X\r\n", "",
       "names and blanks as the library reads them"},
      {true, std::nullopt, refused, "no destination file"},
      {true, "DEST=PRD\nASHOST=sapprd\n", refused, "an entry without SNC"},
      {true, "DEST=PRD\nSNC_MODE=0\nSNC_PARTNERNAME=p:CN=PRD\n", refused, "SNC off"},
      {true, "DEST=PRD\nSNC_MODE=1\nSNC_PARTNERNAME=\n", refused, "no partner name"},
      {true, "DEST=QAS\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=QAS\nDEST=PRD\nASHOST=sapprd\n", refused,
       "SNC in another destination's entry only"},
      {true, "#DEST=PRD\n#SNC_MODE=1\n#SNC_PARTNERNAME=p:CN=PRD\n", refused, "comments only"},
      {false, std::nullopt, "", "a logon that names a user needs no SNC"},
  };
  for (const auto& c : cases) {
    SystemEntry entry;
    entry.destination = "PRD";
    entry.singleSignOn = c.singleSignOn;
    EXPECT_EQ(SingleSignOnRefusal(entry, c.file), c.note) << c.why;
  }
}

}  // namespace
}  // namespace vendralith

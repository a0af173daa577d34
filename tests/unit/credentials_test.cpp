#include "profile/credentials.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

// One row of the host's values and what the check answers.
struct HostCase {
  std::string user;
  std::string password;
  EnvironmentText form;
  std::string error;
  const char* why;
};

TEST(CredentialSourceNamed, TheThreeValues) {
  EXPECT_EQ(CredentialSourceNamed("WINDOWS"), CredentialSource::HostWindows);
  EXPECT_EQ(CredentialSourceNamed("LINUX"), CredentialSource::HostLinux);
  EXPECT_EQ(CredentialSourceNamed("SNC"), CredentialSource::SingleSignOn);
  for (const char* other : {"", "PROFILE", "WINDOWSX", "windows", "NTLM"}) {
    EXPECT_FALSE(CredentialSourceNamed(other).has_value()) << other;
  }
}

TEST(HostCredentialVariables, EveryPairsUserAndPassword) {
  EXPECT_EQ(HostCredentialVariables(),
            (std::vector<std::string>{"prtg_windowsuser", "prtg_windowspassword", "prtg_linuxuser",
                                      "prtg_linuxpassword"}));
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
      {CredentialSource::HostWindows,
       {{"prtg_windowsuser", "   "}, {"prtg_windowspassword", "pw"}},
       windows,
       "a user of only blanks is none"},
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

TEST(CheckHostCredentials, RefusesValuesThatCannotBeRight) {
  const std::string user = "prtg_windowsuser";
  const std::string password = "prtg_windowspassword";
  const auto unusable = [](const std::string& variable, const char* reason) {
    return "Error 1032: Credentials of the monitoring host unusable (" + variable + ": " + reason +
           ")...";
  };
  const std::string longer12 = unusable(user, "longer than 12 characters");
  const std::string longer40 = unusable(password, "longer than 40 characters");
  const std::string userControl = unusable(user, "a control character");
  const std::string passwordControl = unusable(password, "a control character");
  const std::string blank = unusable(user, "a blank");
  const std::string key = "\xF0\x9F\x94\x91";  // U+1F511: two UTF-16 code units
  const auto bytes = EnvironmentText::Bytes;
  const auto utf16 = EnvironmentText::Utf8FromUtf16;
  const HostCase cases[] = {
      {"lookout", kForty, bytes, "", "40 characters"},
      {"lookout", kForty + "x", bytes, longer40, "41 characters"},
      {"lookout", "Watch4Logs\n", bytes, passwordControl, "a trailing line feed"},
      {"lookout", std::string(39, 'x') + "\n", bytes, passwordControl,
       "the line feed named, not the length"},
      {"lookout", "Watch\x7f", bytes, passwordControl, "DEL"},
      {"lookout", "Watch\t4", bytes, passwordControl, "a tab"},
      {"lookout", " Watch 4 Logs ", bytes, "", "blanks in a password, even at its ends"},
      {"look\tout", "pw", bytes, userControl, "a tab in the user"},
      {"look out", "pw", bytes, blank, "a blank inside the user"},
      {"  lookout  ", "pw", bytes, "", "blanks around the user do not count"},
      {"MONITOR12345", "pw", bytes, "", "a user of 12 characters"},
      {"MONITOR123456", "pw", bytes, longer12, "13 characters"},
      {"M\xC3\x9CLLER-\xC3\x84\xC3\x96\xC3\x9C"
       "12",
       "pw", bytes, "", "12 characters in 16 bytes of UTF-8"},
      {"lookout", std::string(40, '\xFC'), bytes, "", "40 bytes of another code page"},
      {"lookout", std::string(20, 'x') + key + key + key + std::string(17, 'y'), bytes, "",
       "40 characters, three beyond U+FFFF: 40 on Linux"},
      {"lookout", std::string(20, 'x') + key + key + key + std::string(17, 'y'), utf16, longer40,
       "and 43 UTF-16 code units on Windows"},
      {"look\tout", kForty + "x", bytes, userControl, "the user first"},
  };
  for (const auto& c : cases) {
    const std::map<std::string, std::string> variables = {{user, c.user}, {password, c.password}};
    const std::string error =
        CheckHostCredentials(CredentialSource::HostWindows, Environment(variables), c.form);
    EXPECT_EQ(error, c.error) << c.why;
    // No part of a value: not even a letter of it.
    EXPECT_EQ(error.find("ookout"), std::string::npos) << c.why;
    EXPECT_EQ(error.find("Watch"), std::string::npos) << c.why;
  }
}

TEST(CheckHostCredentialsInCodePage, OnlyExactTextForAnEightBitLibrary) {
  const std::string outside =
      "Error 1032: Credentials of the monitoring host unusable (prtg_windowspassword: a "
      "character outside the code page)...";
  const std::string polish = "\xC5\x81\xC3\xB3\x64\xC5\xBA";  // U+0141 is no letter of Windows-1252
  const HostCase cases[] = {
      {"monitor",
       "Pr\xC3\xBC"
       "fung",
       EnvironmentText::Utf8FromUtf16, "", "letters of the code page"},
      {"monitor", polish, EnvironmentText::Utf8FromUtf16, outside, "a letter it lacks"},
      {"  monitor ", "pw", EnvironmentText::Utf8FromUtf16, "", "the user without its blanks"},
      {"\xC5\x81ukasz", "pw", EnvironmentText::Utf8FromUtf16,
       "Error 1032: Credentials of the monitoring host unusable (prtg_windowsuser: a character "
       "outside the code page)...",
       "in the user"},
      {"monitor", polish, EnvironmentText::Bytes, "", "bytes go as they are"},
  };
  for (const auto& c : cases) {
    const std::map<std::string, std::string> variables = {{"prtg_windowsuser", c.user},
                                                          {"prtg_windowspassword", c.password}};
    EXPECT_EQ(CheckHostCredentialsInCodePage(CredentialSource::HostWindows, Environment(variables),
                                             c.form),
              c.error)
        << c.why;
  }
  EXPECT_EQ(CheckHostCredentialsInCodePage(CredentialSource::Profile, Environment({}),
                                           EnvironmentText::Utf8FromUtf16),
            "");
}

TEST(ApplyCredentials, FillsTheEntryFromItsSource) {
  const std::map<std::string, std::string> host = {{"prtg_windowsuser", "monitor"},
                                                   {"prtg_windowspassword", "Win Pass:1"},
                                                   {"prtg_windowsdomain", "CORP"},
                                                   {"prtg_linuxuser", " LinMon  "},
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
       "from prtg_linuxuser/prtg_linuxpassword, user LINMON",
       "40 characters, whole; the user without the blanks around it"},
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
    EXPECT_FALSE(entry.utf8Credentials) << c.why;
  }
}

TEST(ApplyCredentials, MarksTheHostsExactText) {
  const std::map<std::string, std::string> host = {{"prtg_windowsuser", "monitor"},
                                                   {"prtg_windowspassword", "\xC5\x81\xC3\xB3"}};
  for (const auto form : {EnvironmentText::Bytes, EnvironmentText::Utf8FromUtf16}) {
    SystemEntry entry;
    (void)ApplyCredentials(entry, CredentialSource::HostWindows, Environment(host), form);
    EXPECT_EQ(entry.password, "\xC5\x81\xC3\xB3");
    EXPECT_EQ(entry.utf8Credentials, form == EnvironmentText::Utf8FromUtf16);
  }
}

TEST(CredentialsInAnsiCodePage, ConvertsExactTextOrRefuses) {
  const struct {
    std::string user;
    std::string password;
    bool utf8Credentials;
    bool converted;
    std::string ansiUser;
    std::string ansiPassword;
    const char* why;
  } cases[] = {
      {"MONITOR",
       "Pr\xC3\xBC"
       "f\xE2\x82\xAC",
       true, true, "MONITOR",
       "Pr\xFC"
       "f\x80",
       "letters of the code page"},
      {"MONITOR", "\xC3\x83\xC2\xA9", true, true, "MONITOR", "\xC3\xA9",
       "the characters, not the bytes"},
      {"MONITOR", "\xC5\x81\xC3\xB3", true, false, "", "", "a letter it lacks"},
      {"MONITOR", "\xC3\xA9", false, true, "MONITOR", "\xC3\xA9", "a profile's: as it stands"},
  };
  for (const auto& c : cases) {
    SystemEntry entry;
    entry.user = c.user;
    entry.password = c.password;
    entry.utf8Credentials = c.utf8Credentials;
    EXPECT_EQ(CredentialsInAnsiCodePage(entry), c.converted) << c.why;
    EXPECT_FALSE(entry.utf8Credentials && c.converted) << c.why;
    if (!c.converted) {
      EXPECT_EQ(entry.password, "") << c.why;
      continue;
    }
    EXPECT_EQ(entry.user, c.ansiUser) << c.why;
    EXPECT_EQ(entry.password, c.ansiPassword) << c.why;
  }
}

TEST(SingleSignOnRefusal, NeedsSncSwitchedOnForTheDestination) {
  const std::string refused = " - CRED=SNC needs SNC_MODE=1 in SapRfc.PRD";
  const std::string partner = " - CRED=SNC needs SNC_PARTNERNAME in SapRfc.PRD";
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
      {true, "DEST=PRD\nSNC_MODE=1\nSNC_PARTNERNAME=\n", partner, "an empty partner name"},
      {true, "DEST=PRD\nASHOST=sapprd\nSNC_MODE=1\n", partner, "no partner name"},
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

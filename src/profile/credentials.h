// Where a logon's user and password come from: the profile, as always
// without a keyword; the monitoring host's credentials of the device, which
// it hands the sensor in its environment (",CRED=WINDOWS", ",CRED=LINUX");
// or nowhere: an SNC single sign-on logon names neither (",CRED=SNC"). The
// one place that decides it: the profile reader only learns whether the
// profile must hold them, and each binding sees an entry that holds
// credentials or says single sign-on.
#ifndef VENDRALITH_PROFILE_CREDENTIALS_H
#define VENDRALITH_PROFILE_CREDENTIALS_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_reader.h"
#include "system/environment.h"

namespace vendralith {

enum class CredentialSource { Profile, HostWindows, HostLinux, SingleSignOn };

// The source of a ",CRED=" value in upper case: WINDOWS, LINUX or SNC;
// nothing for any other value.
std::optional<CredentialSource> CredentialSourceNamed(std::string_view value);

// Whether the profile's "User.......:" and "Password...:" lines are the
// logon's, and so required.
CredentialLines CredentialLinesFor(CredentialSource source);

// The pair of variables the host sets for the source: user and password.
struct HostVariables {
  const char* user;
  const char* password;
};
std::optional<HostVariables> HostVariablesOf(CredentialSource source);

// The variables of every pair of the host, whatever the source: a scan
// process of a parallel run is started without them, since it gets its
// entry's credentials over its pipe.
std::vector<std::string> HostCredentialVariables();

// The host's credentials, checked before any logon, since every logon with
// a value that cannot be right counts as a failed one, and the system locks
// the user after a few. "Error 1031: Credentials of the monitoring host
// missing (USER-VARIABLE, PASSWORD-VARIABLE)..." when the source is the
// host's and either variable of its pair is unset or empty, or the user only
// blanks; "Error 1032: Credentials of the monitoring host unusable
// (VARIABLE: REASON)..." when the user, without its leading and trailing
// blanks, is not 1 to 12 characters without blanks and control characters,
// or the password not 1 to 40 characters without control characters (below
// U+0020, and U+007F); "" otherwise. form says how the values are held and
// their characters counted. The message never holds any part of a value.
std::string CheckHostCredentials(CredentialSource source, const EnvironmentLookup& environment,
                                 EnvironmentText form = EnvironmentTextForm());

// For a library that takes texts in the ANSI code page: 1032 with "a
// character outside the code page" when the host's values are exact UTF-8
// and one holds a character that the code page lacks, which would arrive as
// another one; "" otherwise (the bytes of POSIX go as they are).
std::string CheckHostCredentialsInCodePage(CredentialSource source,
                                           const EnvironmentLookup& environment,
                                           EnvironmentText form = EnvironmentTextForm());

// Gives the entry the logon's credentials: from the host, the user without
// its leading and trailing blanks and upper case as the profile reader
// makes it, the password exactly as given, in the form the environment
// holds them (utf8Credentials); for single sign-on neither, and the entry
// says so. The profile's own stay where they are the logon's. Returns what
// the call log may say of it (the variables and the user, never the
// password); "" for the profile's.
std::string ApplyCredentials(SystemEntry& entry, CredentialSource source,
                             const EnvironmentLookup& environment,
                             EnvironmentText form = EnvironmentTextForm());

// Turns the entry's exact UTF-8 user and password into the ANSI code page,
// for a library of 8-bit texts. False, with the password cleared, when a
// character is missing from the code page. An entry without
// utf8Credentials stays as it is.
bool CredentialsInAnsiCodePage(SystemEntry& entry);

}  // namespace vendralith

#endif

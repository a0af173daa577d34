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

// "Error 1031: Credentials of the monitoring host missing (USER-VARIABLE,
// PASSWORD-VARIABLE)..." when the source is the host's and either variable
// of its pair is unset or empty; "" otherwise.
std::string CheckHostCredentials(CredentialSource source, const EnvironmentLookup& environment);

// Gives the entry the logon's credentials: from the host, the user upper
// case as the profile reader makes it and the password exactly as given; for
// single sign-on neither, and the entry says so. The profile's own stay
// where they are the logon's. Returns what the call log may say of it (the
// variables and the user, never the password); "" for the profile's.
std::string ApplyCredentials(SystemEntry& entry, CredentialSource source,
                             const EnvironmentLookup& environment);

}  // namespace vendralith

#endif

#include "profile/credentials.h"

#include "system/secret_text.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

// The host's variable, or "" when it is unset.
std::string HostValue(const EnvironmentLookup& environment, const char* name) {
  return environment(name).value_or(std::string());
}

}  // namespace

std::optional<CredentialSource> CredentialSourceNamed(std::string_view value) {
  if (value == "WINDOWS") return CredentialSource::HostWindows;
  if (value == "LINUX") return CredentialSource::HostLinux;
  if (value == "SNC") return CredentialSource::SingleSignOn;
  return std::nullopt;
}

CredentialLines CredentialLinesFor(CredentialSource source) {
  return source == CredentialSource::Profile ? CredentialLines::Required
                                             : CredentialLines::NotRequired;
}

std::optional<HostVariables> HostVariablesOf(CredentialSource source) {
  switch (source) {
    case CredentialSource::HostWindows:
      return HostVariables{"prtg_windowsuser", "prtg_windowspassword"};
    case CredentialSource::HostLinux:
      return HostVariables{"prtg_linuxuser", "prtg_linuxpassword"};
    case CredentialSource::Profile:
    case CredentialSource::SingleSignOn:
      break;
  }
  return std::nullopt;
}

std::string CheckHostCredentials(CredentialSource source, const EnvironmentLookup& environment) {
  const std::optional<HostVariables> host = HostVariablesOf(source);
  if (!host) return "";
  std::string password = HostValue(environment, host->password);
  const bool missing = HostValue(environment, host->user).empty() || password.empty();
  ClearSecret(password);
  if (!missing) return "";
  return std::string("Error 1031: Credentials of the monitoring host missing (") + host->user +
         ", " + host->password + ")...";
}

std::string ApplyCredentials(SystemEntry& entry, CredentialSource source,
                             const EnvironmentLookup& environment) {
  if (source == CredentialSource::Profile) return "";
  // Whatever the profile held is not the logon's.
  ClearSecret(entry.password);
  if (source == CredentialSource::SingleSignOn) {
    entry.user.clear();
    entry.singleSignOn = true;
    return "SNC single sign-on, no user and no password";
  }
  const std::optional<HostVariables> host = HostVariablesOf(source);
  if (!host) return "";
  entry.user = UpperCase(HostValue(environment, host->user));
  std::optional<std::string> password = environment(host->password);
  if (password) {
    entry.password.swap(*password);  // one copy: the lookup's goes empty
    ClearSecret(*password);
  }
  entry.singleSignOn = false;
  return std::string("from ") + host->user + "/" + host->password + ", user " + entry.user;
}

}  // namespace vendralith

#include "profile/credentials.h"

#include "system/code_page.h"
#include "system/secret_text.h"
#include "system/text_helpers.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

// The most an SAP system takes.
constexpr std::size_t kMostUserCharacters = 12;
constexpr std::size_t kMostPasswordCharacters = 40;

// The host's variable, or "" when it is unset.
std::string HostValue(const EnvironmentLookup& environment, const char* name) {
  return environment(name).value_or(std::string());
}

// The user as the host's variable gives it: a blank at either end is no
// part of a user.
std::string_view WithoutOuterBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct TextFacts {
  std::size_t characters = 0;
  bool control = false;
  bool blank = false;
};

TextFacts Examine(std::string_view text, EnvironmentText form) {
  TextFacts facts;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {  // a byte of another code page: a character of its own
      ++facts.characters;
      ++at;
      continue;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    if (length == 1 && (lead < 0x20 || lead == 0x7F)) facts.control = true;
    if (lead == ' ') facts.blank = true;
    // Beyond U+FFFF, Windows holds two UTF-16 code units.
    facts.characters += length == 4 && form == EnvironmentText::Utf8FromUtf16 ? 2 : 1;
    at += length;
  }
  return facts;
}

// Why the value cannot be right; "" when it can.
std::string FaultOf(std::string_view value, std::size_t mostCharacters, bool blanksAllowed,
                    EnvironmentText form) {
  const TextFacts facts = Examine(value, form);
  if (facts.control) return "a control character";
  if (facts.blank && !blanksAllowed) return "a blank";
  if (facts.characters > mostCharacters) {
    return "longer than " + std::to_string(mostCharacters) + " characters";
  }
  return "";
}

std::string Unusable(const char* variable, const std::string& reason) {
  return std::string("Error 1032: Credentials of the monitoring host unusable (") + variable +
         ": " + reason + ")...";
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

std::vector<std::string> HostCredentialVariables() {
  std::vector<std::string> names;
  for (const auto source : {CredentialSource::HostWindows, CredentialSource::HostLinux}) {
    const std::optional<HostVariables> host = HostVariablesOf(source);
    if (host) names.insert(names.end(), {host->user, host->password});
  }
  return names;
}

std::string CheckHostCredentials(CredentialSource source, const EnvironmentLookup& environment,
                                 EnvironmentText form) {
  const std::optional<HostVariables> host = HostVariablesOf(source);
  if (!host) return "";
  const std::string user = HostValue(environment, host->user);
  std::string password = HostValue(environment, host->password);
  const std::string_view name = WithoutOuterBlanks(user);
  std::string error;
  if (name.empty() || password.empty()) {
    error = std::string("Error 1031: Credentials of the monitoring host missing (") + host->user +
            ", " + host->password + ")...";
  } else if (const std::string userFault = FaultOf(name, kMostUserCharacters, false, form);
             !userFault.empty()) {
    error = Unusable(host->user, userFault);
  } else if (const std::string passwordFault =
                 FaultOf(password, kMostPasswordCharacters, true, form);
             !passwordFault.empty()) {
    error = Unusable(host->password, passwordFault);
  }
  ClearSecret(password);
  return error;
}

std::string CheckHostCredentialsInCodePage(CredentialSource source,
                                           const EnvironmentLookup& environment,
                                           EnvironmentText form) {
  const std::optional<HostVariables> host = HostVariablesOf(source);
  if (!host || form == EnvironmentText::Bytes) return "";
  std::string error;
  for (const char* variable : {host->user, host->password}) {
    std::string value = HostValue(environment, variable);
    std::optional<std::string> ansi =
        Utf8ToAnsiExactly(variable == host->user ? WithoutOuterBlanks(value) : value);
    if (ansi) ClearSecret(*ansi);
    ClearSecret(value);
    if (!ansi && error.empty()) error = Unusable(variable, "a character outside the code page");
  }
  return error;
}

std::string ApplyCredentials(SystemEntry& entry, CredentialSource source,
                             const EnvironmentLookup& environment, EnvironmentText form) {
  if (source == CredentialSource::Profile) return "";
  // Whatever the profile held is not the logon's.
  ClearSecret(entry.password);
  entry.utf8Credentials = false;
  if (source == CredentialSource::SingleSignOn) {
    entry.user.clear();
    entry.singleSignOn = true;
    return "SNC single sign-on, no user and no password";
  }
  const std::optional<HostVariables> host = HostVariablesOf(source);
  if (!host) return "";
  entry.user = UpperCase(WithoutOuterBlanks(HostValue(environment, host->user)));
  std::optional<std::string> password = environment(host->password);
  if (password) {
    entry.password.swap(*password);  // one copy: the lookup's goes empty
    ClearSecret(*password);
  }
  entry.singleSignOn = false;
  entry.utf8Credentials = form == EnvironmentText::Utf8FromUtf16;
  return std::string("from ") + host->user + "/" + host->password + ", user " + entry.user;
}

bool CredentialsInAnsiCodePage(SystemEntry& entry) {
  if (!entry.utf8Credentials) return true;
  std::optional<std::string> user = Utf8ToAnsiExactly(entry.user);
  std::optional<std::string> password = Utf8ToAnsiExactly(entry.password);
  ClearSecret(entry.password);
  if (!user || !password) {
    if (password) ClearSecret(*password);
    return false;
  }
  entry.user = std::move(*user);
  entry.password.swap(*password);
  entry.utf8Credentials = false;
  return true;
}

}  // namespace vendralith

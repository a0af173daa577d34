#include "rfc/logon.h"

#include "rfc/connection.h"
#include "rfc/destination_entry.h"
#include "system/secret_text.h"

namespace vendralith {

void TakeCredentials(SystemEntry& entry, CredentialSource source, const CallLog& callLog) {
  const std::string detail = ApplyCredentials(entry, source, EnvironmentValue);
  if (!detail.empty()) callLog.Write(0, "credentials", detail);
}

std::string CheckCredentialsForLibrary(const RfcSession& session, CredentialSource source) {
  if (!session.TakesAnsiTexts()) return "";
  return CheckHostCredentialsInCodePage(source, EnvironmentValue);
}

std::string SingleSignOnRefusal(const SystemEntry& entry,
                                const std::optional<std::string>& destinationFile) {
  if (!entry.singleSignOn) return "";
  const auto lines =
      destinationFile ? DestinationEntry(*destinationFile, entry.destination) : std::nullopt;
  // Named by what is missing: the setting that is there is no help.
  if (!lines || DestinationValue(*lines, "SNC_MODE") != "1") {
    return " - CRED=SNC needs SNC_MODE=1 in SapRfc." + entry.destination;
  }
  if (DestinationValue(*lines, "SNC_PARTNERNAME").value_or("").empty()) {
    return " - CRED=SNC needs SNC_PARTNERNAME in SapRfc." + entry.destination;
  }
  return "";
}

LogonOutcome LogOnAndForgetPassword(RfcSession& session, SystemEntry& entry,
                                    const std::string& parameterString, bool consoleMode,
                                    const CallLog& callLog) {
  if (entry.singleSignOn) {
    const std::optional<std::string> destinationFile = ReadDestinationFile(entry);
    if (std::string refusal = SingleSignOnRefusal(entry, destinationFile); !refusal.empty()) {
      // The destination file's steps as for any logon through it, so that
      // SapRfc.ini is left as a logon that the library refused leaves it.
      if (destinationFile &&
          !LogOnThroughDestinationFile(entry, *destinationFile, consoleMode, [] {})) {
        refusal = kDestinationUnwritableNote;
      }
      callLog.Write(0, "logon not tried", std::string_view(refusal).substr(3));
      return {false, std::move(refusal)};
    }
  }
  // The run has refused such credentials before its first logon
  // (CheckHostCredentialsInCodePage); what cannot go exactly never goes.
  if (session.TakesAnsiTexts() && !CredentialsInAnsiCodePage(entry)) {
    callLog.Write(0, "logon not tried", "a character outside the code page");
    return {false, " - a character outside the code page"};
  }
  LogonOutcome outcome = session.LogOn(entry, parameterString, consoleMode, callLog);
  ClearSecret(entry.password);
  return outcome;
}

}  // namespace vendralith

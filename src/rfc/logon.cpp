#include "rfc/logon.h"

#include "rfc/connection.h"
#include "rfc/destination_entry.h"
#include "system/secret_text.h"

namespace vendralith {

void TakeCredentials(SystemEntry& entry, CredentialSource source, const CallLog& callLog) {
  const std::string detail = ApplyCredentials(entry, source, EnvironmentValue);
  if (!detail.empty()) callLog.Write(0, "credentials", detail);
}

std::string SingleSignOnRefusal(const SystemEntry& entry,
                                const std::optional<std::string>& destinationFile) {
  if (!entry.singleSignOn) return "";
  const auto lines =
      destinationFile ? DestinationEntry(*destinationFile, entry.destination) : std::nullopt;
  if (lines && DestinationValue(*lines, "SNC_MODE") == "1" &&
      !DestinationValue(*lines, "SNC_PARTNERNAME").value_or("").empty()) {
    return "";
  }
  return " - CRED=SNC needs SNC_MODE=1 in SapRfc." + entry.destination;
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
  LogonOutcome outcome = session.LogOn(entry, parameterString, consoleMode, callLog);
  ClearSecret(entry.password);
  return outcome;
}

}  // namespace vendralith

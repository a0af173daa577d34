// A system's logon, whichever library the run uses: where the entry's
// credentials go to the binding, and are forgotten once the logon has
// returned. A single sign-on logon goes only through a destination file that
// switches SNC on for the destination: without one the system would be
// asked for a logon without a user, so none is tried.
#ifndef VENDRALITH_RFC_LOGON_H
#define VENDRALITH_RFC_LOGON_H

#include <optional>
#include <string>

#include "profile/credentials.h"
#include "profile/profile_reader.h"
#include "rfc/call_log.h"
#include "rfc/rfc_session.h"

namespace vendralith {

// Gives the entry the logon's credentials from the source (ApplyCredentials
// over this process's environment) and logs where they came from.
void TakeCredentials(SystemEntry& entry, CredentialSource source, const CallLog& callLog);

// 1032 when the session's library takes texts in the ANSI code page and
// the host's credentials hold a character that it lacks
// (CheckHostCredentialsInCodePage over this process's environment); ""
// otherwise. Once the library is bound, before the run's first logon.
std::string CheckCredentialsForLibrary(const RfcSession& session, CredentialSource source);

// The note after "Error 1011: RFC-Open for DEST failed !" when the entry's
// single sign-on logon cannot go: destinationFile (the content of
// SapRfc.<DEST>, nothing when there is none) has no entry for the
// destination that sets SNC_MODE=1, or one without SNC_PARTNERNAME: the
// note names what is missing. "" when it can, and for every logon that
// names a user.
std::string SingleSignOnRefusal(const SystemEntry& entry,
                                const std::optional<std::string>& destinationFile);

// Logs on for the entry through the session (SapRfc.<DEST> of the current
// folder decides the way, as RfcSession::LogOn says), then clears the
// entry's password. For a library of 8-bit texts the host's exact
// credentials go in the ANSI code page; one with a character that the code
// page lacks is not tried. A single sign-on logon that SingleSignOnRefusal refuses
// fails with its note, without reaching the library (SapRfc.<DEST>, where
// there is one, is copied over SapRfc.ini all the same, as before any logon
// through it).
LogonOutcome LogOnAndForgetPassword(RfcSession& session, SystemEntry& entry,
                                    const std::string& parameterString, bool consoleMode,
                                    const CallLog& callLog);

}  // namespace vendralith

#endif

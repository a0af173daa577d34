// The NetWeaver binding: the questions of rfc_session.h through
// sapnwrfc.dll's functions (netweaver_functions.h): connection parameters
// by name, function descriptions from the system's repository, rows through
// the table cursor, UTF-16 texts, and the note from the error's message.
#ifndef VENDRALITH_RFC_NETWEAVER_SESSION_H
#define VENDRALITH_RFC_NETWEAVER_SESSION_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rfc/netweaver_functions.h"
#include "rfc/rfc_session.h"

namespace vendralith {

// Connection parameters, names and values as the sensor has them (UTF-8 or
// the ANSI code page), in the order given to the library.
using ConnectionParameters = std::vector<std::pair<std::string, std::string>>;

// The profile way: ashost (",HOST=" before the profile's Hostname), sysnr
// (",NO=" before Sysnr, two digits), gwhost and gwserv when set, client,
// user, passwd, and lang: the first character of Language, all that the
// classic library reads of it.
ConnectionParameters ProfileParameters(const SystemEntry& entry,
                                       const std::string& parameterString);

// What the destination-file way gives the library.
struct DestinationLogon {
  ConnectionParameters parameters;
  // The entries the NetWeaver library cannot take, as the file names them.
  std::vector<std::string> leftOut;
};

// The destination-file way: the entry "DEST=<destination>" of SapRfc.ini's
// text, names compared without case, up to the next "DEST=" (comment lines
// start with '*', '#' or ';'). TYPE=A, or no TYPE and an ASHOST, gives
// ashost, sysnr, gwhost and gwserv where present; TYPE=B, or no TYPE and an
// MSHOST, mshost, sysid from R3NAME, group (default PUBLIC) and msserv where
// present. SAPROUTER, SNC_MODE, SNC_PARTNERNAME, SNC_QOP, SNC_MYNAME, SNC_LIB
// and RFC_TRACE follow under the NetWeaver library's names (saprouter,
// snc_..., trace), values as written; any other entry is left out. Then
// client, user, passwd and lang=D. Nothing when the entry is missing or of
// another type.
std::optional<DestinationLogon> DestinationParameters(std::string_view iniText,
                                                      const SystemEntry& entry);

// The QueryStatus of a failed call's code: an ABAP exception 2, an ABAP
// runtime failure or message 3, a communication failure 1, any other 4.
int QueryStatusOfCode(int code);

// The line of an error message that the trace scan's rules pick, else its
// first line; at most 87 bytes of UTF-8, never cut inside a character.
std::string ErrorMessageLine(std::string_view message);

// " - " and ErrorMessageLine, or " - Please Check Trace-File !" for an
// empty message.
std::string ErrorMessageNote(std::string_view message);

// The note after "Error 1011: RFC-Open for DEST failed !" of a failed
// logon: " - " and ErrorMessageLine; nothing for an empty message.
std::string LogonFailureNote(std::string_view message);

// The widest character field the session reads into its first buffer, and
// the widest it reads at all: ABAP's longest character field.
inline constexpr unsigned kFieldBufferUnits = 512;
inline constexpr unsigned kLongestCharField = 262143;

// "RFC_ABAP_EXCEPTION" for 5, "COMMUNICATION_FAILURE" for group 4: how the
// RFC error report shows code and group.
std::string RfcRcName(int code);
std::string ErrorGroupName(int group);

// The session over the functions; path names the loaded library on the console.
std::unique_ptr<RfcSession> MakeNetWeaverSession(const NetWeaverFunctions& functions,
                                                 const std::string& path, TextForm rowTexts);

}  // namespace vendralith

#endif

// The questions the run drivers and the queries ask an RFC library, whichever
// library the run uses: log on, the system information, the log statistics,
// the note of a failed call, close. Each library has a binding behind this
// seam; nothing above it includes a library's header.
#ifndef VENDRALITH_RFC_RFC_SESSION_H
#define VENDRALITH_RFC_RFC_SESSION_H

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "profile/profile_reader.h"
#include "rfc/call_log.h"

namespace vendralith {

// One character field of the structure RFCSI that RFC_SYSTEM_INFO exports.
struct RfcsiField {
  const char* name;
  unsigned length;
};

// RFCSI: 18 character fields back to back, 200 bytes.
inline constexpr std::array<RfcsiField, 18> kRfcsiFields = {{
    {"RFCPROTO", 3},
    {"RFCCHARTYP", 4},
    {"RFCINTTYP", 3},
    {"RFCFLOTYP", 3},
    {"RFCDEST", 32},
    {"RFCHOST", 8},
    {"RFCSYSID", 8},
    {"RFCDATABS", 8},
    {"RFCDBHOST", 32},
    {"RFCDBSYS", 10},
    {"RFCSAPRL", 4},
    {"RFCMACH", 5},
    {"RFCOPSYS", 10},
    {"RFCTZONE", 6},
    {"RFCDAYST", 1},
    {"RFCIPADDR", 15},
    {"RFCKERNRL", 4},
    {"RFCSI_RESV", 44},
}};
inline constexpr unsigned kRfcsiLength = 200;

// The widths of a statistics row (the structure ADA_SHOW: R1 and R2).
inline constexpr unsigned kStatisticsLabelLength = 40;
inline constexpr unsigned kStatisticsValueLength = 26;

// The answer of a remote call, as the QueryStatus the messages are made of.
struct CallAnswer {
  int status = 0;             // 0 success, 1 communication failure, 2 exception,
                              // 3 system exception, any other: another failure
  std::string exceptionName;  // the exception a failure with status 2 names
  bool Ok() const { return status == 0; }
};

// RFCSI's fields by name, each its whole field up to a NUL.
using RfcsiRecord = std::map<std::string, std::string>;

// One row of SHOWSTATLOG: the fields R1 and R2 as the library gives them.
struct StatisticsFields {
  std::string label;
  std::string value;
};

struct LogonOutcome {
  bool ok = false;
  std::string note;  // after "Error 1011: RFC-Open for DEST failed !"; mostly empty
};

class RfcSession {
 public:
  virtual ~RfcSession() = default;

  // Logs on for the entry: through SapRfc.<DEST> when that file is in the
  // current folder, else with the profile's options (",HOST=", ",NO=" apply).
  virtual LogonOutcome LogOn(const SystemEntry& entry, const std::string& parameterString,
                             bool consoleMode, const CallLog& callLog) = 0;

  // RFC_SYSTEM_INFO on the open connection.
  virtual CallAnswer AskSystemInfo(RfcsiRecord& rfcsi) = 0;

  // ADA_LOG_STATISTICS: SHOWSTATLOG's rows. Its tables stay until
  // ReleaseLogStatistics, which comes after the rows are printed, whatever
  // the answer. A failing table operation ends the run with the RFC error
  // report.
  virtual CallAnswer AskLogStatistics(std::vector<StatisticsFields>& rows) = 0;
  virtual void ReleaseLogStatistics() = 0;

  // " - " and what the library says about the last failed call, for the
  // messages 1012 to 1015.
  virtual std::string FailureNote() = 0;

  // Ends the open connection, if there is one.
  virtual void Close() = 0;

  // The connection as the call log numbers it; 0 when none is open.
  virtual std::int32_t ConnectionNumber() const = 0;

  // Whether the library takes its texts as 8-bit text in the ANSI code page
  // (the classic library) rather than in UTF-16.
  virtual bool TakesAnsiTexts() const = 0;

  // The library as the console shows it: its full path, and its version
  // where the library tells one.
  virtual std::string LibraryDescription() const = 0;
};

// The bytes a library that speaks UTF-16 gives its texts in: UTF-8 for the
// XML dialects, the ANSI code page for the line dialects. Exception names and
// notes go to error documents, which are XML in every dialect: always UTF-8.
enum class TextForm { Utf8, AnsiCodePage };

// Binds the run's RFC library on first use and returns "" when it is bound,
// else the message of the error document (1009 or 1010). The later calls
// return the first answer. ",NWRFC" in the parameters asks for the
// NetWeaver library only.
const std::string& BindRfcLibrary(const std::string& parameterString, TextForm rowTexts);

// The bound library's session: only valid once BindRfcLibrary returned "".
RfcSession& Session();

// Makes this the session that Session() gives: how BindRfcLibrary binds.
void UseSession(std::unique_ptr<RfcSession> session);

// "RFC-Library: " and the description: how the console (after "* ") and the
// call log name the bound library.
std::string RfcLibraryText(const std::string& description);

}  // namespace vendralith

#endif

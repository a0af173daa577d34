// One system of a multi-system run: its logon and its two queries. Whether
// the run scans its systems one after another in its own process, or several
// at once, each in a scan process of its own (",PARALLEL="), this is the
// work; what it found is printed by the run, in listing order.
#ifndef VENDRALITH_RUN_SYSTEM_SCAN_H
#define VENDRALITH_RUN_SYSTEM_SCAN_H

#include <cstdint>
#include <optional>
#include <string>

#include "profile/profile_reader.h"
#include "queries/log_statistics_query.h"
#include "rfc/call_log.h"
#include "rfc/rfc_session.h"

namespace vendralith {

struct SystemScanRequest {
  std::string parameterString;  // upper case: ",HOST=", ",NO=", PERCENT
  bool consoleMode = false;     // the logon shows its destination file
  std::string itemName;         // the channel to report
  std::string displayName;      // the channel's name
  // The item LogFullIn: its limits, and the trend folder as an absolute
  // path, which a scan process in a folder of its own reaches as well.
  HourLimits trendHours;
  std::string trendFolder;
};

// What one system's scan found.
struct SystemFound {
  bool scanned = false;            // logged on, and the statistics arrived
  bool found = false;              // the statistics table had rows
  std::optional<Channel> channel;  // the row the item selects
  // The message of the error document that ends the whole run (a failed
  // system information call with its note, or 1018); empty when the run
  // goes on.
  std::string runEnding;
  std::int32_t connection = 0;  // the open connection as the call log numbers it
  bool tablesHeld = false;      // the statistics' tables wait for ReleaseLogStatistics
};

// Logs on and asks both queries; leaves the connection open, and the tables
// when tablesHeld, for the run to release and close once it has printed what
// was found. The entry's password is cleared once the logon has returned. A
// failure of the RFC library's own ends the process with the RFC error
// report, as anywhere.
SystemFound ScanSystem(RfcSession& session, SystemEntry& entry, const SystemScanRequest& request,
                       const CallLog& callLog);

}  // namespace vendralith

#endif

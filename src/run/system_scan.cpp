#include "run/system_scan.h"

#include "queries/system_info_query.h"
#include "rfc/logon.h"
#include "run/log_full_in_channel.h"

namespace vendralith {

SystemFound ScanSystem(RfcSession& session, SystemEntry& entry, const SystemScanRequest& request,
                       const CallLog& callLog) {
  SystemFound result;
  if (!LogOnAndForgetPassword(session, entry, request.parameterString, request.consoleMode, callLog)
           .ok) {
    return result;
  }
  result.connection = session.ConnectionNumber();
  SystemInfo info;
  const QueryOutcome systemInfo = QuerySystemInfo(session, info);
  if (!systemInfo.Ok()) {
    result.runEnding = systemInfo.message + session.FailureNote();
    return result;
  }
  if (!IsMaxDb(info)) {
    result.runEnding = "Error 1018: DataBase mismatch !";
    return result;
  }
  ListingChannelRequest query;
  query.itemName = request.itemName;
  query.displayName = request.displayName;
  query.parameterString = request.parameterString;
  ListingChannelOutcome statistics = QueryListingChannel(session, query);
  result.tablesHeld = true;
  result.scanned = statistics.Ok();
  result.found = statistics.found;
  result.channel = std::move(statistics.channel);
  if (result.scanned && request.itemName == kLogFullInChannel && statistics.fill) {
    result.channel =
        Channel{request.displayName,
                LogFullInValue(request.trendFolder, info, *statistics.fill, request.trendHours,
                               session.ConnectionNumber(), callLog),
                "", request.trendHours};
  }
  return result;
}

}  // namespace vendralith

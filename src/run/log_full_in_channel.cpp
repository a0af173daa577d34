#include "run/log_full_in_channel.h"

#include "trend/log_full_in.h"

namespace vendralith {

std::string LogFullInValue(const std::string& trendFolder, const SystemInfo& info,
                           const LogFill& fill, HourLimits limits, std::int32_t connection,
                           const CallLog& callLog) {
  LogFullInRequest request;
  request.folder = trendFolder;
  request.systemId = info.systemId;
  request.databaseHost = info.databaseHost;
  request.fill = fill;
  request.warningHours = limits.minWarning;
  const LogFullIn answer = AskLogFullIn(request);
  // Not the host's concern: the channel still has its value from what was read.
  if (!answer.note.empty()) {
    callLog.Write(connection, "trend not kept", answer.fileName + ": " + answer.note);
  }
  return answer.value;
}

}  // namespace vendralith

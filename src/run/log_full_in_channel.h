// The run's question for the value of the channel LogFullIn, and the call
// log's note when this scan's sample could not be kept.
#ifndef VENDRALITH_RUN_LOG_FULL_IN_CHANNEL_H
#define VENDRALITH_RUN_LOG_FULL_IN_CHANNEL_H

#include <cstdint>
#include <string>

#include "output/result_document.h"
#include "queries/system_info_query.h"
#include "rfc/call_log.h"
#include "trend/log_fill_estimate.h"

namespace vendralith {

// The hours until the log area of the system is full, such as "12.5".
std::string LogFullInValue(const std::string& trendFolder, const SystemInfo& info,
                           const LogFill& fill, HourLimits limits, std::int32_t connection,
                           const CallLog& callLog);

}  // namespace vendralith

#endif

// The log statistics query: MaxDB log statistics rows turned into the
// log-state text and channels.
#ifndef VENDRALITH_QUERIES_LOG_STATISTICS_QUERY_H
#define VENDRALITH_QUERIES_LOG_STATISTICS_QUERY_H

#include <optional>
#include <string>
#include <vector>

#include "output/result_document.h"
#include "queries/query_status.h"
#include "rfc/rfc_session.h"
#include "trend/log_fill_estimate.h"

namespace vendralith {

// One row of the statistics table, trailing blanks removed.
struct StatisticsRow {
  std::string label;
  std::string value;
};

struct Channel {
  std::string name;
  std::string value;
  std::string unit;
  // A channel of hours left (LogFullIn), with its limits; its unit is the
  // document's for hours then.
  std::optional<HourLimits> hourLimits = std::nullopt;
};

// The channel and the item of the hours until the log area is full.
inline constexpr const char* kLogFullInChannel = "LogFullIn";

// A 66-byte table line: label (40) and value (26), each up to a NUL and
// without trailing blanks.
StatisticsRow RowFromLine(const char* line);

// The same of a row's two fields as the library gave them.
StatisticsRow RowFromFields(const StatisticsFields& fields);

// "(destination) LogStates: Sizing=... Pages, Usage=...%, SavePoints=...".
std::string LogStateText(const std::string& destination, const std::vector<StatisticsRow>& rows);

// The figures of the log area in the rows: "LOG PAGES", "USED     LOG PAGES"
// (else the per cent of it, cut down) and "SAVEPOINTS" (0 without it), the
// last row of each label counting. Nothing when the log pages or the used
// pages cannot be had, or the log area has no pages.
std::optional<LogFill> LogFillOf(const std::vector<StatisticsRow>& rows);

// A single-system run's channels, in row order; percent is the "PERCENT" choice.
std::vector<Channel> SingleSystemChannels(const std::vector<StatisticsRow>& rows, bool percent);

// The one channel of a listing-mode system: the first row that the item
// selects, named by the system's display name.
std::optional<Channel> ListingChannel(const std::vector<StatisticsRow>& rows, bool percent,
                                      const std::string& itemName, const std::string& displayName);

struct LogStatisticsRequest {
  std::string destination;  // shown in the log-state text
  std::string parameterString;
};

struct LogStatisticsOutcome : QueryOutcome {
  std::optional<LogFill> fill;  // the figures of the log area, where the rows have them
};

// Asks ADA_LOG_STATISTICS for a single-system run: prints the document's
// opening and log-state text, then leaves the channels in the document.
LogStatisticsOutcome QueryLogStatistics(RfcSession& session, const LogStatisticsRequest& request,
                                        ResultDocument& document);

struct ListingChannelRequest {
  std::string itemName;     // the channel to report
  std::string displayName;  // the channel's name
  std::string parameterString;
};

struct ListingChannelOutcome : QueryOutcome {
  bool found = false;              // the table had a row
  std::optional<Channel> channel;  // the row the item selects
  std::optional<LogFill> fill;     // the figures of the log area, where the rows have them
};

// Asks ADA_LOG_STATISTICS for one system of a multi-system run and picks its
// channel, which the run prints in listing order. The tables stay until
// session.ReleaseLogStatistics(), which comes after the channel is printed,
// whatever the answer: a failure there ends the run with the RFC error
// report, after the channel.
ListingChannelOutcome QueryListingChannel(RfcSession& session,
                                          const ListingChannelRequest& request);

}  // namespace vendralith

#endif

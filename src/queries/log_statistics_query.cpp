#include "queries/log_statistics_query.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "output/console_format.h"
#include "output/decimal_text.h"
#include "output/standard_output.h"

namespace vendralith {

namespace {

constexpr unsigned kLabelLength = kStatisticsLabelLength;
constexpr unsigned kValueLength = kStatisticsValueLength;

enum class When { Always, Percent, Pages };

struct RowChannel {
  const char* label;
  When when;
  const char* channel;
  const char* singleUnit;
  const char* listingUnit;
};

// The used-pages labels have five blanks between "USED" and "LOG".
constexpr std::array<RowChannel, 7> kRowChannels = {{
    {"LOG PAGES", When::Always, "LogPages", "Pages", "Pages"},
    {"USED     LOG PAGES (%)", When::Percent, "LogUsage", "PerCent", "PerCent"},
    {"NOT SAVED LOG PAGES (%)", When::Percent, "NotSaved", "PerCent", "PerCent"},
    {"USED     LOG PAGES", When::Pages, "UsedPages", "Pages", "Pages"},
    {"NOT SAVED LOG PAGES", When::Pages, "NotSaved", "Pages", "Pages"},
    {"SAVEPOINTS", When::Always, "SavePoints", "", "Pages"},
    {"CHECKPOINTS", When::Always, "CheckPoints", "", "Pages"},
}};

const RowChannel* ChannelOfRow(const StatisticsRow& row, bool percent) {
  for (const RowChannel& candidate : kRowChannels) {
    if (row.label != candidate.label) continue;
    if (candidate.when == When::Always || (candidate.when == When::Percent) == percent) {
      return &candidate;
    }
    return nullptr;
  }
  return nullptr;
}

std::string Field(const char* start, unsigned length) {
  std::string text(start, static_cast<std::size_t>(std::find(start, start + length, '\0') - start));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// A figure of the log-state text: unsigned 32-bit, digits grouped.
std::string Figure(std::int32_t value) {
  return GroupDigits(std::to_string(static_cast<std::uint32_t>(value)));
}

}  // namespace

StatisticsRow RowFromLine(const char* line) {
  return {Field(line, kLabelLength), Field(line + kLabelLength, kValueLength)};
}

StatisticsRow RowFromFields(const StatisticsFields& fields) {
  return {Field(fields.label.data(), static_cast<unsigned>(fields.label.size())),
          Field(fields.value.data(), static_cast<unsigned>(fields.value.size()))};
}

std::string LogStateText(const std::string& destination, const std::vector<StatisticsRow>& rows) {
  std::int32_t sizing = 0, usage = 0, savePoints = 0;
  for (const StatisticsRow& row : rows) {
    if (row.label == "LOG PAGES") sizing = ParseDecimal(row.value);
    if (row.label == "USED     LOG PAGES (%)") usage = ParseDecimal(row.value);
    if (row.label == "SAVEPOINTS") savePoints = ParseDecimal(row.value);
  }
  return "(" + destination + ") LogStates: Sizing=" + Figure(sizing) +
         " Pages, Usage=" + Figure(usage) + "%, SavePoints=" + Figure(savePoints);
}

namespace {

// A figure of the log area: a whole number, not negative, leading blanks
// allowed; nothing for any other text.
std::optional<std::int64_t> Pages(const std::string& value) {
  const std::size_t start = std::min(value.find_first_not_of(' '), value.size());
  const std::string digits = value.substr(start);
  // Eighteen digits cannot overflow, whatever they say.
  if (digits.empty() || digits.size() > 18 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(digits);
}

}  // namespace

std::optional<LogFill> LogFillOf(const std::vector<StatisticsRow>& rows) {
  std::optional<std::int64_t> logPages, usedPages, usedPerCent;
  std::int64_t savePoints = 0;
  for (const StatisticsRow& row : rows) {
    if (row.label == "LOG PAGES") logPages = Pages(row.value);
    if (row.label == "USED     LOG PAGES") usedPages = Pages(row.value);
    if (row.label == "USED     LOG PAGES (%)") usedPerCent = Pages(row.value);
    if (row.label == "SAVEPOINTS") savePoints = Pages(row.value).value_or(0);
  }
  if (!logPages || *logPages == 0) return std::nullopt;
  // Of the per cent, only a true one; and a log area of 2^50 pages is
  // beyond any disk, so the product cannot overflow.
  if (!usedPages && usedPerCent && *usedPerCent <= 100 && *logPages < (std::int64_t{1} << 50)) {
    usedPages = *logPages * *usedPerCent / 100;
  }
  if (!usedPages) return std::nullopt;
  return LogFill{*logPages, *usedPages, savePoints};
}

std::vector<Channel> SingleSystemChannels(const std::vector<StatisticsRow>& rows, bool percent) {
  std::vector<Channel> channels;
  for (const StatisticsRow& row : rows) {
    if (const RowChannel* match = ChannelOfRow(row, percent)) {
      channels.push_back({match->channel, row.value, match->singleUnit});
    }
  }
  return channels;
}

std::optional<Channel> ListingChannel(const std::vector<StatisticsRow>& rows, bool percent,
                                      const std::string& itemName, const std::string& displayName) {
  for (const StatisticsRow& row : rows) {
    const RowChannel* match = ChannelOfRow(row, percent);
    if (match != nullptr && itemName == match->channel) {
      return Channel{displayName, row.value, match->listingUnit};
    }
  }
  return std::nullopt;
}

namespace {

// The rows of a successful answer; on failure the outcome's message.
std::vector<StatisticsRow> AskRows(RfcSession& session, QueryOutcome& outcome) {
  std::vector<StatisticsFields> fields;
  const CallAnswer answer = session.AskLogStatistics(fields);
  outcome.status = answer.status;
  std::vector<StatisticsRow> rows;
  if (!outcome.Ok()) {
    outcome.message = QueryStatusMessage(outcome.status, answer.exceptionName);
    return rows;
  }
  rows.reserve(fields.size());
  for (const StatisticsFields& row : fields) rows.push_back(RowFromFields(row));
  return rows;
}

bool Percent(const std::string& parameterString) {
  return parameterString.find("PERCENT") != std::string::npos;
}

}  // namespace

LogStatisticsOutcome QueryLogStatistics(RfcSession& session, const LogStatisticsRequest& request,
                                        ResultDocument& document) {
  LogStatisticsOutcome outcome;
  const std::vector<StatisticsRow> rows = AskRows(session, outcome);
  if (outcome.Ok()) {
    outcome.fill = LogFillOf(rows);
    document.OpenDocument();
    document.OpenText();
    document.AppendText(LogStateText(request.destination, rows));
    document.CloseText();
    WriteOut(document.Text());
    document.Clear();
    for (const Channel& channel : SingleSystemChannels(rows, Percent(request.parameterString))) {
      document.WriteChannel(channel.name, channel.value, channel.unit);
    }
  }
  session.ReleaseLogStatistics();
  return outcome;
}

ListingChannelOutcome QueryListingChannel(RfcSession& session,
                                          const ListingChannelRequest& request) {
  ListingChannelOutcome outcome;
  const std::vector<StatisticsRow> rows = AskRows(session, outcome);
  if (outcome.Ok()) {
    outcome.found = !rows.empty();
    outcome.fill = LogFillOf(rows);
    outcome.channel = ListingChannel(rows, Percent(request.parameterString), request.itemName,
                                     request.displayName);
  }
  return outcome;
}

}  // namespace vendralith

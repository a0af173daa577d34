#include "queries/log_statistics_query.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "output/console_format.h"
#include "output/decimal_text.h"
#include "output/standard_output.h"
#include "rfc/error_report.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

namespace {

constexpr unsigned kLabelLength = 40;
constexpr unsigned kValueLength = 26;
constexpr unsigned kLineLength = kLabelLength + kValueLength;

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

RFC_TYPEHANDLE adaShowType = 0;  // installed once per process

void InstallAdaShow() {
  if (adaShowType != 0) return;
  RFC_TYPE_ELEMENT elements[2] = {
      {const_cast<char*>("R1"), TYPC, kLabelLength, 0, 0},
      {const_cast<char*>("R2"), TYPC, kValueLength, 0, 0},
  };
  if (Rfc().RfcInstallStructure("ADA_SHOW", elements, 2, &adaShowType) != 0) {
    ReportRfcError("RfcInstallStructure");
  }
}

ITAB_H CreateTable(const char* name, const char* failure) {
  ITAB_H table = Rfc().ItCreate(name, kLineLength, 0, 0);
  if (table == nullptr) ReportRfcError(failure);
  return table;
}

// The statistics rows; the line count is read again before every line.
std::vector<StatisticsRow> ReadRows(ITAB_H table) {
  std::vector<StatisticsRow> rows;
  for (unsigned line = 1; line <= Rfc().ItFill(table); ++line) {
    const void* address = Rfc().ItGetLine(table, line);
    if (address == nullptr) ReportRfcError("ItGetLine SHOWSTATLOG");
    rows.push_back(RowFromLine(static_cast<const char*>(address)));
  }
  return rows;
}

}  // namespace

StatisticsRow RowFromLine(const char* line) {
  return {Field(line, kLabelLength), Field(line + kLabelLength, kValueLength)};
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

LogStatisticsOutcome QueryLogStatistics(RFC_HANDLE connection, const CallLog& callLog,
                                        const LogStatisticsRequest& request,
                                        ResultDocument& document) {
  ITAB_H monitorTable = CreateTable("SHOWMONILOG", "ItCreate SHOWMONILOG");
  ITAB_H statisticsTable = CreateTable("SHOWSTATLOG", "ItCreate SHOWSTATLOG");
  InstallAdaShow();

  const auto handle = static_cast<std::int32_t>(connection);
  RFC_PARAMETER noParameters[1] = {};
  RFC_TABLE tables[3] = {};
  tables[0] = {const_cast<char*>("SHOWMONILOG"), 11, adaShowType, 0, monitorTable, 0, 0};
  tables[1] = {const_cast<char*>("SHOWSTATLOG"), 11, adaShowType, 0, statisticsTable, 0, 0};

  LogStatisticsOutcome outcome;
  outcome.status = Rfc().RfcCall(connection, "ADA_LOG_STATISTICS", noParameters, tables);
  callLog.Write(handle, "RfcCall called", "");
  std::string exceptionName;  // none when the call itself failed
  if (outcome.Ok()) {
    char* exception = nullptr;
    outcome.status = Rfc().RfcReceive(connection, noParameters, tables, &exception);
    callLog.Write(handle, "RfcReceive called", "");
    if ((outcome.status == RFC_EXCEPTION || outcome.status == RFC_SYS_EXCEPTION) &&
        exception != nullptr) {
      exceptionName = exception;
    }
  }

  if (!outcome.Ok()) {
    outcome.message = QueryStatusMessage(outcome.status, exceptionName);
  } else {
    const std::vector<StatisticsRow> rows = ReadRows(statisticsTable);
    const bool percent = request.parameterString.find("PERCENT") != std::string::npos;
    if (!request.listingMode) {
      document.OpenDocument();
      document.OpenText();
      document.AppendText(LogStateText(request.destination, rows));
      document.CloseText();
      WriteOut(document.Text());
      document.Clear();
      for (const Channel& channel : SingleSystemChannels(rows, percent)) {
        document.WriteChannel(channel.name, channel.value, channel.unit);
      }
    } else {
      outcome.found = !rows.empty();
      document.Clear();
      if (auto channel = ListingChannel(rows, percent, request.itemName, request.displayName)) {
        document.WriteChannel(channel->name, channel->value, channel->unit);
        WriteOut(document.Text());
        document.Clear();
      }
    }
  }

  if (Rfc().ItDelete(monitorTable) != 0) ReportRfcError("ItDelete SHOWMONILOG");
  if (Rfc().ItDelete(statisticsTable) != 0) ReportRfcError("ItDelete SHOWSTATLOG");
  return outcome;
}

}  // namespace vendralith

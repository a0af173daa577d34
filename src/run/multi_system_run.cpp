#include "run/multi_system_run.h"

#include <string_view>

#include "output/standard_output.h"
#include "queries/log_statistics_query.h"
#include "queries/system_info_query.h"
#include "rfc/connection.h"
#include "rfc/error_report.h"
#include "rfc/trace_scan.h"
#include "run/error_ending.h"
#include "system/clock.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

struct Counters {
  unsigned systems = 0;
  unsigned processed = 0;
  unsigned failed = 0;
};

// The sensor parameters as the start line shows them.
std::string ShownSensorParameters(const std::string& parameterText) {
  const std::string shown = ColonsToBlanks(parameterText);
  return shown.substr(0, shown.find(" @"));
}

// Takes the first name and its "#" off the list. The list is a view that
// moves forward, so each system costs the same however long the list is.
std::string TakeProfileName(std::string_view& serverList) {
  const auto end = serverList.find('#');
  std::string name(serverList.substr(0, end));
  serverList.remove_prefix(end == std::string_view::npos ? serverList.size() : end + 1);
  return name;
}

}  // namespace

std::string SystemDisplayName(char displayNameKind, const std::string& profileName,
                              const SystemEntry& entry) {
  switch (displayNameKind) {
    case '2':
      // Too short to carry an extension: the name as it stands.
      return profileName.size() < 4 ? profileName
                                    : std::string(Utf8Prefix(profileName, profileName.size() - 4));
    case '3':
      return entry.hostname;
    case '4':
      return entry.destination;
    default:
      return profileName;
  }
}

void RunMultiSystem(RunContext& run, const Listing& listing) {
  RunSettings& settings = run.settings;
  ResultDocument& document = run.document;
  settings.parameterText = listing.parameterText;
  settings.parameterString = UpperCase(settings.parameterText);
  document.SetParameterString(settings.parameterString);
  run.callLog = CallLog(settings.parameterString);
  const CallLog& callLog = run.callLog;

  if (settings.consoleMode) {
    WriteOut(settings.consoleLine + "\n");
    WriteOut("* " + settings.clockTime + " " + ShownSensorParameters(settings.parameterText) +
             " State=Executing\n");
  }
  document.OpenDocument();
  WriteOut(document.Text() + "\n");
  document.Clear();

  Counters count;
  std::string_view serverList = listing.serverList;
  while (!serverList.empty()) {
    const std::string profileName = TakeProfileName(serverList);
    ++count.systems;
    const auto text =
        profileName.empty() ? std::nullopt : ReadTextFile(run.location.folder + profileName);
    if (!text) continue;  // skipped: counted only among the systems

    // Every profile starts from an empty entry: nothing carries over from the last one.
    ProfileReadResult profile = ReadProfileText(*text, Reading::Lenient, profileName, run.key);
    const SystemEntry& entry = profile.entry;
    const std::string displayName = SystemDisplayName(listing.displayNameKind, profileName, entry);
    // Only console mode shows it: the clock is read per system only there.
    const std::string summary =
        settings.consoleMode ? EntrySummary(ClockTime(), profileName, entry) : std::string();

    RFC_ENV environment{ReportRfcErrorHandler, nullptr};
    RfcEnvironment(&environment);
    document.Clear();
    LogStatisticsOutcome statistics;
    statistics.status = -1;  // stays failed when no query runs
    const RFC_HANDLE connection =
        OpenConnection(entry, settings.parameterString, settings.consoleMode, callLog);
    if (connection == 0) {
      profile.valid = false;
    } else {
      SystemInfo info;
      const QueryOutcome systemInfo = QuerySystemInfo(connection, callLog, info);
      if (!systemInfo.Ok()) {
        EndOpenDocumentWithError(document, systemInfo.message + ScanTraceFile(), connection);
      }
      if (!IsMaxDb(info)) {
        EndOpenDocumentWithError(document, "Error 1018: DataBase mismatch !", connection);
      }
      LogStatisticsRequest request;
      request.listingMode = true;
      request.itemName = listing.itemName;
      request.displayName = displayName;
      request.parameterString = settings.parameterString;
      statistics = QueryLogStatistics(connection, callLog, request, document);
      RfcClose(connection);
    }

    const bool scanned = profile.valid && statistics.Ok();
    if (scanned && statistics.found) {
      ++count.processed;
    } else {
      ++count.failed;
    }
    const char* state = !scanned ? "Rfc Failure" : statistics.found ? "Processed" : "Not Found";
    if (settings.consoleMode) WriteOut("\n" + summary + " State=" + state + "\n");
  }

  // Nothing a failed query left behind may stand before the summary.
  document.Clear();
  document.OpenText();
  document.AppendText("(***) " + listing.itemName + ": NoSystems=" + std::to_string(count.systems) +
                      ", Processed=" + std::to_string(count.processed) +
                      ", Failed=" + std::to_string(count.failed));
  document.CloseText();
  document.CloseDocument();
  WriteOut(document.Text() + "\n");
  if (settings.consoleMode) {
    WriteOut("\n* " + ClockTime() + " SAP " + std::string(kProgramWord) + " now processed...\n");
  }
  EndProcess(ExitCode::Success);
}

}  // namespace vendralith

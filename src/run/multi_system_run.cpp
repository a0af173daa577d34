#include "run/multi_system_run.h"

#include <algorithm>
#include <string_view>

#include "output/standard_output.h"
#include "queries/log_statistics_query.h"
#include "queries/system_info_query.h"
#include "rfc/rfc_session.h"
#include "rfc/scan_locks.h"
#include "run/error_ending.h"
#include "run/run_deadline.h"
#include "system/clock.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

struct Counters {
  unsigned systems = 0;
  unsigned processed = 0;
  unsigned failed = 0;
  unsigned skipped = 0;  // no profile to read: counted only among the systems
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

// The number of systems the run will take off the list.
unsigned ListedSystems(std::string_view serverList) {
  if (serverList.empty()) return 0;
  const auto ends = std::count(serverList.begin(), serverList.end(), '#');
  return static_cast<unsigned>(ends) + (serverList.back() == '#' ? 0 : 1);
}

// The summary text and the closing of the document, as printed.
std::string SummaryPart(ResultDocument& document, const std::string& itemName,
                        const Counters& count) {
  // Nothing a failed query left behind may stand before the summary.
  document.Clear();
  document.OpenText();
  document.AppendText("(***) " + itemName + ": NoSystems=" + std::to_string(count.systems) +
                      ", Processed=" + std::to_string(count.processed) +
                      ", Failed=" + std::to_string(count.failed));
  document.CloseText();
  document.CloseDocument();
  return document.Text() + "\n";
}

// What the deadline prints in a run that has one, kept up to date as the run
// goes: the console line of the system in progress with "State=Timeout", and
// the summary, in which that system and every one not yet started count as
// failed. Without a deadline only the run's own text is written.
class TimeoutSummary {
 public:
  TimeoutSummary(bool deadline, const RunSettings& settings, const Listing& listing)
      : deadline_(deadline),
        listed_(deadline ? ListedSystems(listing.serverList) : 0),
        itemName_(listing.itemName),
        document_(settings.outputMode, settings.parameterString) {}

  // Writes text, then lets the deadline print what follows it. consoleLine
  // names the system in progress; empty between systems.
  void WriteThen(const std::string& text, const Counters& count, const std::string& consoleLine) {
    if (!deadline_) {
      if (!text.empty()) WriteOut(text);
      return;
    }
    Counters atDeadline = count;
    atDeadline.systems = listed_;
    atDeadline.failed = listed_ - count.processed - count.skipped;
    std::string ending = consoleLine.empty() ? "" : "\n" + consoleLine + " State=Timeout\n";
    ending += SummaryPart(document_, itemName_, atDeadline);
    if (text.empty()) {
      SetDeadlineEnding({std::move(ending), ExitCode::Success});
    } else {
      WriteOutThen(text, {std::move(ending), ExitCode::Success});
    }
  }

 private:
  bool deadline_;
  unsigned listed_;
  std::string itemName_;
  ResultDocument document_;
};

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
  // The sensor's own parameters decide about the log from here on.
  run.callLog = CallLog(settings.parameterString);
  const CallLog& callLog = run.callLog;
  callLog.Start();
  // The sensor's own parameters may set the deadline, in place of the command line's.
  if (const TimeoutParameter timeout = ReadTimeout(settings.parameterString); timeout.given) {
    if (timeout.seconds == 0) EndWithErrorDocument(document, kTimeoutError);
    settings.timeoutSeconds = timeout.seconds;
  }
  const bool deadline = settings.timeoutSeconds > 0;
  if (deadline) StartRunDeadline(run.started, settings.timeoutSeconds);
  TimeoutSummary timeoutSummary(deadline, settings, listing);

  if (settings.consoleMode) {
    WriteOut(settings.consoleLine + "\n");
    WriteOut("* " + settings.clockTime + " " + ShownSensorParameters(settings.parameterText) +
             " State=Executing\n");
  }
  Counters count;
  bool libraryNamed = false;  // on the console and in the call log, once
  document.OpenDocument();
  timeoutSummary.WriteThen(document.Text() + "\n", count, "");
  document.Clear();

  std::string_view serverList = listing.serverList;
  while (!serverList.empty()) {
    const std::string profileName = TakeProfileName(serverList);
    ++count.systems;
    const auto text =
        profileName.empty() ? std::nullopt : ReadTextFile(run.location.folder + profileName);
    if (!text) {
      ++count.skipped;
      timeoutSummary.WriteThen("", count, "");
      continue;
    }

    // Every profile starts from an empty entry: nothing carries over from the last one.
    ProfileReadResult profile = ReadProfileText(*text, Reading::Lenient, profileName, run.key);
    const SystemEntry& entry = profile.entry;
    callLog.Write(0, "profile read",
                  run.location.folder + profileName + ", destination " + entry.destination);
    const std::string displayName = SystemDisplayName(listing.displayNameKind, profileName, entry);
    // Only console mode shows it: the clock is read per system only there.
    const std::string summary =
        settings.consoleMode ? EntrySummary(ClockTime(), profileName, entry) : std::string();
    if (settings.consoleMode) timeoutSummary.WriteThen("", count, summary);

    // The library is bound on the first system that reaches it, so a run
    // whose profiles are all skipped never needs it.
    if (const std::string& failure = BindRfcLibrary(settings.parameterString, RowTexts(document));
        !failure.empty()) {
      EndOpenDocumentWithError(document, failure, nullptr);
    }
    RfcSession& session = Session();
    if (!libraryNamed) {
      const std::string library = RfcLibraryText(session.LibraryDescription());
      callLog.WriteText(library);
      if (settings.consoleMode) timeoutSummary.WriteThen("* " + library + "\n", count, summary);
      libraryNamed = true;
    }
    document.Clear();
    LogStatisticsOutcome statistics;
    statistics.status = -1;  // stays failed when no query runs
    // Taken at the first logon and held to the end of the run: its failures
    // read the trace.
    FolderScanLocks().EnterRfcPart();
    if (!session.LogOn(entry, settings.parameterString, settings.consoleMode, callLog).ok) {
      profile.valid = false;
    } else {
      SystemInfo info;
      const QueryOutcome systemInfo = QuerySystemInfo(session, info);
      if (!systemInfo.Ok()) {
        EndOpenDocumentWithError(document, systemInfo.message + session.FailureNote(), &session);
      }
      if (!IsMaxDb(info)) {
        EndOpenDocumentWithError(document, "Error 1018: DataBase mismatch !", &session);
      }
      LogStatisticsRequest request;
      request.listingMode = true;
      request.itemName = listing.itemName;
      request.displayName = displayName;
      request.parameterString = settings.parameterString;
      statistics = QueryLogStatistics(session, request, document);
    }

    const bool scanned = profile.valid && statistics.Ok();
    if (scanned && statistics.found) {
      ++count.processed;
    } else {
      ++count.failed;
    }
    const char* state = !scanned ? "Rfc Failure" : statistics.found ? "Processed" : "Not Found";
    // Counted before the close: should it hang, the deadline's summary still
    // counts this system as it was scanned.
    timeoutSummary.WriteThen(
        settings.consoleMode ? "\n" + summary + " State=" + state + "\n" : std::string(), count,
        "");
    session.Close();
  }

  WriteLastOut(SummaryPart(document, listing.itemName, count), ExitCode::Success);
  if (settings.consoleMode) {
    WriteOut("\n* " + ClockTime() + " SAP " + std::string(kProgramWord) + " now processed...\n");
  }
  EndProcess(ExitCode::Success);
}

}  // namespace vendralith

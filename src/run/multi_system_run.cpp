#include "run/multi_system_run.h"

#include <utility>

#include "output/standard_output.h"
#include "rfc/rfc_session.h"
#include "run/error_ending.h"
#include "run/listed_systems.h"
#include "run/listing_output.h"
#include "run/parallel_run.h"
#include "run/run_deadline.h"
#include "run/run_keywords.h"
#include "run/system_scan.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

// One system scanned in this process: printed as it goes, since every system
// before it is complete.
void ScanHere(RunContext& run, ListingOutput& output, ListedSystems& systems,
              ListedSystem& system) {
  RfcSession& session = systems.ReachLibrary();
  SystemFound found = ScanSystem(session, system.profile.entry, system.request, run.callLog);
  if (!found.runEnding.empty()) EndOpenDocumentWithError(run.document, found.runEnding, &session);
  const bool tablesHeld = found.tablesHeld;
  ScanReport report;
  report.kind = ScanReport::Kind::Found;
  report.found = std::move(found);
  (void)output.Report(system.number, std::move(report));
  if (tablesHeld) session.ReleaseLogStatistics();
  // Counted before the close: should it hang, the deadline's summary still
  // counts this system as it was scanned.
  report = ScanReport();
  report.kind = ScanReport::Kind::Done;
  (void)output.Report(system.number, std::move(report));
  session.Close();
}

}  // namespace

void RunMultiSystem(RunContext& run, const Listing& listing) {
  RunSettings& settings = run.settings;
  ResultDocument& document = run.document;
  settings.parameterText = listing.parameterText;
  settings.parameterString = UpperCase(settings.parameterText);
  document.SetParameterString(settings.parameterString);
  // The sensor's own parameters decide about the log from here on.
  run.callLog = CallLog(settings.parameterString);
  run.callLog.Start();
  // The sensor's own parameters may set the keywords' values, in place of
  // the command line's.
  std::string error = ApplyValueKeywords(settings.parameterString, true, settings);
  // Then what depends on the values that count, once, before the first system.
  if (error.empty()) error = CheckResultingValues(settings);
  if (!error.empty()) EndWithErrorDocument(document, error);
  document.SetChannelLimits(settings.channelLimits);
  const bool deadline = settings.timeoutSeconds > 0;
  const bool parallel = settings.parallelScans > 1;
  // Scanning in parallel, the run answers at the deadline by itself.
  if (deadline) {
    StartRunDeadline(run.started, settings.timeoutSeconds,
                     parallel ? kParallelDeadlineGrace : std::chrono::milliseconds(0));
  }

  ListingOutput output(document, settings, listing);
  ListedSystems systems(run, listing, output);
  output.Open();
  std::optional<ListedSystem> next = systems.Next();
  if (parallel && next) {
    next = ScanInParallel(run, output, systems, std::move(*next));
    // No scan process could be started: the run goes on here, and the
    // deadline is the watchdog's again.
    if (deadline) StartRunDeadline(run.started, settings.timeoutSeconds);
  }
  for (; next; next = systems.Next()) ScanHere(run, output, systems, *next);

  output.PrintSummary();
  EndProcess(ExitCode::Success);
}

}  // namespace vendralith

#include "run/scan_process.h"

#include <optional>
#include <utility>

#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/rfc_session.h"
#include "run/error_ending.h"
#include "run/scan_messages.h"
#include "run/system_scan.h"
#include "system/child_process.h"
#include "system/process_end.h"
#include "system/secret_text.h"

namespace vendralith {

namespace {

void Send(const ScanReport& report) { (void)WriteToParent(ReportFrame(report)); }

void SendFound(SystemFound found) {
  ScanReport report;
  report.kind = ScanReport::Kind::Found;
  report.found = std::move(found);
  Send(report);
}

}  // namespace

void ScanWhenStartedByRun() {
  if (!StartedAsChild()) return;
  // With its run gone there is no one to report to.
  if (!FollowParent()) EndProcess(ExitCode::ErrorDocument);
  std::string input = ReadParentInput();
  std::optional<ScanAssignment> assignment = DecodeAssignment(input);
  ClearSecret(input);  // the entry's password came with it
  if (!assignment) return;

  // What the scan prints itself (the logon's console line, the RFC error
  // report) and the deadline's endings of the report go to the run.
  RedirectOutput({[](std::string_view text) {
                    ScanReport report;
                    report.text = text;
                    Send(report);
                  },
                  [](const DeadlineEnding& ending) {
                    ScanReport report;
                    report.kind = ScanReport::Kind::Ending;
                    report.ending = ending;
                    Send(report);
                  }});
  const SystemScanRequest& request = assignment->request;
  const CallLog callLog(request.parameterString, assignment->callLogPath);
  callLog.MakeCurrent();
  // The run has bound the library already: it named it, and a failure here
  // is one that came since.
  if (const std::string& failure = BindRfcLibrary(
          request.parameterString, RowTexts(ResultDocument(assignment->outputMode, "")));
      !failure.empty()) {
    SystemFound found;
    found.runEnding = failure;
    SendFound(std::move(found));
    EndProcess(ExitCode::Success);
  }
  RfcSession& session = Session();
  SystemFound found = ScanSystem(session, assignment->entry, request, callLog);
  const bool endsRun = !found.runEnding.empty();
  const bool tablesHeld = found.tablesHeld;
  SendFound(std::move(found));
  if (!endsRun) {
    // Released after the channel went to the run, as the run does: a
    // failure here follows the channel.
    if (tablesHeld) session.ReleaseLogStatistics();
    ScanReport done;
    done.kind = ScanReport::Kind::Done;
    Send(done);
  }
  session.Close();
  EndProcess(ExitCode::Success);
}

}  // namespace vendralith

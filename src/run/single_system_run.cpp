#include "run/single_system_run.h"

#include "output/standard_output.h"
#include "profile/profile_reader.h"
#include "queries/log_statistics_query.h"
#include "queries/system_info_query.h"
#include "rfc/logon.h"
#include "rfc/rfc_session.h"
#include "rfc/scan_locks.h"
#include "run/error_ending.h"
#include "run/log_full_in_channel.h"
#include "run/run_deadline.h"
#include "system/clock.h"
#include "trend/log_full_in.h"

namespace vendralith {

std::string ShownParameters(std::string parameterText) {
  for (const char flag : {'#', '@'}) {
    if (const std::size_t at = parameterText.find(flag); at != std::string::npos) {
      parameterText.resize(at);
    }
  }
  if (parameterText == "(Parameters " || parameterText == "(No ") parameterText.clear();
  return parameterText.empty() ? "(No Parameters)" : parameterText;
}

void RunSingleSystem(RunContext& run) {
  const RunSettings& settings = run.settings;
  ResultDocument& document = run.document;
  document.SetChannelLimits(settings.channelLimits);
  const bool deadline = settings.timeoutSeconds > 0;
  if (deadline) StartRunDeadline(run.started, settings.timeoutSeconds);
  ProfileReadResult profile =
      ReadProfileText(run.location.content, Reading::Strict, run.location.name, run.key,
                      CredentialLinesFor(settings.credentials));
  if (!profile.error.empty()) EndWithErrorDocument(document, profile.error);
  SystemEntry& entry = profile.entry;
  run.callLog.Write(0, "profile read", run.location.path + ", destination " + entry.destination);
  TakeCredentials(entry, settings.credentials, run.callLog);

  // Until the system has answered, the deadline answers for it.
  DeadlineEnding noAnswer;
  if (deadline) {
    ResultDocument noAnswerDocument(settings.outputMode, settings.parameterString);
    noAnswerDocument.MakeErrorDocument(NoAnswerMessage(entry.destination, settings.timeoutSeconds));
    noAnswer = {noAnswerDocument.Text(), ExitCode::ErrorDocument};
    SetDeadlineEnding(noAnswer);
  }

  if (const std::string& failure = BindRfcLibrary(settings.parameterString, RowTexts(document));
      !failure.empty()) {
    EndWithErrorDocument(document, failure);
  }
  RfcSession& session = Session();
  run.callLog.WriteText(RfcLibraryText(session.LibraryDescription()));
  if (const std::string refused = CheckCredentialsForLibrary(session, settings.credentials);
      !refused.empty()) {
    EndWithErrorDocument(document, refused);
  }
  document.Clear();

  if (settings.consoleMode) {
    const std::string time = ClockTime();
    WriteOut(settings.consoleLine + "\n");
    WriteOut(EntrySummary(time, run.location.name, entry) + " State=Processing\n");
    WriteOut("* " + time + " " + std::string(kProgramWord) + " - " +
             ShownParameters(settings.parameterText) + " State=Executing\n");
    WriteOut("* " + RfcLibraryText(session.LibraryDescription()) + "\n");
  }

  // Until this scan has read its trace note, no other scan removes the trace.
  FolderScanLocks().EnterRfcPart();
  const LogonOutcome logon = LogOnAndForgetPassword(session, entry, settings.parameterString,
                                                    settings.consoleMode, run.callLog);
  if (!logon.ok) {
    EndWithErrorDocument(document, LogonFailedMessage(entry.destination) + logon.note);
  }

  SystemInfo info;
  const QueryOutcome systemInfo = QuerySystemInfo(session, info);
  if (!systemInfo.Ok()) {
    EndWithErrorDocument(document, systemInfo.message + session.FailureNote(), &session);
  }
  if (!IsMaxDb(info)) EndWithErrorDocument(document, "Error 1018: DataBase mismatch !", &session);

  LogStatisticsRequest request;
  request.destination = entry.destination;
  request.parameterString = settings.parameterString;
  // The query prints the document's opening once the statistics have come:
  // after it, an error document would be a second answer.
  if (deadline) SetDeadlineEnding(noAnswer, EndingHolds::UntilNextWrite);
  const LogStatisticsOutcome statistics = QueryLogStatistics(session, request, document);
  // The real cause goes out before the close: a close that hangs must not
  // leave the host with nothing, or with the deadline's error in its place.
  if (!statistics.Ok()) {
    EndWithErrorDocument(document, statistics.message + session.FailureNote(), &session);
  }
  if (settings.trend && statistics.fill) {
    document.WriteHoursChannel(
        kLogFullInChannel,
        LogFullInValue(TrendFolderPath(), info, *statistics.fill, settings.trendHours,
                       session.ConnectionNumber(), run.callLog),
        settings.trendHours);
  }
  document.CloseDocument();
  // The answer is complete: should closing hang, the deadline prints it.
  if (deadline) SetDeadlineEnding({document.Text(), ExitCode::Success});
  session.Close();

  WriteLastOut(document.Text(), ExitCode::Success);
  FolderScanLocks().LeaveRfcPartRemovingTrace();
  if (settings.consoleMode) {
    WriteOut("\n* " + ClockTime() + " SAP " + std::string(kProgramWord) + " now processed...\n");
  }
  EndProcess(ExitCode::Success);
}

}  // namespace vendralith

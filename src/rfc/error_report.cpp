#include "rfc/error_report.h"

#include <algorithm>
#include <iterator>

#include "output/console_format.h"
#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/rfc_functions.h"
#include "system/process_end.h"

namespace vendralith {

namespace {
constexpr int kLabelWidth = 15;
constexpr const char* kClosingLines = "* Programm aborted...\n* Error at EoXput-File...\n";
}  // namespace

void ReportRfcError(const char* operation) {
  // The report is the run's answer now: the deadline adds no document to it.
  SetDeadlineEnding({"", ExitCode::RfcError});
  WriteOut("RFC error\n");
  PrintLabelLine("operation/code", 0, kLabelWidth, operation != nullptr ? operation : "");
  RFC_ERROR_INFO error{};
  Rfc().RfcLastError(&error);
  PrintLabelLine("key", 0, kLabelWidth, error.key);
  PrintLabelLine("status", 0, kLabelWidth, error.status);
  PrintLabelLine("message", 0, kLabelWidth, error.message);
  PrintLabelLine("internal status", 0, kLabelWidth, error.intstat);
  WriteOut("\n");
  if (const CallLog* log = CallLog::Current()) {
    const std::string_view message(
        error.message, std::find(std::begin(error.message), std::end(error.message), '\0') -
                           std::begin(error.message));
    log->Write(0, "RFC error",
               std::string(operation != nullptr ? operation : "") + ": " + std::string(message));
    // Before the close, which may hang.
    log->WriteText("* Pgrm aborted...");
  }
  // Should closing hang, the deadline still ends the report.
  SetDeadlineEnding({kClosingLines, ExitCode::RfcError});
  // The report does not know the connection; the library ends it.
  Rfc().RfcClose(0);
  WriteLastOut(kClosingLines, ExitCode::RfcError);
  EndProcess(ExitCode::RfcError);
}

extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation) { ReportRfcError(operation); }

}  // namespace vendralith

#include "rfc/error_report.h"

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

void ReportRfcFailure(const char* operation, const RfcErrorTexts& texts,
                      const std::function<void()>& closeAll) {
  // The report is the run's answer now: the deadline adds no document to it.
  SetDeadlineEnding({"", ExitCode::RfcError});
  WriteOut("RFC error\n");
  PrintLabelLine("operation/code", 0, kLabelWidth, operation != nullptr ? operation : "");
  PrintLabelLine("key", 0, kLabelWidth, texts.key);
  PrintLabelLine("status", 0, kLabelWidth, texts.status);
  PrintLabelLine("message", 0, kLabelWidth, texts.message);
  PrintLabelLine("internal status", 0, kLabelWidth, texts.internalStatus);
  WriteOut("\n");
  if (const CallLog* log = CallLog::Current()) {
    log->Write(0, "RFC error",
               std::string(operation != nullptr ? operation : "") + ": " + texts.message);
    // Before the close, which may hang.
    log->WriteText("* Pgrm aborted...");
  }
  // Should closing hang, the deadline still ends the report.
  SetDeadlineEnding({kClosingLines, ExitCode::RfcError});
  closeAll();
  WriteLastOut(kClosingLines, ExitCode::RfcError);
  EndProcess(ExitCode::RfcError);
}

void ReportRfcError(const char* operation) {
  RFC_ERROR_INFO error{};
  Rfc().RfcLastError(&error);
  // The report does not know the connection; the library ends it.
  ReportRfcFailure(operation, {error.key, error.status, error.message, error.intstat},
                   [] { Rfc().RfcClose(0); });
}

extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation) { ReportRfcError(operation); }

}  // namespace vendralith

#include "rfc/error_report.h"

#include "output/console_format.h"
#include "output/standard_output.h"
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
  // Should closing hang, the deadline still ends the report.
  SetDeadlineEnding({kClosingLines, ExitCode::RfcError});
  // The report does not know the connection; the library ends it.
  Rfc().RfcClose(0);
  WriteLastOut(kClosingLines, ExitCode::RfcError);
  EndProcess(ExitCode::RfcError);
}

extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation) { ReportRfcError(operation); }

}  // namespace vendralith

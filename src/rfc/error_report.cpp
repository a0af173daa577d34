#include "rfc/error_report.h"

#include "output/console_format.h"
#include "output/standard_output.h"
#include "rfc/rfc_functions.h"
#include "system/process_end.h"

namespace vendralith {

namespace {
constexpr int kLabelWidth = 15;
}

void ReportRfcError(const char* operation) {
  WriteOut("RFC error\n");
  PrintLabelLine("operation/code", 0, kLabelWidth, operation != nullptr ? operation : "");
  RFC_ERROR_INFO error{};
  Rfc().RfcLastError(&error);
  PrintLabelLine("key", 0, kLabelWidth, error.key);
  PrintLabelLine("status", 0, kLabelWidth, error.status);
  PrintLabelLine("message", 0, kLabelWidth, error.message);
  PrintLabelLine("internal status", 0, kLabelWidth, error.intstat);
  WriteOut("\n");
  // The report does not know the connection; the library ends it.
  Rfc().RfcClose(0);
  WriteOut("* Programm aborted...\n");
  WriteOut("* Error at EoXput-File...\n");
  EndProcess(ExitCode::RfcError);
}

extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation) { ReportRfcError(operation); }

}  // namespace vendralith

#include "rfc/error_report.h"

#include "output/console_format.h"
#include "output/standard_output.h"
#include "run/process_end.h"

namespace vendralith {

namespace {
constexpr int kLabelWidth = 15;
}

std::string RfcErrorReport(const std::string& operation, const RFC_ERROR_INFO& error) {
  return "RFC error\n" + LabelLine("operation/code", 0, kLabelWidth, operation) +
         LabelLine("key", 0, kLabelWidth, error.key) +
         LabelLine("status", 0, kLabelWidth, error.status) +
         LabelLine("message", 0, kLabelWidth, error.message) +
         LabelLine("internal status", 0, kLabelWidth, error.intstat) + "\n";
}

void ReportRfcError(const char* operation) {
  RFC_ERROR_INFO error{};
  RfcLastError(&error);
  WriteOut(RfcErrorReport(operation != nullptr ? operation : "", error));
  // The report does not know the connection; the library ends it.
  RfcClose(0);
  WriteOut("* Programm aborted...\n");
  WriteOut("* Error at EoXput-File...\n");
  EndProcess(ExitCode::RfcError);
}

extern "C" void ReportRfcErrorHandler(char* operation) { ReportRfcError(operation); }

}  // namespace vendralith

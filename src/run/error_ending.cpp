#include "run/error_ending.h"

#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

namespace {

// Logged before the answer goes out: should closing hang, the log has it.
void LogError(std::string_view message, RFC_HANDLE connection) {
  if (const CallLog* log = CallLog::Current()) {
    log->Write(static_cast<std::int32_t>(connection), "error document", message);
  }
}

[[noreturn]] void PrintAndEnd(const ResultDocument& document, RFC_HANDLE connection) {
  // Should closing hang, the deadline ends the process without another word.
  WriteLastOut(document.Text(), ExitCode::ErrorDocument);
  if (connection != 0) Rfc().RfcClose(connection);
  EndProcess(ExitCode::ErrorDocument);
}

}  // namespace

void EndWithErrorDocument(ResultDocument& document, std::string_view message,
                          RFC_HANDLE connection) {
  LogError(message, connection);
  document.MakeErrorDocument(message);
  PrintAndEnd(document, connection);
}

void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                              RFC_HANDLE connection) {
  LogError(message, connection);
  if (document.IsXml()) {
    document.Clear();
    document.AppendErrorToOpenDocument(message);
  } else {
    document.MakeErrorDocument(message);
  }
  PrintAndEnd(document, connection);
}

}  // namespace vendralith

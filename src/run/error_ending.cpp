#include "run/error_ending.h"

#include "output/standard_output.h"
#include "rfc/call_log.h"

namespace vendralith {

namespace {

// Logged before the answer goes out: should closing hang, the log has it.
void LogError(std::string_view message, std::int32_t connection) {
  if (const CallLog* log = CallLog::Current()) log->Write(connection, "error document", message);
}

std::int32_t ConnectionOf(const RfcSession* open) {
  return open != nullptr ? open->ConnectionNumber() : 0;
}

// After the answer: should closing hang, the deadline ends the process
// without another word.
[[noreturn]] void CloseAndEnd(RfcSession* open) {
  if (open != nullptr) open->Close();
  EndProcess(ExitCode::ErrorDocument);
}

}  // namespace

void EndWithErrorDocument(ResultDocument& document, std::string_view message, RfcSession* open) {
  LogError(message, ConnectionOf(open));
  document.MakeErrorDocument(message);
  WriteLastOut(document.Text(), ExitCode::ErrorDocument);
  CloseAndEnd(open);
}

void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                              RfcSession* open) {
  PrintOpenDocumentError(document, message, ConnectionOf(open));
  CloseAndEnd(open);
}

void PrintOpenDocumentError(ResultDocument& document, std::string_view message,
                            std::int32_t connection) {
  LogError(message, connection);
  if (document.IsXml()) {
    document.Clear();
    document.AppendErrorToOpenDocument(message);
  } else {
    document.MakeErrorDocument(message);
  }
  WriteLastOut(document.Text(), ExitCode::ErrorDocument);
}

std::string LogonFailedMessage(const std::string& destination) {
  return "Error 1011: RFC-Open for " + destination + " failed !";
}

TextForm RowTexts(const ResultDocument& document) {
  return document.IsXml() ? TextForm::Utf8 : TextForm::AnsiCodePage;
}

}  // namespace vendralith

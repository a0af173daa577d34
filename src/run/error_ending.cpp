#include "run/error_ending.h"

#include "output/standard_output.h"
#include "rfc/call_log.h"

namespace vendralith {

namespace {

// Logged before the answer goes out: should closing hang, the log has it.
void LogError(std::string_view message, const RfcSession* open) {
  if (const CallLog* log = CallLog::Current()) {
    log->Write(open != nullptr ? open->ConnectionNumber() : 0, "error document", message);
  }
}

[[noreturn]] void PrintAndEnd(const ResultDocument& document, RfcSession* open) {
  // Should closing hang, the deadline ends the process without another word.
  WriteLastOut(document.Text(), ExitCode::ErrorDocument);
  if (open != nullptr) open->Close();
  EndProcess(ExitCode::ErrorDocument);
}

}  // namespace

void EndWithErrorDocument(ResultDocument& document, std::string_view message, RfcSession* open) {
  LogError(message, open);
  document.MakeErrorDocument(message);
  PrintAndEnd(document, open);
}

void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                              RfcSession* open) {
  LogError(message, open);
  if (document.IsXml()) {
    document.Clear();
    document.AppendErrorToOpenDocument(message);
  } else {
    document.MakeErrorDocument(message);
  }
  PrintAndEnd(document, open);
}

std::string LogonFailedMessage(const std::string& destination) {
  return "Error 1011: RFC-Open for " + destination + " failed !";
}

TextForm RowTexts(const ResultDocument& document) {
  return document.IsXml() ? TextForm::Utf8 : TextForm::AnsiCodePage;
}

}  // namespace vendralith

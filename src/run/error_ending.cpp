#include "run/error_ending.h"

#include "output/standard_output.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

namespace {

[[noreturn]] void PrintAndEnd(const ResultDocument& document, RFC_HANDLE connection) {
  // Should closing hang, the deadline ends the process without another word.
  WriteLastOut(document.Text(), ExitCode::ErrorDocument);
  if (connection != 0) Rfc().RfcClose(connection);
  EndProcess(ExitCode::ErrorDocument);
}

}  // namespace

void EndWithErrorDocument(ResultDocument& document, std::string_view message,
                          RFC_HANDLE connection) {
  document.MakeErrorDocument(message);
  PrintAndEnd(document, connection);
}

void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                              RFC_HANDLE connection) {
  if (document.IsXml()) {
    document.Clear();
    document.AppendErrorToOpenDocument(message);
  } else {
    document.MakeErrorDocument(message);
  }
  PrintAndEnd(document, connection);
}

}  // namespace vendralith

#include "run/process_end.h"

#include <cstdio>
#include <cstdlib>

#include "output/standard_output.h"

namespace vendralith {

namespace {

[[noreturn]] void PrintAndEnd(const ResultDocument& document, RFC_HANDLE connection) {
  WriteOut(document.Text());
  if (connection != 0) RfcClose(connection);
  EndProcess(ExitCode::ErrorDocument);
}

}  // namespace

void EndProcess(ExitCode code) {
  (void)std::fflush(stdout);  // as in WriteOut: nowhere to report a failure
  std::exit(static_cast<int>(code));
}

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

// The RFC error report: the library's error on standard output, then the end
// of the process with exit code 1 and no result document.
#ifndef VENDRALITH_RFC_ERROR_REPORT_H
#define VENDRALITH_RFC_ERROR_REPORT_H

#include <functional>
#include <string>

#include "rfc/rfc_library.h"

namespace vendralith {

// The four texts the report shows below the operation.
struct RfcErrorTexts {
  std::string key;
  std::string status;
  std::string message;
  std::string internalStatus;
};

// Prints the report of the failed operation, ends the library's connections
// with closeAll and ends the process. Does not return.
[[noreturn]] void ReportRfcFailure(const char* operation, const RfcErrorTexts& texts,
                                   const std::function<void()>& closeAll);

// The classic library's report, from its last error: installed as its error
// handler, and called when a structure or table operation fails.
[[noreturn]] void ReportRfcError(const char* operation);

// The same, in the shape the library calls.
extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation);

}  // namespace vendralith

#endif

// The RFC error report: the library's last error on standard output, then
// the end of the process with exit code 1 and no result document.
#ifndef VENDRALITH_RFC_ERROR_REPORT_H
#define VENDRALITH_RFC_ERROR_REPORT_H

#include "rfc/rfc_library.h"

namespace vendralith {

// Installed as the library's error handler, and called by the queries when a
// structure or table operation fails. Does not return.
[[noreturn]] void ReportRfcError(const char* operation);

// The same, in the shape the library calls.
extern "C" void RFC_STDCALL ReportRfcErrorHandler(char* operation);

}  // namespace vendralith

#endif

// The ways the process ends. Every exit of the program goes through here.
#ifndef VENDRALITH_RUN_PROCESS_END_H
#define VENDRALITH_RUN_PROCESS_END_H

#include <string_view>

#include "output/result_document.h"
#include "rfc/rfc_library.h"

namespace vendralith {

enum class ExitCode { Success = 0, RfcError = 1, ErrorDocument = 2 };

[[noreturn]] void EndProcess(ExitCode code);

// Replaces the document with the error document, prints it, closes the
// connection if one is given, and exits with 2.
[[noreturn]] void EndWithErrorDocument(ResultDocument& document, std::string_view message,
                                       RFC_HANDLE connection = 0);

// The same for a run whose document opening was already printed: in the XML
// dialects the error completes that open document instead, so that the host
// still reads one well-formed answer.
[[noreturn]] void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                                           RFC_HANDLE connection);

}  // namespace vendralith

#endif

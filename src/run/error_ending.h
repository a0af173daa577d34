// The endings of a run with an error document.
#ifndef VENDRALITH_RUN_ERROR_ENDING_H
#define VENDRALITH_RUN_ERROR_ENDING_H

#include <cstdint>
#include <string_view>

#include "output/result_document.h"
#include "rfc/rfc_session.h"
#include "system/process_end.h"

namespace vendralith {

// Replaces the document with the error document, prints it, closes the
// session's connection if a session is given, and exits with 2.
[[noreturn]] void EndWithErrorDocument(ResultDocument& document, std::string_view message,
                                       RfcSession* open = nullptr);

// The same for a run whose document opening was already printed: in the XML
// dialects the error completes that open document instead, so that the host
// still reads one well-formed answer.
[[noreturn]] void EndOpenDocumentWithError(ResultDocument& document, std::string_view message,
                                           RfcSession* open);

// Prints that error as the run's last output, without ending the process:
// for a run with more to tidy up. connection numbers the connection the
// error came from in the call log (0: none).
void PrintOpenDocumentError(ResultDocument& document, std::string_view message,
                            std::int32_t connection);

// "Error 1011: RFC-Open for DEST failed !".
std::string LogonFailedMessage(const std::string& destination);

// How the bound library is to give the texts of statistics rows, by the
// dialect of the document.
TextForm RowTexts(const ResultDocument& document);

}  // namespace vendralith

#endif

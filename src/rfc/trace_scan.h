// The note about the last error in the RFC library's trace file, appended to
// the message of a failed remote call.
#ifndef VENDRALITH_RFC_TRACE_SCAN_H
#define VENDRALITH_RFC_TRACE_SCAN_H

#include <optional>
#include <string>

namespace vendralith {

inline constexpr const char* kTraceFile = "Dev_Rfc.Trc";

// For the trace file's text, or nothing when it could not be opened:
// " - " and the last error message, or a hint to look at the file.
std::string TraceNote(const std::optional<std::string>& traceText);

// TraceNote of Dev_Rfc.Trc in the current folder.
std::string ScanTraceFile();

}  // namespace vendralith

#endif

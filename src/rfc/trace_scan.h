// The note about the last error in the RFC library's trace file, appended to
// the message of a failed remote call.
#ifndef VENDRALITH_RFC_TRACE_SCAN_H
#define VENDRALITH_RFC_TRACE_SCAN_H

#include <cstddef>
#include <optional>
#include <string>

namespace vendralith {

inline constexpr const char* kTraceFile = "Dev_Rfc.Trc";

// The longest piece the scan reads at once, its line end included.
inline constexpr std::size_t kTracePieceLength = 99;

// The scan's rules for one piece of the trace without its line end: a
// "**** ERROR " line clears the message, an "ERROR " line sets it from
// column 13, a line with "======> " at columns 8 to 15 from column 16.
void ScanTracePiece(const std::string& piece, std::string& message);

// For the trace file's text, or nothing when it could not be opened:
// " - " and the last error message, or a hint to look at the file.
std::string TraceNote(const std::optional<std::string>& traceText);

// TraceNote of Dev_Rfc.Trc in the current folder.
std::string ScanTraceFile();

}  // namespace vendralith

#endif

// The note about the last error in the RFC library's trace file, appended to
// the message of a failed remote call.
#ifndef VENDRALITH_RFC_TRACE_SCAN_H
#define VENDRALITH_RFC_TRACE_SCAN_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vendralith {

inline constexpr const char* kTraceFile = "Dev_Rfc.Trc";

// The longest piece the scan reads at once, its line end included.
inline constexpr std::size_t kTracePieceChars = 99;

// Reads a trace as a stream: the text goes in part by part, and only the
// unfinished last piece is kept, so a trace of any size costs the same memory.
class TraceScanner {
 public:
  // More of the trace's text, as read in text mode.
  void Add(std::string_view text);
  // " - " and the last error message, or the hint to look at the file.
  std::string Finish();
  // The last error message alone; empty when the text holds none.
  std::string FinishMessage();

 private:
  void TakePieces(bool atEnd);
  void Take(std::string piece);

  std::string rest_;  // text not yet cut into pieces
  std::string message_;
};

// For the trace file's text, or nothing when it could not be opened:
// " - " and the last error message, or a hint to look at the file.
std::string TraceNote(const std::optional<std::string>& traceText);

// TraceNote of Dev_Rfc.Trc in the current folder, read as a stream.
std::string ScanTraceFile();

}  // namespace vendralith

#endif

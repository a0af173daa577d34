#include "rfc/trace_scan.h"

#include "system/text_file.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

std::string From(const std::string& piece, std::size_t column) {
  return piece.size() >= column ? piece.substr(column - 1) : std::string();
}

}  // namespace

void ScanTracePiece(const std::string& piece, std::string& message) {
  if (piece.rfind("**** ERROR ", 0) == 0) message.clear();
  if (piece.rfind("ERROR ", 0) == 0) message = From(piece, 13);
  if (piece.size() >= 15 && piece.compare(7, 8, "======> ") == 0) message = From(piece, 16);
}

std::string TraceNote(const std::optional<std::string>& traceText) {
  if (!traceText) return " - Look for Trace-File";
  std::string message;
  for (std::string piece : ReadPieces(*traceText, kTracePieceLength)) {
    DropTrailing(piece, '\n');
    ScanTracePiece(piece, message);
  }
  return message.empty() ? " - Please Check Trace-File !" : " - " + message;
}

std::string ScanTraceFile() { return TraceNote(ReadTextFile(kTraceFile)); }

}  // namespace vendralith

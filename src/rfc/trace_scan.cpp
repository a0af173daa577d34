#include "rfc/trace_scan.h"

#include "system/text_file.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

constexpr std::size_t kPieceChars = kTracePieceChars;
// A cut inside a long line looks up to three bytes past the piece, to see
// whether a character would be split.
constexpr std::size_t kLookAhead = 3;

std::string From(const std::string& piece, std::size_t column) {
  return piece.size() >= column ? piece.substr(column - 1) : std::string();
}

}  // namespace

void TraceScanner::Add(std::string_view text) {
  rest_.append(text);
  TakePieces(false);
}

std::string TraceScanner::Finish() {
  const std::string message = FinishMessage();
  return message.empty() ? " - Please Check Trace-File !" : " - " + message;
}

std::string TraceScanner::FinishMessage() {
  TakePieces(true);
  return message_;
}

void TraceScanner::TakePieces(bool atEnd) {
  std::string_view rest = rest_;
  // A piece is cut only once what follows cannot change it: a line end
  // ends it, or enough text stands beyond the longest piece.
  while (!rest.empty() && (atEnd || rest.size() > kPieceChars + kLookAhead ||
                           rest.find('\n') != std::string_view::npos)) {
    const std::size_t length = PieceLength(rest, kPieceChars);
    Take(PieceText(rest.substr(0, length)));
    rest.remove_prefix(length);
  }
  rest_.erase(0, rest_.size() - rest.size());
}

void TraceScanner::Take(std::string piece) {
  DropTrailing(piece, '\n');
  if (piece.rfind("**** ERROR ", 0) == 0) message_.clear();
  if (piece.rfind("ERROR ", 0) == 0) message_ = From(piece, 13);
  if (piece.size() >= 15 && piece.compare(7, 8, "======> ") == 0) message_ = From(piece, 16);
}

std::string TraceNote(const std::optional<std::string>& traceText) {
  if (!traceText) return " - Look for Trace-File";
  TraceScanner scanner;
  scanner.Add(*traceText);
  return scanner.Finish();
}

std::string ScanTraceFile() {
  TraceScanner scanner;
  const bool read =
      ReadTextFileInParts(kTraceFile, [&scanner](std::string_view part) { scanner.Add(part); });
  return read ? scanner.Finish() : " - Look for Trace-File";
}

}  // namespace vendralith

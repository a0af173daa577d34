// The trace-file scan on any file content, as stored and as read in text mode.
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "rfc/trace_scan.h"
#include "system/text_file.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string bytes(input.Rest());
  for (const std::string& text : {bytes, vendralith::TextModeContent(bytes)}) {
    const std::string note = vendralith::TraceNote(text);
    Require(note.rfind(" - ", 0) == 0, "the note starts with a dash");
    Require(note.size() <= 3 + 99, "the message comes from one piece of a line");
  }
  return 0;
}

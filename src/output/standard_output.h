// The one place that writes to standard output.
//
// Every write holds one lock. A run with a deadline keeps an ending here, the
// text that the watchdog prints when the deadline passes and the exit code it
// ends with; the watchdog prints it under the same lock, so that it never
// interleaves with the run's output and never repeats any of it.
#ifndef VENDRALITH_OUTPUT_STANDARD_OUTPUT_H
#define VENDRALITH_OUTPUT_STANDARD_OUTPUT_H

#include <functional>
#include <string>
#include <string_view>

#include "system/process_end.h"

namespace vendralith {

// Writes the bytes unchanged (on Windows the console stream is in text mode,
// so each "\n" reaches the host as "\r\n").
void WriteOut(std::string_view text);

// What the deadline prints after everything printed so far, and the exit
// code it ends the process with.
struct DeadlineEnding {
  std::string text;
  ExitCode code = ExitCode::ErrorDocument;
};

enum class EndingHolds {
  UntilReplaced,
  // Withdrawn by the next write: for a call that may print a part of the
  // document that the ending does not follow. The deadline then waits for
  // the next ending.
  UntilNextWrite,
};

// Replaces the deadline's ending. Until the first, the deadline waits.
void SetDeadlineEnding(DeadlineEnding ending, EndingHolds holds = EndingHolds::UntilReplaced);

// Writes text and replaces the ending in one step: no deadline comes between.
void WriteOutThen(std::string_view text, DeadlineEnding ending);

// Writes the run's last output: the deadline adds nothing to it, it only
// ends the process with code.
void WriteLastOut(std::string_view text, ExitCode code);

// The watchdog's action: waits until an ending is set, prints it and ends the
// process at once, holding the lock to the end.
[[noreturn]] void EndAtDeadline();

// In a process that scans one system for a multi-system run, what would go
// to standard output goes to the run instead, and so does each ending set
// for the deadline: the run prints them in their turn.
struct OutputRedirection {
  std::function<void(std::string_view text)> write;
  std::function<void(const DeadlineEnding& ending)> ending;
};
void RedirectOutput(OutputRedirection redirection);

}  // namespace vendralith

#endif

// The end of the process. Every exit of the program goes through here.
#ifndef VENDRALITH_SYSTEM_PROCESS_END_H
#define VENDRALITH_SYSTEM_PROCESS_END_H

namespace vendralith {

enum class ExitCode { Success = 0, RfcError = 1, ErrorDocument = 2 };

// Flushes standard output and exits with code.
[[noreturn]] void EndProcess(ExitCode code);

// Flushes standard output and ends the process at once, from any thread:
// no exit handlers, no library cleanup, no waiting for other threads. For
// the run's deadline, when a library call may hang and so may its cleanup.
// Only a step that holds the end (below) is finished first.
[[noreturn]] void EndProcessAtOnce(ExitCode code);

// While one lives, EndProcessAtOnce waits: for writing a file, which must
// not be left half-written.
class HoldProcessEnd {
 public:
  HoldProcessEnd();
  ~HoldProcessEnd();
  HoldProcessEnd(const HoldProcessEnd&) = delete;
  HoldProcessEnd& operator=(const HoldProcessEnd&) = delete;
};

// The operating system's part of EndProcessAtOnce, in process_end_<platform>.cpp.
[[noreturn]] void TerminateNow(ExitCode code);

}  // namespace vendralith

#endif

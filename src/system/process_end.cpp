#include "system/process_end.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace vendralith {

namespace {

// Never destroyed: the end at once may wait on it while the process exits.
std::mutex& EndLock() {
  static std::mutex& lock = *new std::mutex;
  return lock;
}

}  // namespace

void EndProcess(ExitCode code) {
  (void)std::fflush(stdout);  // nowhere to report a failure
  std::exit(static_cast<int>(code));
}

void EndProcessAtOnce(ExitCode code) {
  EndLock().lock();           // never released: the process ends
  (void)std::fflush(stdout);  // nowhere to report a failure
  TerminateNow(code);
}

HoldProcessEnd::HoldProcessEnd() { EndLock().lock(); }

HoldProcessEnd::~HoldProcessEnd() { EndLock().unlock(); }

}  // namespace vendralith

#include "run/run_deadline.h"

#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/scan_locks.h"
#include "system/watchdog.h"

namespace vendralith {

namespace {

constexpr std::string_view kTimeoutKeyword = ",TIMEOUT=";
constexpr int kMaxTimeoutSeconds = 900;

}  // namespace

NumberKeyword ReadTimeout(std::string_view parameterString) {
  return ReadNumberKeyword(parameterString, kTimeoutKeyword, kMaxTimeoutSeconds);
}

void LogDeadlinePassed(int seconds) {
  if (const CallLog* log = CallLog::Current()) {
    log->Write(0, "deadline passed", "TIMEOUT=" + std::to_string(seconds));
  }
}

std::string NoAnswerMessage(const std::string& destination, int seconds) {
  return "Error 1016: No answer from " + destination + " within " + std::to_string(seconds) +
         " s...";
}

void StartRunDeadline(std::chrono::steady_clock::time_point started, int seconds,
                      std::chrono::milliseconds grace) {
  const auto deadline = started + std::chrono::seconds(seconds);
  (void)StartWatchdog(deadline + grace, [seconds] {
    LogDeadlinePassed(seconds);
    EndAtDeadline();
  });
  // A wait for a lock ends with the run, whether or not a watchdog runs.
  FolderScanLocks().EndWaitsBy(deadline);
}

}  // namespace vendralith

#include "run/run_deadline.h"

#include <algorithm>

#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/scan_locks.h"
#include "system/text_helpers.h"
#include "system/watchdog.h"

namespace vendralith {

namespace {

constexpr std::string_view kTimeoutKeyword = ",TIMEOUT=";
constexpr int kMaxTimeoutSeconds = 900;

}  // namespace

TimeoutParameter ReadTimeout(std::string_view parameterString) {
  TimeoutParameter timeout;
  const auto at = parameterString.find(kTimeoutKeyword);
  if (at == std::string_view::npos) return timeout;
  timeout.given = true;
  const std::string value = ParameterValue(parameterString, at + kTimeoutKeyword.size());
  if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return timeout;
  // Leading zeros do not count; more than three digits are out of range anyway.
  const std::string_view digits =
      std::string_view(value).substr(std::min(value.find_first_not_of('0'), value.size()));
  if (digits.size() > 3) return timeout;
  int seconds = 0;
  for (const char digit : digits) seconds = seconds * 10 + (digit - '0');
  if (seconds >= 1 && seconds <= kMaxTimeoutSeconds) timeout.seconds = seconds;
  return timeout;
}

std::string NoAnswerMessage(const std::string& destination, int seconds) {
  return "Error 1016: No answer from " + destination + " within " + std::to_string(seconds) +
         " s...";
}

void StartRunDeadline(std::chrono::steady_clock::time_point started, int seconds) {
  const auto deadline = started + std::chrono::seconds(seconds);
  (void)StartWatchdog(deadline, [seconds] {
    if (const CallLog* log = CallLog::Current()) {
      log->Write(0, "deadline passed", "TIMEOUT=" + std::to_string(seconds));
    }
    EndAtDeadline();
  });
  // A wait for a lock ends with the run, whether or not a watchdog runs.
  FolderScanLocks().EndWaitsBy(deadline);
}

}  // namespace vendralith

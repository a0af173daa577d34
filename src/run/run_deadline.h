// The run's deadline: ",TIMEOUT=n" in the parameters gives the whole run a
// budget of n seconds. When it passes, a watchdog prints the ending that the
// run driver set last (see output/standard_output.h) and ends the process.
#ifndef VENDRALITH_RUN_RUN_DEADLINE_H
#define VENDRALITH_RUN_RUN_DEADLINE_H

#include <chrono>
#include <string>
#include <string_view>

#include "run/number_keyword.h"

namespace vendralith {

inline constexpr const char* kTimeoutError =
    "Error 1017: Parameter TIMEOUT= must be 1 to 900 seconds !";

// ",TIMEOUT=" in the upper-cased parameters: its value in seconds, 1 to 900.
NumberKeyword ReadTimeout(std::string_view parameterString);

// The call log's line of a deadline that passed.
void LogDeadlinePassed(int seconds);

// "Error 1016: No answer from DEST within n s...".
std::string NoAnswerMessage(const std::string& destination, int seconds);

// Starts the watchdog for the deadline seconds after started, and ends every
// wait for a lock by then. Should the system start no thread, the run goes on
// without a deadline. A run that answers at the deadline by itself gives the
// watchdog grace beyond it: the watchdog then answers only for a run that
// cannot.
void StartRunDeadline(std::chrono::steady_clock::time_point started, int seconds,
                      std::chrono::milliseconds grace = std::chrono::milliseconds(0));

}  // namespace vendralith

#endif

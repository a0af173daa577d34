// The keywords with a value that the run checks before it starts, such as
// ",TIMEOUT=", ",PARALLEL=", ",WARN=", ",ERROR=", ",CRED=" and ",TREND": read from the command
// line, and in a global run once more from the sensor's own parameters in its
// "# GSNX: " line, whose values then count. Each value is checked where it
// is read; what depends on several values, or on the values that count, is
// checked once every place is read.
#ifndef VENDRALITH_RUN_RUN_KEYWORDS_H
#define VENDRALITH_RUN_RUN_KEYWORDS_H

#include <string>
#include <string_view>

#include "run/run_settings.h"
#include "system/environment.h"

namespace vendralith {

// Checks the keywords of one place's upper-cased parameters in their fixed
// order and sets the run settings of those given. Returns the message of the
// first bad value, or "" when every keyword given is good. multiSystem: the
// run covers a listing, so that ",PARALLEL=" counts (a single-system run
// ignores it, whatever its value).
std::string ApplyValueKeywords(std::string_view parameterString, bool multiSystem,
                               RunSettings& settings);

// Checks the values that count, once every place is read: the channel
// limits in order (1022), then, where the credentials come from the
// monitoring host, its pair in environment (1031, 1032). "" when all hold.
std::string CheckResultingValues(const RunSettings& settings,
                                 const EnvironmentLookup& environment = EnvironmentValue);

}  // namespace vendralith

#endif

// The local time of day as shown on console lines and in the call log.
#ifndef VENDRALITH_SYSTEM_CLOCK_H
#define VENDRALITH_SYSTEM_CLOCK_H

#include <string>

namespace vendralith {

// "hh:mm:ss", 24-hour clock.
std::string ClockTime();

// "YYYY-MM-DD hh:mm:ss", for lines of a log.
std::string LocalDateTime();

}  // namespace vendralith

#endif

// The local time of day as shown on console lines and in the call log, and
// the time in UTC seconds that stored samples carry.
#ifndef VENDRALITH_SYSTEM_CLOCK_H
#define VENDRALITH_SYSTEM_CLOCK_H

#include <cstdint>
#include <string>

namespace vendralith {

// "hh:mm:ss", 24-hour clock.
std::string ClockTime();

// "YYYY-MM-DD hh:mm:ss", for lines of a log.
std::string LocalDateTime();

// Whole seconds since 1970-01-01 00:00 UTC.
std::int64_t UtcSeconds();

}  // namespace vendralith

#endif

// The local time of day as shown on console lines.
#ifndef VENDRALITH_SYSTEM_CLOCK_H
#define VENDRALITH_SYSTEM_CLOCK_H

#include <string>

namespace vendralith {

// "hh:mm:ss", 24-hour clock.
std::string ClockTime();

}  // namespace vendralith

#endif

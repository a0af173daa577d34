// The sensor from start to exit: start-up, the profile search, and one of
// the two run drivers.
#ifndef VENDRALITH_RUN_SENSOR_H
#define VENDRALITH_RUN_SENSOR_H

#include <string>
#include <vector>

namespace vendralith {

// arguments as given to main; ends the process.
[[noreturn]] void RunSensor(const std::vector<std::string>& arguments);

}  // namespace vendralith

#endif

#include "system/clock.h"

#include <ctime>

namespace vendralith {

std::string ClockTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[16] = "";
  // strftime leaves the buffer undefined when it fails.
  if (local == nullptr || std::strftime(text, sizeof text, "%H:%M:%S", local) == 0) {
    return "00:00:00";
  }
  return text;
}

}  // namespace vendralith

#include "run/clock.h"

#include <ctime>

namespace vendralith {

std::string ClockTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[16] = "00:00:00";
  if (local != nullptr) std::strftime(text, sizeof text, "%H:%M:%S", local);
  return text;
}

}  // namespace vendralith

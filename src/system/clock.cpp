#include "system/clock.h"

#include <chrono>
#include <ctime>

namespace vendralith {

namespace {

std::string LocalTime(const char* format, const char* unknown) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[32] = "";
  // strftime leaves the buffer undefined when it fails.
  if (local == nullptr || std::strftime(text, sizeof text, format, local) == 0) return unknown;
  return text;
}

}  // namespace

std::string ClockTime() { return LocalTime("%H:%M:%S", "00:00:00"); }

std::string LocalDateTime() { return LocalTime("%Y-%m-%d %H:%M:%S", "0000-00-00 00:00:00"); }

std::int64_t UtcSeconds() {
  // The system clock counts from the Unix epoch in UTC on every platform since C++20.
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace vendralith

#include "system/watchdog.h"

#include <system_error>
#include <thread>
#include <utility>

namespace vendralith {

bool StartWatchdog(std::chrono::steady_clock::time_point deadline, std::function<void()> action) {
  try {
    std::thread([deadline, action = std::move(action)] {
      // sleep_until may return early, for example on a signal.
      while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_until(deadline);
      action();
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace vendralith

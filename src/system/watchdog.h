// A thread that acts once a deadline has passed.
#ifndef VENDRALITH_SYSTEM_WATCHDOG_H
#define VENDRALITH_SYSTEM_WATCHDOG_H

#include <chrono>
#include <functional>

namespace vendralith {

// Calls action on a thread of its own once deadline has passed (at once when
// it has passed already). The thread is never stopped or joined: a process
// that ends before the deadline takes it along. False when the system could
// start no thread.
bool StartWatchdog(std::chrono::steady_clock::time_point deadline, std::function<void()> action);

}  // namespace vendralith

#endif

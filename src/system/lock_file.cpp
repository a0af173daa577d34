#include "system/lock_file.h"

#include <thread>

namespace vendralith {

namespace {
// Short against a logon, long enough not to keep a core busy.
constexpr std::chrono::milliseconds kPollInterval{1};
}  // namespace

LockResult LockFile::Lock(std::uint32_t byte, LockKind kind, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  LockResult result = TryLock(byte, kind);
  while (result == LockResult::HeldByOther && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPollInterval);
    result = TryLock(byte, kind);
  }
  return result;
}

}  // namespace vendralith

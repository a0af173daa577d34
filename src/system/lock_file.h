// Locks on single bytes of a lock file, by which processes started from one
// folder keep apart. A lock belongs to the open file, and the operating
// system releases it when the process ends, however it ends: no lock can
// outlive the process that took it. CMake picks one of lock_file_posix.cpp
// and lock_file_win32.cpp.
#ifndef VENDRALITH_SYSTEM_LOCK_FILE_H
#define VENDRALITH_SYSTEM_LOCK_FILE_H

#include <chrono>
#include <cstdint>
#include <string>

namespace vendralith {

enum class LockKind { Shared, Exclusive };

enum class LockResult {
  Taken,
  HeldByOther,  // a conflicting lock of another process (or another open of the file)
  Failed        // the file or its file system cannot be locked at all
};

class LockFile {
 public:
  // Opens the file, creating it empty when it is missing; never writes to it.
  // When it cannot be opened every lock fails.
  explicit LockFile(const std::string& path);
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  bool IsOpen() const { return handle_ != kNoHandle; }

  // Without waiting.
  LockResult TryLock(std::uint32_t byte, LockKind kind);

  // Tries again after a short sleep while another holds the byte, until it
  // is taken or wait has passed: a waiting process cannot tell a slow holder
  // from a hung one, so it must not wait for ever.
  LockResult Lock(std::uint32_t byte, LockKind kind, std::chrono::milliseconds wait);

  void Unlock(std::uint32_t byte);

 private:
  // A POSIX file descriptor or a Windows HANDLE; -1 is "none" for both.
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

}  // namespace vendralith

#endif

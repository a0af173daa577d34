// Open file description locks: they belong to the open file, not to the
// process, so closing another descriptor of the same file (as the classic
// fcntl locks would have it) releases nothing.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "system/lock_file.h"
#include "system/platform.h"

namespace vendralith {

namespace {

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

// Whether setting the lock of one byte worked.
bool SetLock(std::intptr_t handle, std::uint32_t byte, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(byte);
  range.l_len = 1;
  return fcntl(Descriptor(handle), F_OFD_SETLK, &range) == 0;
}

}  // namespace

LockFile::LockFile(const std::string& path) {
  // Read and write access: a shared lock needs the one, an exclusive one the other.
  const int descriptor = open(LocalPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor >= 0) handle_ = descriptor;
}

LockFile::~LockFile() {
  if (IsOpen()) (void)close(Descriptor(handle_));  // only locks go with it
}

LockResult LockFile::TryLock(std::uint32_t byte, LockKind kind) {
  if (!IsOpen()) return LockResult::Failed;
  if (SetLock(handle_, byte, kind == LockKind::Shared ? F_RDLCK : F_WRLCK)) {
    return LockResult::Taken;
  }
  return errno == EAGAIN || errno == EACCES ? LockResult::HeldByOther : LockResult::Failed;
}

void LockFile::Unlock(std::uint32_t byte) {
  if (IsOpen()) (void)SetLock(handle_, byte, F_UNLCK);  // ends with the process at the latest
}

}  // namespace vendralith

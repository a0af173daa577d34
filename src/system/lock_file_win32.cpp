#include <windows.h>

#include "system/lock_file.h"

namespace vendralith {

namespace {

HANDLE FileHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

OVERLAPPED At(std::uint32_t byte) {
  OVERLAPPED position{};
  position.Offset = byte;
  return position;
}

}  // namespace

LockFile::LockFile(const std::string& path) {
  // Shared for reading, writing and deleting: the file only carries locks.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(file);
}

LockFile::~LockFile() {
  if (IsOpen()) CloseHandle(FileHandle(handle_));
}

LockResult LockFile::TryLock(std::uint32_t byte, LockKind kind) {
  if (!IsOpen()) return LockResult::Failed;
  DWORD flags = LOCKFILE_FAIL_IMMEDIATELY;
  if (kind == LockKind::Exclusive) flags |= LOCKFILE_EXCLUSIVE_LOCK;
  OVERLAPPED position = At(byte);
  if (LockFileEx(FileHandle(handle_), flags, 0, 1, 0, &position) != 0) return LockResult::Taken;
  return GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::HeldByOther : LockResult::Failed;
}

void LockFile::Unlock(std::uint32_t byte) {
  if (!IsOpen()) return;
  OVERLAPPED position = At(byte);
  UnlockFileEx(FileHandle(handle_), 0, 1, 0, &position);
}

}  // namespace vendralith

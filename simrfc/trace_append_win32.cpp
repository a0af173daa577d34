#include <windows.h>

#include <string>

#include "trace_append.h"

namespace simrfc {

namespace {

// A byte far past any trace, locked as the writers' turn: Windows appends
// through FILE_APPEND_DATA as one step, but Wine does not. A lock on the
// trace's own bytes would make readers fail. Where the lock is refused (Windows
// may refuse it on a handle opened for appending only) the write goes ahead.
OVERLAPPED Turn() {
  OVERLAPPED position{};
  position.OffsetHigh = 0x7fffffff;
  return position;
}

}  // namespace

void AppendAtOnce(const char* path, std::string_view block) {
  // Windows line ends, as a file of the C runtime's text mode has them.
  std::string text;
  for (const char c : block) {
    if (c == '\n') text += '\r';
    text += c;
  }
  const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED turn = Turn();
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != 0;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  if (locked) UnlockFileEx(file, 0, 1, 0, &turn);
  CloseHandle(file);
}

}  // namespace simrfc

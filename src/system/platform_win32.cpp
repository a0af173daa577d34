#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "system/platform.h"

namespace vendralith {

std::string LocalPath(const std::string& windowsPath) { return windowsPath; }

bool RenameOver(const std::string& fromLocal, const std::string& toLocal) {
  return MoveFileExA(fromLocal.c_str(), toLocal.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::FILE* CreateNewFile(const std::string& local) {
  const int file = _open(local.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
  if (file < 0) return nullptr;
  std::FILE* stream = _fdopen(file, "wb");
  if (stream == nullptr) (void)_close(file);
  return stream;
}

namespace {

bool AppendWhole(const std::string& local, const std::string& bytes) {
  const HANDLE file =
      CreateFileA(local.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // A byte far past any log, locked as the writers' turn: Windows appends
  // through FILE_APPEND_DATA as one step, but Wine does not. Where the lock
  // is refused the write goes ahead.
  OVERLAPPED turn{};
  turn.OffsetHigh = 0x7fffffff;
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != 0;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
      written == bytes.size();
  if (locked) UnlockFileEx(file, 0, 1, 0, &turn);
  return CloseHandle(file) != 0 && ok;
}

}  // namespace

bool AppendAtOnce(const std::string& local, std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return AppendWhole(local, text);
}

bool AppendBytesAtOnce(const std::string& local, std::string_view bytes) {
  return AppendWhole(local, std::string(bytes));
}

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

bool StdinIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void SetStdinEcho(bool on) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(input, &mode) == 0) return;
  SetConsoleMode(input,
                 on ? (mode | ENABLE_ECHO_INPUT) : (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)));
}

}  // namespace vendralith

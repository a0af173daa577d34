#include <windows.h>

#include "system/platform.h"

namespace vendralith {

std::string LocalPath(const std::string& windowsPath) { return windowsPath; }

bool RenameOver(const std::string& fromLocal, const std::string& toLocal) {
  return MoveFileExA(fromLocal.c_str(), toLocal.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

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

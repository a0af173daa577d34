// What differs between Windows and the POSIX workbench. CMake picks one of
// platform_win32.cpp and platform_posix.cpp.
#ifndef VENDRALITH_SYSTEM_PLATFORM_H
#define VENDRALITH_SYSTEM_PLATFORM_H

#include <string>

namespace vendralith {

// The local file name of a Windows path. On Windows the path itself. On POSIX
// backslashes become slashes, "C:\x" opens <drive root>/c/x, "\x" (the root of
// the current drive) opens <drive root>/c/x, and any other path is used as
// it stands. The drive root is /mnt unless VENDRALITH_DRIVE_ROOT names another
// folder.
std::string LocalPath(const std::string& windowsPath);

// Renames from over to, replacing to in one step.
bool RenameOver(const std::string& fromLocal, const std::string& toLocal);

// For typing a password: whether standard input is a terminal, and turning
// its echo off and on again.
bool StdinIsTerminal();
void SetStdinEcho(bool on);

}  // namespace vendralith

#endif

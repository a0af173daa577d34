// What differs between Windows and the POSIX workbench. CMake picks one of
// platform_win32.cpp and platform_posix.cpp.
#ifndef VENDRALITH_SYSTEM_PLATFORM_H
#define VENDRALITH_SYSTEM_PLATFORM_H

#include <cstdio>
#include <string>
#include <string_view>

namespace vendralith {

// The local file name of a Windows path. On Windows the path itself. On POSIX
// backslashes become slashes, "C:\x" opens <drive root>/c/x, "\x" (the root of
// the current drive) opens <drive root>/c/x, and any other path is used as
// it stands. The drive root is /mnt unless VENDRALITH_DRIVE_ROOT names another
// folder.
std::string LocalPath(const std::string& windowsPath);

// Renames from over to, replacing to in one step.
bool RenameOver(const std::string& fromLocal, const std::string& toLocal);

// Creates the file and opens it for writing bytes; null when it exists
// already or cannot be created, so that the file is this process's alone.
std::FILE* CreateNewFile(const std::string& local);

// Appends the bytes to the file (created when missing) in one write to a file
// opened for appending only, so that processes appending at once never mix
// their writes; on Windows each "\n" is written as "\r\n". False when it
// cannot.
bool AppendAtOnce(const std::string& local, std::string_view bytes);

// The same with the bytes as they stand, line ends included.
bool AppendBytesAtOnce(const std::string& local, std::string_view bytes);

// The number by which the system knows this process.
unsigned long CurrentProcessId();

// For typing a password: whether standard input is a terminal, and turning
// its echo off and on again.
bool StdinIsTerminal();
void SetStdinEcho(bool on);

}  // namespace vendralith

#endif

// Folders of the program's own making: the working folders of a multi-system
// run that scans systems in processes of their own. Paths are Windows paths
// as everywhere (the platform layer maps them); CMake picks folders_posix.cpp
// or folders_win32.cpp.
#ifndef VENDRALITH_SYSTEM_FOLDERS_H
#define VENDRALITH_SYSTEM_FOLDERS_H

#include <string>
#include <vector>

namespace vendralith {

// The current folder as an absolute path; empty when it cannot be told.
std::string CurrentFolder();

// Creates the folder; false when it cannot, also when it exists already.
bool CreateFolder(const std::string& path);

// The names of what a folder holds, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);

// Removes the folder with all it holds; what cannot be removed stays.
void RemoveFolderTree(const std::string& path);

// Removes the folder if it is empty.
void RemoveEmptyFolder(const std::string& path);

}  // namespace vendralith

#endif

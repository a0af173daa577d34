#include <windows.h>

#include "system/folders.h"

namespace vendralith {

std::string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return "";
  std::string path(needed, '\0');
  const DWORD length = GetCurrentDirectoryA(needed, path.data());
  if (length == 0 || length >= needed) return "";
  path.resize(length);
  return path;
}

bool CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::vector<std::string> FolderEntries(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found) != 0);
  (void)FindClose(search);
  return names;
}

void RemoveFolderTree(const std::string& path) {
  // Each folder is emptied of its files; the folders go afterwards, the
  // deepest first.
  std::vector<std::string> toEmpty = {path};
  std::vector<std::string> emptied;
  while (!toEmpty.empty()) {
    std::string folder = std::move(toEmpty.back());
    toEmpty.pop_back();
    for (const std::string& name : FolderEntries(folder)) {
      std::string entry = folder;
      entry.append("\\").append(name);
      const DWORD attributes = GetFileAttributesA(entry.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) continue;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        (void)DeleteFileA(entry.c_str());
      } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        RemoveEmptyFolder(entry);  // a junction goes as the entry it is, never followed
      } else {
        toEmpty.push_back(std::move(entry));
      }
    }
    emptied.push_back(std::move(folder));
  }
  for (auto folder = emptied.rbegin(); folder != emptied.rend(); ++folder) {
    RemoveEmptyFolder(*folder);
  }
}

void RemoveEmptyFolder(const std::string& path) { (void)RemoveDirectoryA(path.c_str()); }

}  // namespace vendralith

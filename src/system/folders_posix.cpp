#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "system/folders.h"
#include "system/platform.h"

namespace vendralith {

namespace {

std::vector<std::string> LocalEntries(const std::string& local) {
  std::vector<std::string> names;
  DIR* folder = opendir(local.c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  (void)closedir(folder);  // read only: nothing to lose
  return names;
}

}  // namespace

std::string CurrentFolder() {
  std::string path(256, '\0');
  while (getcwd(path.data(), path.size()) == nullptr) {
    if (errno != ERANGE) return "";
    path.resize(path.size() * 2);
  }
  path.resize(path.find('\0'));
  return path;
}

bool CreateFolder(const std::string& path) { return mkdir(LocalPath(path).c_str(), 0777) == 0; }

std::vector<std::string> FolderEntries(const std::string& path) {
  return LocalEntries(LocalPath(path));
}

void RemoveFolderTree(const std::string& path) {
  // Each folder is emptied of its files; the folders go afterwards, the
  // deepest first.
  std::vector<std::string> toEmpty = {LocalPath(path)};
  std::vector<std::string> emptied;
  while (!toEmpty.empty()) {
    std::string folder = std::move(toEmpty.back());
    toEmpty.pop_back();
    for (const std::string& name : LocalEntries(folder)) {
      std::string entry = folder;
      entry.append("/").append(name);
      struct stat status {};
      // A link is removed, never followed.
      if (lstat(entry.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        toEmpty.push_back(std::move(entry));
      } else {
        (void)std::remove(entry.c_str());
      }
    }
    emptied.push_back(std::move(folder));
  }
  for (auto folder = emptied.rbegin(); folder != emptied.rend(); ++folder) {
    (void)rmdir(folder->c_str());
  }
}

void RemoveEmptyFolder(const std::string& path) { (void)rmdir(LocalPath(path).c_str()); }

}  // namespace vendralith

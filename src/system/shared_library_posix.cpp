#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "system/shared_library.h"

namespace vendralith {

namespace {

std::string ExecutableFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.find_last_of('/') + 1);
}

}  // namespace

std::vector<std::string> LibrarySearchFolders() {
  std::vector<std::string> folders;
  std::string executable = ExecutableFolder();
  if (!executable.empty()) folders.push_back(executable);
  const char* value = std::getenv("LD_LIBRARY_PATH");
  const std::string entries = value == nullptr ? "" : value;
  std::size_t start = 0;
  while (start < entries.size()) {
    const std::size_t end = std::min(entries.find(':', start), entries.size());
    std::string folder = entries.substr(start, end - start);
    if (!folder.empty() && folder.front() == '/') {
      folders.push_back(folder.back() == '/' ? folder : folder + '/');
    }
    start = end + 1;
  }
  return folders;
}

SharedLibrary LoadLibraryFile(const std::string& path) {
  SharedLibrary library;
  library.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library.handle != nullptr) {
    library.state = LibraryState::Loaded;
    library.path = path;
    return library;
  }
  struct stat file {};
  const bool exists = path.find('/') != std::string::npos && stat(path.c_str(), &file) == 0;
  library.state = exists ? LibraryState::NotLoadable : LibraryState::Missing;
  if (exists) library.path = path;
  return library;
}

SharedLibrary LoadSharedLibrary(const std::string& name) { return LoadLibraryFile(name); }

// Only the Windows loader's failures are walked: the workbench links its
// RFC library in.
std::string MissingDependency(const std::string& /*library_path*/) { return {}; }

void* LibraryExport(const SharedLibrary& library, const char* name) {
  if (library.handle == nullptr) return nullptr;
  return dlsym(library.handle, name);
}

}  // namespace vendralith

#include <dlfcn.h>
#include <sys/stat.h>

#include "system/shared_library.h"

namespace vendralith {

std::vector<std::string> LibrarySearchFolders() { return {}; }

bool IsLibraryFile(const std::string& path) {
  struct stat file {};
  return stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode);
}

SharedLibrary LoadLibraryFile(const std::string& path) { return LoadSharedLibrary(path); }

SharedLibrary LoadSharedLibrary(const std::string& name) {
  SharedLibrary library;
  library.handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library.handle != nullptr) {
    library.state = LibraryState::Loaded;
    return library;
  }
  struct stat file {};
  const bool exists = name.find('/') != std::string::npos && stat(name.c_str(), &file) == 0;
  library.state = exists ? LibraryState::NotLoadable : LibraryState::Missing;
  return library;
}

void* LibraryExport(const SharedLibrary& library, const char* name) {
  if (library.handle == nullptr) return nullptr;
  return dlsym(library.handle, name);
}

}  // namespace vendralith

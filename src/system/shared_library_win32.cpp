#include <windows.h>

#include <string>
#include <vector>

#include "system/shared_library.h"

namespace vendralith {

namespace {

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

std::string ExecutableFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string folder(path, length);
  const auto slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string SystemFolder(UINT(WINAPI* query)(LPSTR, UINT)) {
  char path[MAX_PATH] = "";
  const UINT length = query(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return WithBackslash(std::string(path, length));
}

std::vector<std::string> PathFolders() {
  std::vector<std::string> folders;
  const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (size == 0) return folders;
  std::string path(size, '\0');
  path.resize(GetEnvironmentVariableA("PATH", path.data(), size));
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find(';', start), path.size());
    std::string folder = path.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    // An empty or relative entry would search the current folder after all.
    const bool absolute = folder.size() >= 3 && folder[1] == ':';
    const bool network = folder.rfind("\\\\", 0) == 0;
    if (absolute || network) folders.push_back(WithBackslash(folder));
    start = end + 1;
  }
  return folders;
}

}  // namespace

std::vector<std::string> LibrarySearchFolders() {
  std::vector<std::string> folders;
  for (std::string folder : {ExecutableFolder(), SystemFolder(GetSystemDirectoryA),
                             SystemFolder(GetWindowsDirectoryA)}) {
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  for (std::string& folder : PathFolders()) folders.push_back(std::move(folder));
  return folders;
}

bool IsLibraryFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

SharedLibrary LoadLibraryFile(const std::string& path) {
  // A library of the wrong kind must end in the sensor's own error, never in
  // a dialog that waits for a click nobody gives on a monitoring host.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  SharedLibrary library;
  if (!IsLibraryFile(path)) return library;
  // The library's own dependencies are looked for beside it first.
  library.handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  library.state = library.handle != nullptr ? LibraryState::Loaded : LibraryState::NotLoadable;
  return library;
}

SharedLibrary LoadSharedLibrary(const std::string& name) {
  for (const std::string& folder : LibrarySearchFolders()) {
    if (IsLibraryFile(folder + name)) return LoadLibraryFile(folder + name);
  }
  return {};
}

void* LibraryExport(const SharedLibrary& library, const char* name) {
  if (library.handle == nullptr) return nullptr;
  // An export is a function; the caller casts it back to its own type.
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library.handle), name));
}

}  // namespace vendralith

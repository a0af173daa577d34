#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/dependency_walk.h"
#include "system/pe_image.h"
#include "system/search_path.h"
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

std::string PathValue() {
  const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (size == 0) return {};
  std::string path(size, '\0');
  path.resize(GetEnvironmentVariableA("PATH", path.data(), size));
  return path;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Read with the system's calls: file streams would double the size of the
// program, and every scan starts it.
std::string FirstBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(kPeHeaderBytes, '\0');
  DWORD read = 0;
  if (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) == 0) read = 0;
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// The DLL names a file imports, or nothing when there is no such file. The
// file is mapped, not read: an ICU data library has tens of megabytes, of
// which the import table needs a few pages. A file that cannot be opened or
// mapped counts as there, without imports: it is not missing.
std::optional<std::vector<std::string>> ImportsOf(const std::string& path) {
  if (!IsFile(path)) return std::nullopt;
  std::vector<std::string> imports;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return imports;
  LARGE_INTEGER size{};
  // Beyond this no library: the address space of the 32-bit program is small.
  constexpr LONGLONG kLargestMapped = LONGLONG{1} << 30;
  if (GetFileSizeEx(file, &size) != 0 && size.QuadPart > 0 && size.QuadPart <= kLargestMapped) {
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping != nullptr) {
      const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
      if (view != nullptr) {
        imports = PeImageImports(std::string_view(static_cast<const char*>(view),
                                                  static_cast<std::size_t>(size.QuadPart)));
        UnmapViewOfFile(view);
      }
      CloseHandle(mapping);
    }
  }
  CloseHandle(file);
  return imports;
}

constexpr unsigned kProcessBits = sizeof(void*) * 8;

}  // namespace

std::vector<std::string> LibrarySearchFolders() {
  std::vector<std::string> folders;
  for (std::string folder : {ExecutableFolder(), SystemFolder(GetSystemDirectoryA),
                             SystemFolder(GetSystemWindowsDirectoryA)}) {
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  for (std::string& folder : AbsoluteSearchFolders(PathValue())) {
    folders.push_back(std::move(folder));
  }
  return folders;
}

SharedLibrary LoadLibraryFile(const std::string& path) {
  // A library of the wrong kind must end in the sensor's own error, never in
  // a dialog that waits for a click nobody gives on a monitoring host.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  // Takes the current folder out of the search of the library's own later loads.
  SetDllDirectoryA("");

  SharedLibrary library;
  if (!IsFile(path)) return library;
  library.path = path;
  const unsigned bits = PeMachineBits(PeImageMachine(FirstBytes(path)));
  if (bits != 0 && bits != kProcessBits) {
    library.state = LibraryState::OtherArchitecture;
    library.bits = bits;
    return library;
  }
  // The library's own dependencies are looked for beside it and in the
  // system folders, not in the current folder. Systems without these flags
  // refuse them; there only the older flag is left.
  library.handle = LoadLibraryExA(
      path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (library.handle == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    library.handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (library.handle != nullptr) {
    library.state = LibraryState::Loaded;
  } else {
    // The file itself is there, so a module not found is one that it needs.
    library.state = GetLastError() == ERROR_MOD_NOT_FOUND ? LibraryState::DependencyMissing
                                                          : LibraryState::NotLoadable;
  }
  return library;
}

SharedLibrary LoadSharedLibrary(const std::string& name) {
  for (const std::string& folder : LibrarySearchFolders()) {
    if (IsFile(folder + name)) return LoadLibraryFile(folder + name);
  }
  return {};
}

std::string MissingDependency(const std::string& library_path) {
  const auto slash = library_path.find_last_of("\\/");
  const std::string own = slash == std::string::npos ? "" : library_path.substr(0, slash + 1);
  // Where LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
  // looks; a folder not known is left out, never taken as the current one.
  std::vector<std::string> folders;
  for (std::string folder : {own, ExecutableFolder(), SystemFolder(GetSystemDirectoryA)}) {
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  return FirstMissingDependency(library_path, folders, ImportsOf);
}

void* LibraryExport(const SharedLibrary& library, const char* name) {
  if (library.handle == nullptr) return nullptr;
  // An export is a function; the caller casts it back to its own type.
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library.handle), name));
}

}  // namespace vendralith

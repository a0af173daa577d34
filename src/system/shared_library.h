// Loading a shared library when the program runs, and finding its exports.
#ifndef VENDRALITH_SYSTEM_SHARED_LIBRARY_H
#define VENDRALITH_SYSTEM_SHARED_LIBRARY_H

#include <string>
#include <vector>

namespace vendralith {

enum class LibraryState {
  Loaded,
  Missing,            // no file of that name where it is looked for
  NotLoadable,        // a file was found, but the system cannot load it
  OtherArchitecture,  // a library built for the other bitness (see bits)
  DependencyMissing   // a library that it needs itself cannot be found
};

struct SharedLibrary {
  LibraryState state = LibraryState::Missing;
  void* handle = nullptr;
  std::string path;   // the file found; empty when none was
  unsigned bits = 0;  // OtherArchitecture: the library's bitness, 32 or 64
  // DependencyMissing: the DLL found missing, in lower case (see
  // MissingDependency); empty when none was looked for or found.
  std::string missing_dependency;
};

// The folders a library is looked for in, in order, each ending in the
// path separator.
//
// On Windows: the executable's own folder, the system folder (the 64-bit
// System32 for the 64-bit program; the 32-bit program sees SysWOW64 there),
// the Windows folder (the system's, not a terminal-server user's own), then
// the absolute folders of PATH. Never the current folder, so that a library
// planted in a writable working folder cannot win. Elsewhere: the
// executable's folder, then the absolute folders of LD_LIBRARY_PATH.
std::vector<std::string> LibrarySearchFolders();

// Loads that file and keeps it for the rest of the process (Missing when
// there is no such file). No error dialog can block the process. On Windows
// a PE image of the other bitness is refused from its headers before
// anything is loaded, and the library's own dependencies are looked for
// beside it and in the system folders, never in the current folder.
SharedLibrary LoadLibraryFile(const std::string& path);

// Loads the first file of that name in LibrarySearchFolders(): the first one
// found is the one loaded, or refused. Elsewhere than on Windows a name with
// a slash is that file, and a bare name is looked for as the dynamic loader
// does.
SharedLibrary LoadSharedLibrary(const std::string& name);

// For a library that failed to load for a module not found: the first DLL
// it needs, directly or through the DLLs it needs, that lies in none of the
// folders the loader looks in for it (the library's folder, the
// executable's, the system folder), in lower case; "" when none is missing
// there. It reads the import tables of the files, so it is asked only once
// a load has failed. Elsewhere than on Windows always "".
std::string MissingDependency(const std::string& library_path);

// The address of the export, or null when the library has none of that name.
void* LibraryExport(const SharedLibrary& library, const char* name);

}  // namespace vendralith

#endif

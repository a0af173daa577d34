// Loading a shared library when the program runs, and finding its exports.
#ifndef VENDRALITH_SYSTEM_SHARED_LIBRARY_H
#define VENDRALITH_SYSTEM_SHARED_LIBRARY_H

#include <string>
#include <vector>

namespace vendralith {

enum class LibraryState {
  Loaded,
  Missing,     // no file of that name where it is looked for
  NotLoadable  // a file was found, but the system cannot load it
};

struct SharedLibrary {
  LibraryState state = LibraryState::Missing;
  void* handle = nullptr;
};

// The folders a library is looked for in, in order, each ending in a path
// separator: on Windows the executable's own folder, the system folders,
// then the absolute folders of PATH; never the current folder. Elsewhere
// none: there the callers name their folders.
std::vector<std::string> LibrarySearchFolders();

// Whether path names a file, not a folder.
bool IsLibraryFile(const std::string& path);

// Loads the library file at path and keeps it for the rest of the process.
// No error dialog can block the process.
SharedLibrary LoadLibraryFile(const std::string& path);

// Loads the library and keeps it for the rest of the process.
//
// On Windows a bare name is looked for in the executable's own folder, then in
// the system folders, then in the folders of PATH; never in the current folder
// first, so that a library planted in a writable working folder cannot win.
// The first file found is the one loaded. No error dialog can block the
// process. Elsewhere a name with a slash is that file; a bare name is looked
// for as the dynamic loader does.
SharedLibrary LoadSharedLibrary(const std::string& name);

// The address of the export, or null when the library has none of that name.
void* LibraryExport(const SharedLibrary& library, const char* name);

}  // namespace vendralith

#endif

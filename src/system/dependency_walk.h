// Which DLL a Windows library needs and the loader cannot find: a walk
// through the import tables, for a load that failed for a missing module.
// The files come through a function, so that tests can give them.
#ifndef VENDRALITH_SYSTEM_DEPENDENCY_WALK_H
#define VENDRALITH_SYSTEM_DEPENDENCY_WALK_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendralith {

// The DLL names that the file at that path imports (PeImageImports of its
// bytes; none for a file that is no PE image), or nothing when there is no
// such file.
using ImportsOfFile =
    std::function<std::optional<std::vector<std::string>>(const std::string& path)>;

// Whether the loader resolves the name without a file of that name: an API
// set ("api-ms-win-...", "ext-ms-...", in any case).
bool IsApiSetName(std::string_view name);

// At most this many files are looked for (read, or found missing) by one
// walk: a library of the NetWeaver SDK with the system DLLs below it needs a
// few hundred.
inline constexpr std::size_t kMaximumWalkLookups = 1024;

// The first DLL, in lower case, that the library at library_path needs and
// that none of the folders (each ending in a path separator) holds, in the
// order the walk meets them: the library's own imports, then those of each
// DLL found, breadth first, each name once. API sets and names that are no
// plain file name are passed over. "" when every DLL is found (the load
// failed for another reason) or the walk has looked for kMaximumWalkLookups
// files without finding one missing.
std::string FirstMissingDependency(const std::string& library_path,
                                   const std::vector<std::string>& folders,
                                   const ImportsOfFile& imports_of);

}  // namespace vendralith

#endif

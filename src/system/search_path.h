// The folders of a Windows PATH value that a library search may use.
#ifndef VENDRALITH_SYSTEM_SEARCH_PATH_H
#define VENDRALITH_SYSTEM_SEARCH_PATH_H

#include <string>
#include <vector>

namespace vendralith {

// The entries of a PATH value (separated by ';', each possibly in double
// quotes) that name a folder independently of the current one, in order and
// each ending in a backslash: "X:\..." (or "X:/...") and "\\server\...".
// Empty entries, relative ones and drive-relative ones such as "C:." or
// "C:tools" (relative to the current folder of drive C:) are left out: they
// would let a library planted in the working folder win after all.
std::vector<std::string> AbsoluteSearchFolders(const std::string& path_value);

}  // namespace vendralith

#endif

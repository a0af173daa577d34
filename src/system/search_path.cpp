#include "system/search_path.h"

#include <algorithm>
#include <cctype>

namespace vendralith {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAbsolute(const std::string& folder) {
  const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                     folder[1] == ':' && IsSeparator(folder[2]);
  const bool network =
      folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\' && !IsSeparator(folder[2]);
  return drive || network;
}

}  // namespace

std::vector<std::string> AbsoluteSearchFolders(const std::string& path_value) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= path_value.size()) {
    const std::size_t end = std::min(path_value.find(';', start), path_value.size());
    std::string folder = path_value.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (IsAbsolute(folder)) {
      if (!IsSeparator(folder.back())) folder += '\\';
      folders.push_back(folder);
    }
    start = end + 1;
  }
  return folders;
}

}  // namespace vendralith

#include "system/dependency_walk.h"

#include <deque>
#include <set>

namespace vendralith {

namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// A name the loader looks for in its folders: no path, no drive, no control
// character (the bytes come from a file that may be damaged or hostile).
bool IsPlainFileName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '/' || c == ':' || byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace

bool IsApiSetName(std::string_view name) {
  const std::string lower = LowerCase(name);
  return lower.rfind("api-ms-win-", 0) == 0 || lower.rfind("ext-ms-", 0) == 0;
}

std::string FirstMissingDependency(const std::string& library_path,
                                   const std::vector<std::string>& folders,
                                   const ImportsOfFile& imports_of) {
  // The library itself counts as met: a DLL that imports it back gets the
  // one being loaded.
  std::set<std::string> met = {
      LowerCase(library_path.substr(library_path.find_last_of("\\/") + 1))};
  // The import lists of the files found, each read once, in the order found.
  std::deque<std::vector<std::string>> waiting;
  std::optional<std::vector<std::string>> imports = imports_of(library_path);
  std::size_t lookups = 1;
  if (imports) waiting.push_back(std::move(*imports));
  while (!waiting.empty()) {
    const std::vector<std::string> names = std::move(waiting.front());
    waiting.pop_front();
    for (const std::string& name : names) {
      if (IsApiSetName(name) || !IsPlainFileName(name) || !met.insert(LowerCase(name)).second) {
        continue;
      }
      bool there = false;
      for (const std::string& folder : folders) {
        if (lookups == kMaximumWalkLookups) return {};
        ++lookups;
        if ((imports = imports_of(folder + name))) {
          waiting.push_back(std::move(*imports));
          there = true;
          break;
        }
      }
      if (!there) return LowerCase(name);
    }
  }
  return {};
}

}  // namespace vendralith

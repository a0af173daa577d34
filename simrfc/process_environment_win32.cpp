#include <direct.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "process_environment.h"

namespace simrfc {

void SetInheritedVariable(const char* name, const std::string& value) {
  // The C runtime's copy, which getenv reads, and the process's own, which
  // CreateProcess passes on: _putenv sets both.
  (void)_putenv((std::string(name) + "=" + value).c_str());
}

std::optional<std::string> CurrentFolder() {
  for (std::vector<char> buffer(260); buffer.size() <= 1u << 16; buffer.resize(buffer.size() * 2)) {
    if (_getcwd(buffer.data(), static_cast<int>(buffer.size())) != nullptr) {
      return std::string(buffer.data());
    }
    if (errno != ERANGE) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace simrfc

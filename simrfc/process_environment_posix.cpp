#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "process_environment.h"

namespace simrfc {

void SetInheritedVariable(const char* name, const std::string& value) {
  (void)setenv(name, value.c_str(), 1);
}

std::optional<std::string> CurrentFolder() {
  // A folder path has no fixed limit: the buffer grows until it fits.
  for (std::vector<char> buffer(256); buffer.size() <= 1u << 20; buffer.resize(buffer.size() * 2)) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
    if (errno != ERANGE) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace simrfc

#include <cstdlib>

#include "system/environment.h"

namespace vendralith {

std::optional<std::string> EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

EnvironmentText EnvironmentTextForm() { return EnvironmentText::Bytes; }

}  // namespace vendralith

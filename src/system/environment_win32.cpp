#include <windows.h>

#include "system/environment.h"

namespace vendralith {

std::optional<std::string> EnvironmentValue(const char* name) {
  // The A function: the same bytes as the arguments main is given.
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  if (length >= size) return std::nullopt;  // changed in between: as if unset
  value.resize(length);
  return value;
}

}  // namespace vendralith

// The process's environment variables: where the monitoring host hands a
// sensor the device's credentials (PRTG's "Set placeholders as environment
// values"). CMake picks environment_posix.cpp or environment_win32.cpp.
#ifndef VENDRALITH_SYSTEM_ENVIRONMENT_H
#define VENDRALITH_SYSTEM_ENVIRONMENT_H

#include <functional>
#include <optional>
#include <string>

namespace vendralith {

// A variable's value by its name; nothing when it is not set. Passed in
// where the environment decides something, so that tests can give a table.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// This process's variable. On Windows in the ANSI code page, as the
// program's arguments arrive: a character that the code page lacks arrives
// as "?".
std::optional<std::string> EnvironmentValue(const char* name);

}  // namespace vendralith

#endif

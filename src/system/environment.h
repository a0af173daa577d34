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

// What EnvironmentValue gives: the bytes the system holds, whose characters
// count as UTF-8 (POSIX); or UTF-8 converted exactly from the system's
// UTF-16, whose characters count in UTF-16 code units, as Windows counts
// them (Windows).
enum class EnvironmentText { Bytes, Utf8FromUtf16 };

// This process's variable, in the form EnvironmentTextForm names. On
// Windows read as the system holds it, never through the ANSI code page,
// which would turn a character it lacks into "?".
std::optional<std::string> EnvironmentValue(const char* name);

// This platform's form of EnvironmentValue.
EnvironmentText EnvironmentTextForm();

}  // namespace vendralith

#endif

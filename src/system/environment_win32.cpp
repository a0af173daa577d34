#include <windows.h>

#include <string>

#include "system/environment.h"
#include "system/secret_text.h"
#include "system/utf8_text.h"

namespace vendralith {

std::optional<std::string> EnvironmentValue(const char* name) {
  // The W function: the A function would give the value in the ANSI code
  // page, with "?" or a close letter for a character it lacks.
  const std::u16string wideName(name, name + std::char_traits<char>::length(name));
  const auto* wide = reinterpret_cast<const wchar_t*>(wideName.c_str());
  const DWORD size = GetEnvironmentVariableW(wide, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::u16string value(size, u'\0');
  const DWORD length =
      GetEnvironmentVariableW(wide, reinterpret_cast<wchar_t*>(value.data()), size);
  std::optional<std::string> utf8;
  if (length < size) {  // else changed in between: as if unset
    value.resize(length);
    utf8 = Utf16ToUtf8(value);
  }
  ClearSecret(value);  // the value may be a password
  return utf8;
}

EnvironmentText EnvironmentTextForm() { return EnvironmentText::Utf8FromUtf16; }

}  // namespace vendralith

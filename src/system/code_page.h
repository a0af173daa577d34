// Text in the system's ANSI code page, written in UTF-8. CMake picks one of
// code_page_win32.cpp and code_page_posix.cpp; code_page.cpp, built on every
// platform so that tests reach it, decides how the Windows file calls the
// system.
#ifndef VENDRALITH_SYSTEM_CODE_PAGE_H
#define VENDRALITH_SYSTEM_CODE_PAGE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vendralith {

// text read in the ANSI code page, as UTF-8: on Windows the code page that
// GetACP names, on POSIX Windows-1252, the code page of the Western European
// Windows systems the sensor mostly runs on. A byte that has no character
// in the code page becomes "?".
std::string AnsiToUtf8(std::string_view text);

// UTF-16 code units in the ANSI code page; a character that the code page
// lacks becomes "?" (on Windows where the system knows no close letter for
// it: in Windows-1252 "\u0141" becomes "L").
std::string Utf16ToAnsi(std::u16string_view text);

// UTF-8 text in the ANSI code page, exactly: nothing when a character of it
// is missing from the code page, rather than "?" or a close letter that
// would stand for another text.
std::optional<std::string> Utf8ToAnsiExactly(std::string_view utf8);

// How Windows' WideCharToMultiByte is called to write UTF-16 in a code page:
// its flags, and whether it may be given "?" as the character for what the
// code page lacks. A code page that refuses either fails the whole call.
struct WideToCodePageCall {
  std::uint32_t flags;
  bool defaultCharacter;
};
WideToCodePageCall WideToCodePageCallFor(unsigned codePage);

}  // namespace vendralith

#endif

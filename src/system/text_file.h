// Reading and writing the program's files. Paths are Windows paths; the
// platform layer maps them to local names.
#ifndef VENDRALITH_SYSTEM_TEXT_FILE_H
#define VENDRALITH_SYSTEM_TEXT_FILE_H

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vendralith {

// Reads a whole file as stored; nothing when it cannot be opened, or when it
// holds more than most bytes.
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::size_t most = std::string::npos);

// Reads a whole file as a text-mode stream does on Windows: "\r\n" arrives as
// "\n" and a Ctrl-Z ends the text.
std::optional<std::string> ReadTextFile(const std::string& path);
std::string TextModeContent(std::string_view bytes);

// ReadTextFile's text handed on in parts of bounded size, so that a file of
// any size costs the same memory. False when the file cannot be opened or
// read; parts may have been handed on before a read failed.
bool ReadTextFileInParts(const std::string& path,
                         const std::function<void(std::string_view part)>& take);

// Writes the bytes beside path, into a new file named for this process, and
// renames that over path, so that path holds either its old content or the
// whole new one. False when path cannot be written.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

void RemoveFile(const std::string& path);

// How the readers of profiles and listings reach files, so that tests can
// give them files from memory.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

}  // namespace vendralith

#endif

// Reading and writing the program's files. Paths are Windows paths; the
// platform layer maps them to local names.
#ifndef VENDRALITH_RUN_TEXT_FILE_H
#define VENDRALITH_RUN_TEXT_FILE_H

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendralith {

// Reads a whole file as stored; nothing when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Reads a whole file as a text-mode stream does on Windows: "\r\n" arrives as
// "\n" and a Ctrl-Z ends the text.
std::optional<std::string> ReadTextFile(const std::string& path);
std::string TextModeContent(std::string_view bytes);

// Splits text the way repeated reads of at most maxChars characters do: a
// piece ends after its line feed or after maxChars characters, whichever
// comes first, and keeps the line feed. A piece ends at its first NUL byte,
// as the zero-terminated text of such a read does.
std::vector<std::string> ReadPieces(std::string_view text, std::size_t maxChars);

// ASCII letters in upper case.
std::string UpperCase(std::string_view text);

// Each ':' turned into a blank: in parameters and listings a ':' stands for one.
std::string ColonsToBlanks(std::string text);

// A parameter value that starts at start and ends at a blank, a comma or the
// end of text, at most maxChars characters, with each ':' as a blank.
std::string ParameterValue(std::string_view text, std::size_t start,
                           std::size_t maxChars = std::string_view::npos);

// Removes one trailing c, if there is one.
void DropTrailing(std::string& text, char c);

// Writes the bytes beside path and renames them over it, so that path holds
// either its old content or the whole new one.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

void RemoveFile(const std::string& path);

// How the readers of profiles and listings reach files, so that tests can
// give them files from memory.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

}  // namespace vendralith

#endif

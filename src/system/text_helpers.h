// Small text operations shared by the readers of files, parameters and listings.
#ifndef VENDRALITH_SYSTEM_TEXT_HELPERS_H
#define VENDRALITH_SYSTEM_TEXT_HELPERS_H

#include <string>
#include <string_view>
#include <vector>

namespace vendralith {

// Splits text the way repeated reads of at most maxChars bytes do: a piece
// ends after its line feed or after maxChars bytes, whichever comes first,
// and keeps the line feed; a piece cut by the length ends before a UTF-8
// character that it would split. A piece ends at its first NUL byte, as the
// zero-terminated text of such a read does.
std::vector<std::string> ReadPieces(std::string_view text, std::size_t maxChars);

// The length of the first piece of a non-empty text, as ReadPieces cuts it
// (NUL bytes not yet cut off). It depends only on the piece and the three
// bytes after it, and never on what follows a line feed.
std::size_t PieceLength(std::string_view text, std::size_t maxChars);

// The piece as a zero-terminated read gives it: up to its first NUL byte.
std::string PieceText(std::string_view piece);

// ASCII letters in upper case.
std::string UpperCase(std::string_view text);

// Each ':' turned into a blank: in parameters and listings a ':' stands for one.
std::string ColonsToBlanks(std::string text);

// A parameter value that starts at start and ends at a blank, a comma or the
// end of text, at most maxChars bytes without a split UTF-8 character, with
// each ':' as a blank.
std::string ParameterValue(std::string_view text, std::size_t start,
                           std::size_t maxChars = std::string_view::npos);

// Removes one trailing c, if there is one.
void DropTrailing(std::string& text, char c);

}  // namespace vendralith

#endif

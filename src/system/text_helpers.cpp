#include "system/text_helpers.h"

#include "system/utf8_text.h"

namespace vendralith {

std::size_t PieceLength(std::string_view text, std::size_t maxChars) {
  std::size_t length = text.find('\n');
  length = length == std::string_view::npos ? text.size() : length + 1;
  if (length > maxChars) {
    // A read never ends inside a character; one longer than a whole read
    // is split all the same, so that the reading goes on.
    length = Utf8CutLength(text, maxChars);
    if (length == 0) length = maxChars;
  }
  return length;
}

std::string PieceText(std::string_view piece) {
  // What a read puts in a zero-terminated buffer ends at a NUL byte: one
  // in a file must not reach a document or a file name.
  return std::string(piece.substr(0, piece.find('\0')));
}

std::vector<std::string> ReadPieces(std::string_view text, std::size_t maxChars) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t length = PieceLength(text, maxChars);
    pieces.push_back(PieceText(text.substr(0, length)));
    text.remove_prefix(length);
  }
  return pieces;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string ColonsToBlanks(std::string text) {
  for (char& c : text) {
    if (c == ':') c = ' ';
  }
  return text;
}

std::string ParameterValue(std::string_view text, std::size_t start, std::size_t maxChars) {
  if (start > text.size()) return {};
  std::string_view value = text.substr(start);
  value = value.substr(0, value.find_first_of(" ,"));
  return ColonsToBlanks(std::string(Utf8Prefix(value, maxChars)));
}

void DropTrailing(std::string& text, char c) {
  if (!text.empty() && text.back() == c) text.pop_back();
}

}  // namespace vendralith

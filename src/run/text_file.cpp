#include "run/text_file.h"

#include <cstdio>

#include "run/platform.h"

namespace vendralith {

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::FILE* file = std::fopen(LocalPath(path).c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  (void)std::fclose(file);  // read-only: closing cannot lose data
  if (failed) return std::nullopt;
  return bytes;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return TextModeContent(*bytes);
}

std::string TextModeContent(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\x1a') break;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

std::vector<std::string> ReadPieces(std::string_view text, std::size_t maxChars) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    std::size_t length = text.find('\n');
    length = length == std::string_view::npos ? text.size() : length + 1;
    if (length > maxChars) length = maxChars;
    // What a read puts in a zero-terminated buffer ends at a NUL byte: one
    // in a file must not reach a document or a file name.
    const std::string_view piece = text.substr(0, length);
    pieces.emplace_back(piece.substr(0, piece.find('\0')));
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
  return ColonsToBlanks(std::string(value.substr(0, maxChars)));
}

void DropTrailing(std::string& text, char c) {
  if (!text.empty() && text.back() == c) text.pop_back();
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const std::string target = LocalPath(path);
  const std::string temporary = target + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || !RenameOver(temporary, target)) {
    (void)std::remove(temporary.c_str());  // the failure is already reported
    return false;
  }
  return true;
}

void RemoveFile(const std::string& path) { (void)std::remove(LocalPath(path).c_str()); }

}  // namespace vendralith

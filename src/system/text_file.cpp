#include "system/text_file.h"

#include <cstdio>

#include "system/platform.h"
#include "system/process_end.h"

namespace vendralith {

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t most) {
  std::FILE* file = std::fopen(LocalPath(path).c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while (bytes.size() <= most && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
  }
  const bool failed = std::ferror(file) != 0 || bytes.size() > most;
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

bool ReadTextFileInParts(const std::string& path,
                         const std::function<void(std::string_view part)>& take) {
  std::FILE* file = std::fopen(LocalPath(path).c_str(), "rb");
  if (file == nullptr) return false;
  std::string bytes;
  char buffer[65536];
  bool ended = false;  // by a Ctrl-Z
  std::size_t got = 0;
  while (!ended && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
    ended = bytes.find('\x1a') != std::string::npos;
    // A carriage return at the end may be the first half of a line end.
    const bool carry = !ended && bytes.back() == '\r';
    if (carry) bytes.pop_back();
    take(TextModeContent(bytes));
    bytes.assign(carry ? "\r" : "");
  }
  const bool failed = std::ferror(file) != 0;
  (void)std::fclose(file);  // read-only: closing cannot lose data
  if (failed) return false;
  if (!bytes.empty()) take(TextModeContent(bytes));
  return true;
}

namespace {

// A new file beside target under a name of this process's own: no other
// scan writes to it, and none that ran before is overwritten.
std::FILE* CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  constexpr int kTries = 10;
  const std::string own = target + "." + std::to_string(CurrentProcessId());
  for (int attempt = 0; attempt < kTries; ++attempt) {
    temporary = own + (attempt == 0 ? "" : "-" + std::to_string(attempt)) + ".new";
    if (std::FILE* file = CreateNewFile(temporary)) return file;
  }
  return nullptr;
}

}  // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  // A deadline that passes meanwhile ends the process after the rename or the cleanup.
  const HoldProcessEnd hold;
  const std::string target = LocalPath(path);
  std::string temporary;
  std::FILE* file = CreateTemporaryBeside(target, temporary);
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

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "system/platform.h"

namespace vendralith {

namespace {

std::string DriveRoot() {
  const char* root = std::getenv("VENDRALITH_DRIVE_ROOT");
  return root != nullptr && *root != '\0' ? root : "/mnt";
}

}  // namespace

std::string LocalPath(const std::string& windowsPath) {
  std::string path = windowsPath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    const std::string rest = path.substr(2);
    const char* separator = !rest.empty() && rest[0] == '/' ? "" : "/";
    return DriveRoot() + "/" + drive + separator + rest;
  }
  if (!windowsPath.empty() && windowsPath[0] == '\\') return DriveRoot() + "/c" + path;
  return path;
}

bool RenameOver(const std::string& fromLocal, const std::string& toLocal) {
  return std::rename(fromLocal.c_str(), toLocal.c_str()) == 0;
}

std::FILE* CreateNewFile(const std::string& local) {
  const int file = open(local.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0) return nullptr;
  std::FILE* stream = fdopen(file, "wb");
  if (stream == nullptr) (void)close(file);
  return stream;
}

bool AppendAtOnce(const std::string& local, std::string_view bytes) {
  return AppendBytesAtOnce(local, bytes);
}

bool AppendBytesAtOnce(const std::string& local, std::string_view bytes) {
  const int file = open(local.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return false;
  // With O_APPEND the move to the end and the write are one step.
  const bool written =
      write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(file) == 0 && written;
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

bool StdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

void SetStdinEcho(bool on) {
  termios settings{};
  if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
  if (on) {
    settings.c_lflag |= ECHO;
  } else {
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

}  // namespace vendralith

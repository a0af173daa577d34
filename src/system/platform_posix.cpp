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

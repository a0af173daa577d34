// vendralith-profile: writes the stored form of a profile password and checks
// profiles exactly as the sensor reads them.
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "profile/credentials.h"
#include "profile/password.h"
#include "profile/profile_reader.h"
#include "rfc/logon.h"
#include "run/error_ending.h"
#include "system/platform.h"
#include "system/secret_text.h"
#include "system/text_file.h"
#include "system/text_helpers.h"

namespace {

constexpr int kUsageError = 64;

constexpr const char* kHelp =
    "Usage: vendralith-profile scramble [--offset D]\n"
    "       vendralith-profile check [--cred windows|linux|snc] FILE\n"
    "       vendralith-profile --version\n"
    "\n"
    "scramble  Reads the clear password (at most 20 printable characters) from\n"
    "          standard input, without echo on a terminal, and prints the\n"
    "          24-character text for the \"Password...:\" line of a profile.\n"
    "          --offset D (0 to 9) fixes where in the program key the\n"
    "          scrambling starts; by default it is chosen at random. The\n"
    "          text never begins or ends with a blank, which an editor could\n"
    "          trim: an offset that gives one for this password is refused.\n"
    "check     Reads FILE as the sensor reads a profile and prints the\n"
    "          settings it would use (never the password), then \"OK\" or\n"
    "          the sensor's error message. Exit code 0 or 2. Warns when the\n"
    "          stored password begins or ends with a blank.\n"
    "          --cred reads it as the sensor does with ,CRED=: the user and\n"
    "          password come from the monitoring host (windows, linux) or\n"
    "          there are none (snc), so the profile needs neither line and a\n"
    "          stored password is not read. With snc, the SapRfc.<Destination>\n"
    "          file beside FILE must switch SNC on for the destination\n"
    "          (SNC_MODE=1 and SNC_PARTNERNAME), else the check fails with the\n"
    "          sensor's message.\n"
    "--version Prints the program's version.\n";

int UsageError(const std::string& message) {
  std::cerr << "vendralith-profile: " << message << " (try --help)\n";
  return kUsageError;
}

// A blank at either end of a stored text is lost to an editor that trims
// lines, and the sensor then answers 1004.
bool HasBlankEnd(const std::string& stored) {
  return !stored.empty() && (stored.front() == ' ' || stored.back() == ' ');
}

std::string ReadClearPassword() {
  const bool terminal = vendralith::StdinIsTerminal();
  if (terminal) {
    std::cerr << "Password: " << std::flush;
    vendralith::SetStdinEcho(false);
  }
  std::string line;
  std::getline(std::cin, line);
  if (terminal) {
    vendralith::SetStdinEcho(true);
    std::cerr << "\n";
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int Scramble(const std::vector<std::string>& options) {
  int offset = -1;
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (options[i] == "--offset" && i + 1 < options.size() && options[i + 1].size() == 1 &&
        options[i + 1][0] >= '0' && options[i + 1][0] <= '9') {
      offset = options[++i][0] - '0';
    } else {
      return UsageError("scramble takes only --offset D with D from 0 to 9");
    }
  }
  const std::string clear = ReadClearPassword();
  if (clear.empty()) {
    std::cerr << "vendralith-profile: no password given\n";
    return 2;
  }
  if (clear.size() < 2) {
    std::cerr << "vendralith-profile: the sensor needs a password of at least 2 characters\n";
    return 2;
  }
  if (clear.size() > vendralith::kMaxClearPassword) {
    std::cerr << "vendralith-profile: the password has more than 20 characters\n";
    return 2;
  }
  for (char c : clear) {
    if (c < 0x21 || c > 0x7e) {
      std::cerr << "vendralith-profile: the password may hold only printable ASCII characters "
                   "without blanks\n";
      return 2;
    }
  }

  const vendralith::ProfileKey key = vendralith::BuildProfileKey();
  std::random_device seed;
  std::mt19937 random(seed());
  constexpr std::string_view kPadding =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kPadding.size() - 1);
  std::uniform_int_distribution<int> pickOffset(0, 9);
  // Some characters combine with some key bytes into unprintable ones, or
  // into a blank at either end: try other padding (and, unless fixed, other
  // offsets) until all are printable and both ends are not blank.
  bool blankEnd = false;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string padding;
    while (padding.size() + clear.size() < 20) padding += kPadding[pick(random)];
    const int useOffset = offset >= 0 ? offset : pickOffset(random);
    if (auto stored = vendralith::ScramblePassword(clear, useOffset, padding, key)) {
      if (HasBlankEnd(*stored)) {
        blankEnd = true;
        continue;
      }
      std::cout << *stored << "\n";
      return 0;
    }
  }
  if (blankEnd) {
    std::cerr << "vendralith-profile: with key offset " << offset
              << " the stored text of this password begins or ends with a blank, which an "
                 "editor or a copy from a terminal may trim; choose another offset, or leave "
                 "--offset out\n";
  } else {
    std::cerr << "vendralith-profile: this password cannot be stored with key offset " << offset
              << "; try another offset\n";
  }
  return 2;
}

// What check shows for the user and the password where the profile's are
// not the logon's.
struct ShownCredentials {
  std::string user;
  std::string password;
};
ShownCredentials CredentialsShown(vendralith::CredentialSource source) {
  if (const auto host = vendralith::HostVariablesOf(source)) {
    return {std::string("(") + host->user + " of the monitoring host)",
            std::string("(") + host->password + " of the monitoring host)"};
  }
  return {"(none: SNC single sign-on)", "(none: SNC single sign-on)"};
}

int Check(const std::vector<std::string>& options) {
  auto source = vendralith::CredentialSource::Profile;
  std::size_t file = 0;
  if (!options.empty() && options[0] == "--cred") {
    const auto named = options.size() > 1
                           ? vendralith::CredentialSourceNamed(vendralith::UpperCase(options[1]))
                           : std::nullopt;
    if (!named) return UsageError("--cred takes windows, linux or snc");
    source = *named;
    file = 2;
  }
  if (options.size() != file + 1) return UsageError("check takes exactly one FILE");
  const std::string& path = options[file];
  const auto text = vendralith::ReadTextFile(path);
  if (!text) {
    std::cout << "Error 1002: Profile " << path << " is missing...\n";
    return 2;
  }
  const std::size_t folderEnd = path.find_last_of("/\\") + 1;
  const std::string name = path.substr(folderEnd);
  vendralith::ProfileReadResult profile = vendralith::ReadProfileText(
      *text, vendralith::Reading::Strict, name, vendralith::BuildProfileKey(),
      vendralith::CredentialLinesFor(source));
  vendralith::SystemEntry& entry = profile.entry;
  const std::pair<const char*, const std::string*> shown[] = {
      {"Extcompany", &entry.extcompany}, {"Destination", &entry.destination},
      {"Client", &entry.client},         {"User", &entry.user},
      {"Language", &entry.language},     {"Mode", &entry.mode},
      {"Hostname", &entry.hostname},     {"Sysnr", &entry.sysnr},
      {"Gwhost", &entry.gwhost},         {"Gwservice", &entry.gwservice},
  };
  const ShownCredentials elsewhere = CredentialsShown(source);
  for (const auto& [label, value] : shown) {
    const bool user = value == &entry.user;
    std::cout << label << ": "
              << (user && source != vendralith::CredentialSource::Profile ? elsewhere.user : *value)
              << "\n";
  }
  std::cout << "Password: "
            << (source != vendralith::CredentialSource::Profile ? elsewhere.password
                : entry.password.empty()                        ? "(none)"
                                                                : "(set)")
            << "\n";
  vendralith::ClearSecret(entry.password);
  if (!profile.error.empty()) {
    std::cout << profile.error << "\n";
    return 2;
  }
  if (source == vendralith::CredentialSource::SingleSignOn) {
    // The sensor reads it from its current folder, where its profiles lie.
    const std::string destinationFile = "SapRfc." + entry.destination;
    entry.singleSignOn = true;
    const std::string refusal = vendralith::SingleSignOnRefusal(
        entry, vendralith::ReadFileBytes(path.substr(0, folderEnd) + destinationFile));
    if (!refusal.empty()) {
      std::cout << vendralith::LogonFailedMessage(entry.destination) << refusal << "\n";
      return 2;
    }
    std::cout << destinationFile << ": SNC_MODE=1 and SNC_PARTNERNAME for " << entry.destination
              << "\n";
  }
  if (HasBlankEnd(profile.storedPassword)) {
    std::cout << "Warning: the stored password begins or ends with a blank, which an editor or "
                 "a copy may trim: scramble it again without --offset\n";
  }
  std::cout << "OK\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) return UsageError("missing command");
  const std::vector<std::string> options(arguments.begin() + 1, arguments.end());
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      std::cout << kHelp;
      return 0;
    }
    if (argument == "--version") {
      // VENDRALITH_VERSION: the CMake project version, set by the build.
      std::cout << "vendralith-profile " VENDRALITH_VERSION "\n";
      return 0;
    }
  }
  if (arguments[0] == "scramble") return Scramble(options);
  if (arguments[0] == "check") return Check(options);
  return UsageError("unknown command '" + arguments[0] + "'");
}

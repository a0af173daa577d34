#include "rfc/connection.h"

#include "output/decimal_text.h"
#include "output/standard_output.h"
#include "rfc/rfc_functions.h"
#include "rfc/scan_locks.h"
#include "system/secret_text.h"
#include "system/text_file.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

std::string PaddedTo(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// The value of a ",KEYWORD=" parameter; nothing when the keyword is absent.
std::optional<std::string> Override(const std::string& parameterString, const char* keyword) {
  const auto at = parameterString.find(keyword);
  if (at == std::string::npos) return std::nullopt;
  return ParameterValue(parameterString, at + std::char_traits<char>::length(keyword));
}

}  // namespace

ConnectionOptions::ConnectionOptions(const SystemEntry& entry, const std::string& parameterString)
    : destination_(entry.destination),
      client_(entry.client),
      user_(PaddedTo(entry.user, 12)),
      password_(PaddedTo(entry.password, 10)),
      language_(entry.language),
      hostname_(entry.hostname),
      gwhost_(entry.gwhost),
      gwservice_(entry.gwservice) {
  std::string sysnr = entry.sysnr;
  if (auto host = Override(parameterString, ",HOST=")) hostname_ = *host;
  if (auto number = Override(parameterString, ",NO=")) sysnr = *number;

  gateway_.gateway_host = TextOrNull(gwhost_);
  gateway_.gateway_service = TextOrNull(gwservice_);
  host_.hostname = TextOrNull(hostname_);
  host_.sysnr = ParseDecimal(sysnr);
  host_.gateway_host = TextOrNull(gwhost_);
  host_.gateway_service = TextOrNull(gwservice_);

  const bool r2 = entry.mode == "R/2";
  options_.destination = Text(destination_);
  options_.mode = r2 ? RFC_MODE_CPIC : RFC_MODE_R3ONLY;
  options_.connopt = r2 ? static_cast<void*>(&gateway_) : static_cast<void*>(&host_);
  options_.client = Text(client_);
  options_.user = Text(user_);
  options_.password = Text(password_);
  options_.language = Text(language_);
  options_.trace = 0;
}

ConnectionOptions::~ConnectionOptions() { ClearSecret(password_); }

std::string ConnectString(const SystemEntry& entry) {
  std::string text = "CLIENT=" + entry.client;
  // Built in one buffer, so that no copy of the password is left behind.
  text.reserve(text.size() + entry.user.size() + entry.password.size() + entry.destination.size() +
               32);
  if (!entry.singleSignOn) {
    text.append(" USER=").append(entry.user).append(" PASSWD=").append(entry.password);
  }
  return text.append(" LANG=D DEST=").append(entry.destination);
}

std::string ConnectStringRefusal(const SystemEntry& entry) {
  const auto blank = [](const std::string& text) {
    return text.find_first_of(" \t") != std::string::npos;
  };
  if (!blank(entry.user) && !blank(entry.password)) return "";
  return " - a user or password with blanks cannot go through SapRfc." + entry.destination;
}

std::optional<std::string> ReadDestinationFile(const SystemEntry& entry) {
  return ReadFileBytes("SapRfc." + entry.destination);
}

bool LogOnThroughDestinationFile(const SystemEntry& entry, const std::string& content,
                                 bool consoleMode, const std::function<void()>& logon) {
  // Only the console may see this line: before the XML it would spoil the answer.
  if (consoleMode) WriteOut("* SapRfc.Ini.......: " + entry.destination + "<\n");
  // Until the logon has read SapRfc.ini, no other scan may replace it.
  const DestinationFileLock destinationFileLock(FolderScanLocks());
  if (!WriteFileReplacing(kLibraryDestinationFile, content)) return false;
  logon();
  return true;
}

OpenedConnection OpenConnection(const SystemEntry& entry, const std::string& parameterString,
                                bool consoleMode, const CallLog& callLog) {
  OpenedConnection opened;
  const auto destinationFile = ReadDestinationFile(entry);
  if (!destinationFile) {
    ConnectionOptions options(entry, parameterString);
    opened.handle = Rfc().RfcOpen(options.Options());
    callLog.Write(static_cast<std::int32_t>(opened.handle), "RfcOpen called", "");
    return opened;
  }
  const bool written = LogOnThroughDestinationFile(entry, *destinationFile, consoleMode, [&] {
    opened.notTried = ConnectStringRefusal(entry);
    if (!opened.notTried.empty()) return;
    RFC_ERROR_INFO_EX error{};
    std::string connectString = ConnectString(entry);
    opened.handle = Rfc().RfcOpenEx(connectString.c_str(), &error);
    ClearSecret(connectString);
    callLog.Write(static_cast<std::int32_t>(opened.handle), "RfcOpenEx called", "");
  });
  if (!written) opened.notTried = kDestinationUnwritableNote;
  return opened;
}

}  // namespace vendralith

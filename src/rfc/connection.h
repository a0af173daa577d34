// Opening an RFC connection for a system entry: with connection options, or
// through a destination file "SapRfc.<destination>" in the current folder.
#ifndef VENDRALITH_RFC_CONNECTION_H
#define VENDRALITH_RFC_CONNECTION_H

#include <functional>
#include <optional>
#include <string>

#include "profile/profile_reader.h"
#include "rfc/call_log.h"
#include "rfc/rfc_library.h"

namespace vendralith {

inline constexpr const char* kLibraryDestinationFile = "SapRfc.ini";

// The option records given to RfcOpen, with the texts they point to.
class ConnectionOptions {
 public:
  ConnectionOptions(const SystemEntry& entry, const std::string& parameterString);
  // Forgets the password once the logon has read it.
  ~ConnectionOptions();
  ConnectionOptions(const ConnectionOptions&) = delete;
  ConnectionOptions& operator=(const ConnectionOptions&) = delete;

  RFC_OPTIONS* Options() { return &options_; }
  const RFC_CONNOPT_R3& Host() const { return host_; }
  const RFC_CONNOPT_R2& Gateway() const { return gateway_; }

 private:
  char* Text(std::string& text) { return text.data(); }
  char* TextOrNull(std::string& text) { return text.empty() ? nullptr : text.data(); }

  std::string destination_, client_, user_, password_, language_;
  std::string hostname_, gwhost_, gwservice_;
  RFC_CONNOPT_R3 host_{};
  RFC_CONNOPT_R2 gateway_{};
  RFC_OPTIONS options_{};
};

// "CLIENT=... USER=... PASSWD=... LANG=D DEST=..." for RfcOpenEx; for a
// single sign-on logon "CLIENT=... LANG=D DEST=...": the library takes the
// SNC settings from the destination's entry in SapRfc.ini, and the system
// the user from the caller's SNC name.
std::string ConnectString(const SystemEntry& entry);

struct OpenedConnection {
  RFC_HANDLE handle = 0;  // 0 when none was opened (the caller words that)
  // Why no logon was tried, as the note after 1011; empty when one was.
  std::string notTried;
};

inline constexpr const char* kDestinationUnwritableNote = " - SapRfc.ini cannot be written";

// The note after 1011 when the entry's user or password holds a blank or a
// tab, which the connect string would split into words of their own (a
// password "x DEST=QAS" would name another destination): RfcOpenEx is not
// called. Empty when neither does. The profile way and the NetWeaver
// library pass them whole.
std::string ConnectStringRefusal(const SystemEntry& entry);

// The content of the destination file "SapRfc.<destination>" in the current
// folder; nothing when there is none, and the logon takes the options.
std::optional<std::string> ReadDestinationFile(const SystemEntry& entry);

// The visible steps of a logon through the destination file, whichever
// library logs on: the console line, SapRfc.ini replaced by the file's
// content, and the lock that keeps other scans from replacing it until
// logon has returned. False, without a logon, when SapRfc.ini could not be
// written.
bool LogOnThroughDestinationFile(const SystemEntry& entry, const std::string& content,
                                 bool consoleMode, const std::function<void()>& logon);

// The connection handle; 0 when none was opened (the caller words that).
// With the destination file, SapRfc.ini is replaced by a copy of it.
OpenedConnection OpenConnection(const SystemEntry& entry, const std::string& parameterString,
                                bool consoleMode, const CallLog& callLog);

}  // namespace vendralith

#endif

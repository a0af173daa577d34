// System profiles: the connection settings of one SAP system.
//
// A setting line is a 12-character label (such as "Client.....:"), one
// separator column and the value from column 14, at most 60 characters,
// taken verbatim. Other lines are ignored.
#ifndef VENDRALITH_PROFILE_PROFILE_READER_H
#define VENDRALITH_PROFILE_PROFILE_READER_H

#include <string>
#include <string_view>

#include "profile/password.h"

namespace vendralith {

struct SystemEntry {
  std::string extcompany;
  std::string destination;
  std::string client;
  std::string user;      // upper case
  std::string password;  // clear
  std::string language;
  std::string mode;
  std::string hostname;
  std::string sysnr;
  std::string gwhost;
  std::string gwservice;
  std::string displayHost;  // the host name shown on console lines
  // SNC single sign-on: the logon names neither user nor password, and the
  // system maps the caller's SNC name to its user.
  bool singleSignOn = false;
  // user and password are the monitoring host's as Windows holds them, in
  // exact UTF-8, not bytes in the ANSI code page as a profile's: each
  // binding converts them exactly into the texts its library takes.
  bool utf8Credentials = false;
};

// Strict reading ends the single-system run at the first defect; lenient
// reading only marks the entry invalid, so that a multi-system run goes on.
enum class Reading { Strict, Lenient };

// Whether the profile's "User.......:" and "Password...:" lines are
// required. Where the logon's credentials come from elsewhere, both lines
// are passed over: neither is missing (1006, 1007), too short or too long
// (1003), and a stored password is not decoded, so a damaged one is no error.
enum class CredentialLines { Required, NotRequired };

struct ProfileReadResult {
  SystemEntry entry;
  bool valid = true;
  std::string error;  // strict reading: the message of the first defect
  // The stored text of the password line the entry's password came from,
  // for the profile tool's check; never the clear password.
  std::string storedPassword;
};

// Reads a profile's text (as read from a text file) into an empty entry.
ProfileReadResult ReadProfileText(std::string_view text, Reading reading,
                                  const std::string& profileName, const ProfileKey& key,
                                  CredentialLines credentialLines = CredentialLines::Required);

// "* time name, host, destination, sysnr, client" for console lines.
std::string EntrySummary(const std::string& time, const std::string& profileName,
                         const SystemEntry& entry);

}  // namespace vendralith

#endif

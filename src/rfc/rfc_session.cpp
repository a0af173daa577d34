#include "rfc/rfc_session.h"

namespace vendralith {

namespace {

// Never destroyed: a process may end while its connection is in use.
std::unique_ptr<RfcSession>& BoundSession() {
  static std::unique_ptr<RfcSession>& session = *new std::unique_ptr<RfcSession>;
  return session;
}

}  // namespace

RfcSession& Session() { return *BoundSession(); }

void UseSession(std::unique_ptr<RfcSession> session) { BoundSession() = std::move(session); }

std::string RfcLibraryText(const std::string& description) { return "RFC-Library: " + description; }

}  // namespace vendralith

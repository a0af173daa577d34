// The system information query: which database the SAP system runs on.
#ifndef VENDRALITH_QUERIES_SYSTEM_INFO_QUERY_H
#define VENDRALITH_QUERIES_SYSTEM_INFO_QUERY_H

#include <string>

#include "queries/query_status.h"
#include "rfc/rfc_session.h"

namespace vendralith {

// Fields of the system's RFCSI structure, each whole with its blanks.
struct SystemInfo {
  std::string systemId;
  std::string databaseHost;
  std::string displayHost;
  std::string operatingSystem;
  std::string databaseSystem;
  std::string release;
  std::string systemDestination;
  std::string characterType = "0000";
};

// Asks RFC_SYSTEM_INFO; on success fills info.
QueryOutcome QuerySystemInfo(RfcSession& session, SystemInfo& info);

// MaxDB: the database system name begins with "ADA".
bool IsMaxDb(const SystemInfo& info);

}  // namespace vendralith

#endif

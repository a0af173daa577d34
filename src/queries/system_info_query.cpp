#include "queries/system_info_query.h"

namespace vendralith {

QueryOutcome QuerySystemInfo(RfcSession& session, SystemInfo& info) {
  RfcsiRecord rfcsi;
  const CallAnswer answer = session.AskSystemInfo(rfcsi);
  QueryOutcome outcome;
  outcome.status = answer.status;
  if (!outcome.Ok()) {
    outcome.message = QueryStatusMessage(outcome.status, answer.exceptionName);
    return outcome;
  }
  info.systemId = rfcsi["RFCSYSID"];
  info.databaseHost = rfcsi["RFCDBHOST"];
  info.displayHost = rfcsi["RFCHOST"];
  info.operatingSystem = rfcsi["RFCOPSYS"];
  info.databaseSystem = rfcsi["RFCDBSYS"];
  info.release = rfcsi["RFCSAPRL"];
  info.systemDestination = rfcsi["RFCDEST"];
  info.characterType = rfcsi["RFCCHARTYP"];
  return outcome;
}

bool IsMaxDb(const SystemInfo& info) { return info.databaseSystem.rfind("ADA", 0) == 0; }

}  // namespace vendralith

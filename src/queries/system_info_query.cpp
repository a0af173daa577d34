#include "queries/system_info_query.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "rfc/error_report.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

namespace {

struct Field {
  const char* name;
  unsigned length;
};

// The RFCSI structure: 18 character fields back to back, 200 bytes.
constexpr std::array<Field, 18> kRfcsiFields = {{
    {"RFCPROTO", 3},
    {"RFCCHARTYP", 4},
    {"RFCINTTYP", 3},
    {"RFCFLOTYP", 3},
    {"RFCDEST", 32},
    {"RFCHOST", 8},
    {"RFCSYSID", 8},
    {"RFCDATABS", 8},
    {"RFCDBHOST", 32},
    {"RFCDBSYS", 10},
    {"RFCSAPRL", 4},
    {"RFCMACH", 5},
    {"RFCOPSYS", 10},
    {"RFCTZONE", 6},
    {"RFCDAYST", 1},
    {"RFCIPADDR", 15},
    {"RFCKERNRL", 4},
    {"RFCSI_RESV", 44},
}};
constexpr unsigned kRfcsiLength = 200;

RFC_TYPEHANDLE rfcsiType = 0;  // installed once per process

void InstallRfcsi() {
  if (rfcsiType != 0) return;
  std::array<RFC_TYPE_ELEMENT, kRfcsiFields.size()> elements{};
  for (std::size_t i = 0; i < kRfcsiFields.size(); ++i) {
    elements[i] = {const_cast<char*>(kRfcsiFields[i].name), TYPC, kRfcsiFields[i].length, 0, 0};
  }
  if (Rfc().RfcInstallStructure("RFCSI", elements.data(), static_cast<unsigned>(elements.size()),
                                &rfcsiType) != 0) {
    ReportRfcError("RfcInstallStructure");
  }
}

// A field of the received structure: its bytes up to a NUL.
std::string FieldText(const char* rfcsi, const char* name) {
  unsigned offset = 0;
  for (const Field& field : kRfcsiFields) {
    if (std::strcmp(field.name, name) == 0) {
      const char* start = rfcsi + offset;
      return std::string(
          start, static_cast<std::size_t>(std::find(start, start + field.length, '\0') - start));
    }
    offset += field.length;
  }
  return {};
}

RFC_PARAMETER Parameter(const char* name, unsigned type, unsigned length, void* address) {
  return {const_cast<char*>(name), static_cast<unsigned>(std::strlen(name)), type, length, address};
}

}  // namespace

QueryOutcome QuerySystemInfo(RFC_HANDLE connection, const CallLog& callLog, SystemInfo& info) {
  InstallRfcsi();
  const auto handle = static_cast<std::int32_t>(connection);
  RFC_PARAMETER noParameters[1] = {};
  RFC_TABLE noTables[1] = {};
  QueryOutcome outcome;
  outcome.status = Rfc().RfcCall(connection, "RFC_SYSTEM_INFO", noParameters, noTables);
  callLog.Write(handle, "RfcCall called", "");
  // A failed call received no exception name: the message shows none.
  std::string exceptionName;
  char rfcsi[kRfcsiLength] = {};
  if (outcome.status == RFC_OK) {
    std::int32_t currentResources = 0, maximalResources = 0, recommendedDelay = 0;
    char dialogUserType = ' ', loginComplete = ' ';
    RFC_PARAMETER importing[] = {
        Parameter("CURRENT_RESOURCES", TYPINT, 4, &currentResources),
        Parameter("DIALOG_USER_TYPE", TYPC, 1, &dialogUserType),
        Parameter("MAXIMAL_RESOURCES", TYPINT, 4, &maximalResources),
        Parameter("RECOMMENDED_DELAY", TYPINT, 4, &recommendedDelay),
        Parameter("RFCSI_EXPORT", rfcsiType, kRfcsiLength, rfcsi),
        Parameter("RFC_LOGIN_COMPLETE", TYPC, 1, &loginComplete),
        {},
    };
    char* exception = nullptr;
    outcome.status = Rfc().RfcReceive(connection, importing, noTables, &exception);
    callLog.Write(handle, "RfcReceive called", "");
    if ((outcome.status == RFC_EXCEPTION || outcome.status == RFC_SYS_EXCEPTION) &&
        exception != nullptr) {
      exceptionName = exception;
    }
  }
  if (!outcome.Ok()) {
    outcome.message = QueryStatusMessage(outcome.status, exceptionName);
    return outcome;
  }
  info.systemId = FieldText(rfcsi, "RFCSYSID");
  info.displayHost = FieldText(rfcsi, "RFCHOST");
  info.operatingSystem = FieldText(rfcsi, "RFCOPSYS");
  info.databaseSystem = FieldText(rfcsi, "RFCDBSYS");
  info.release = FieldText(rfcsi, "RFCSAPRL");
  info.systemDestination = FieldText(rfcsi, "RFCDEST");
  info.characterType = FieldText(rfcsi, "RFCCHARTYP");
  return outcome;
}

bool IsMaxDb(const SystemInfo& info) { return info.databaseSystem.rfind("ADA", 0) == 0; }

}  // namespace vendralith

#include "rfc/classic_session.h"

#include <algorithm>
#include <cstring>

#include "rfc/connection.h"
#include "rfc/error_report.h"
#include "rfc/rfc_functions.h"
#include "rfc/trace_scan.h"

namespace vendralith {

namespace {

// Installed once per process.
RFC_TYPEHANDLE rfcsiType = 0;
RFC_TYPEHANDLE adaShowType = 0;

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

void InstallAdaShow() {
  if (adaShowType != 0) return;
  RFC_TYPE_ELEMENT elements[2] = {
      {const_cast<char*>("R1"), TYPC, kStatisticsLabelLength, 0, 0},
      {const_cast<char*>("R2"), TYPC, kStatisticsValueLength, 0, 0},
  };
  if (Rfc().RfcInstallStructure("ADA_SHOW", elements, 2, &adaShowType) != 0) {
    ReportRfcError("RfcInstallStructure");
  }
}

// The bytes of a character field up to a NUL.
std::string UpToNul(const char* start, unsigned length) {
  return std::string(start,
                     static_cast<std::size_t>(std::find(start, start + length, '\0') - start));
}

RFC_PARAMETER Parameter(const char* name, unsigned type, unsigned length, void* address) {
  return {const_cast<char*>(name), static_cast<unsigned>(std::strlen(name)), type, length, address};
}

// RfcReceive's exception name goes with the statuses that raise one.
std::string ExceptionName(RFC_RC status, const char* exception) {
  const bool raised = status == RFC_EXCEPTION || status == RFC_SYS_EXCEPTION;
  return raised && exception != nullptr ? std::string(exception) : std::string();
}

class ClassicSession final : public RfcSession {
 public:
  explicit ClassicSession(std::string description) : description_(std::move(description)) {}

  LogonOutcome LogOn(const SystemEntry& entry, const std::string& parameterString, bool consoleMode,
                     const CallLog& callLog) override {
    callLog_ = &callLog;
    RFC_ENV environment{ReportRfcErrorHandler, nullptr};
    Rfc().RfcEnvironment(&environment);
    callLog.Write(0, "RfcEnvironment called", "");
    const OpenedConnection opened = OpenConnection(entry, parameterString, consoleMode, callLog);
    connection_ = opened.handle;
    if (connection_ == 0 && opened.notTried.empty() && callLog.Requested()) {
      // The reason goes to the log only: 1011 stays as it is.
      const std::string note = ScanTraceFile();
      callLog.Write(0, "logon failed", note.substr(std::min<std::size_t>(3, note.size())));
    }
    // A failure on this machine is named as such: no logon was tried.
    return {connection_ != 0, opened.notTried};
  }

  CallAnswer AskSystemInfo(RfcsiRecord& rfcsi) override {
    InstallRfcsi();
    RFC_PARAMETER noParameters[1] = {};
    RFC_TABLE noTables[1] = {};
    CallAnswer answer;
    answer.status = Rfc().RfcCall(connection_, "RFC_SYSTEM_INFO", noParameters, noTables);
    Log("RfcCall called");
    char image[kRfcsiLength] = {};
    if (answer.Ok()) {
      std::int32_t currentResources = 0, maximalResources = 0, recommendedDelay = 0;
      char dialogUserType = ' ', loginComplete = ' ';
      RFC_PARAMETER importing[] = {
          Parameter("CURRENT_RESOURCES", TYPINT, 4, &currentResources),
          Parameter("DIALOG_USER_TYPE", TYPC, 1, &dialogUserType),
          Parameter("MAXIMAL_RESOURCES", TYPINT, 4, &maximalResources),
          Parameter("RECOMMENDED_DELAY", TYPINT, 4, &recommendedDelay),
          Parameter("RFCSI_EXPORT", rfcsiType, kRfcsiLength, image),
          Parameter("RFC_LOGIN_COMPLETE", TYPC, 1, &loginComplete),
          {},
      };
      char* exception = nullptr;
      answer.status = Rfc().RfcReceive(connection_, importing, noTables, &exception);
      Log("RfcReceive called");
      answer.exceptionName = ExceptionName(answer.status, exception);
    }
    if (!answer.Ok()) return answer;
    unsigned offset = 0;
    for (const RfcsiField& field : kRfcsiFields) {
      rfcsi[field.name] = UpToNul(image + offset, field.length);
      offset += field.length;
    }
    return answer;
  }

  CallAnswer AskLogStatistics(std::vector<StatisticsFields>& rows) override {
    monitorTable_ = CreateTable("SHOWMONILOG", "ItCreate SHOWMONILOG");
    statisticsTable_ = CreateTable("SHOWSTATLOG", "ItCreate SHOWSTATLOG");
    InstallAdaShow();

    RFC_PARAMETER noParameters[1] = {};
    RFC_TABLE tables[3] = {};
    tables[0] = {const_cast<char*>("SHOWMONILOG"), 11, adaShowType, 0, monitorTable_, 0, 0};
    tables[1] = {const_cast<char*>("SHOWSTATLOG"), 11, adaShowType, 0, statisticsTable_, 0, 0};
    CallAnswer answer;
    answer.status = Rfc().RfcCall(connection_, "ADA_LOG_STATISTICS", noParameters, tables);
    Log("RfcCall called");
    if (answer.Ok()) {
      char* exception = nullptr;
      answer.status = Rfc().RfcReceive(connection_, noParameters, tables, &exception);
      Log("RfcReceive called");
      answer.exceptionName = ExceptionName(answer.status, exception);
    }
    if (!answer.Ok()) return answer;
    // The line count is read again before every line.
    for (unsigned line = 1; line <= Rfc().ItFill(statisticsTable_); ++line) {
      const void* address = Rfc().ItGetLine(statisticsTable_, line);
      if (address == nullptr) ReportRfcError("ItGetLine SHOWSTATLOG");
      const char* text = static_cast<const char*>(address);
      rows.push_back({std::string(text, kStatisticsLabelLength),
                      std::string(text + kStatisticsLabelLength, kStatisticsValueLength)});
    }
    return answer;
  }

  void ReleaseLogStatistics() override {
    if (Rfc().ItDelete(monitorTable_) != 0) ReportRfcError("ItDelete SHOWMONILOG");
    if (Rfc().ItDelete(statisticsTable_) != 0) ReportRfcError("ItDelete SHOWSTATLOG");
    monitorTable_ = statisticsTable_ = nullptr;
  }

  std::string FailureNote() override { return ScanTraceFile(); }

  void Close() override {
    if (connection_ != 0) Rfc().RfcClose(connection_);
    connection_ = 0;
  }

  std::int32_t ConnectionNumber() const override { return static_cast<std::int32_t>(connection_); }

  bool TakesAnsiTexts() const override { return true; }

  std::string LibraryDescription() const override { return description_; }

 private:
  static ITAB_H CreateTable(const char* name, const char* failure) {
    ITAB_H table = Rfc().ItCreate(name, kStatisticsLabelLength + kStatisticsValueLength, 0, 0);
    if (table == nullptr) ReportRfcError(failure);
    return table;
  }

  void Log(const char* step) const {
    if (callLog_ != nullptr) callLog_->Write(static_cast<std::int32_t>(connection_), step, "");
  }

  std::string description_;
  const CallLog* callLog_ = nullptr;
  RFC_HANDLE connection_ = 0;
  ITAB_H monitorTable_ = nullptr;
  ITAB_H statisticsTable_ = nullptr;
};

}  // namespace

std::unique_ptr<RfcSession> MakeClassicSession(std::string description) {
  return std::make_unique<ClassicSession>(std::move(description));
}

}  // namespace vendralith

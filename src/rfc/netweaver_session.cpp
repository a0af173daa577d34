#include "rfc/netweaver_session.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

#include "output/decimal_text.h"
#include "rfc/connection.h"
#include "rfc/destination_entry.h"
#include "rfc/error_report.h"
#include "rfc/trace_scan.h"
#include "system/code_page.h"
#include "system/secret_text.h"
#include "system/text_file.h"
#include "system/text_helpers.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

using nw::RfcErrorInfo;
using nw::SapUc;

// The trace message's length: what a note from the trace can hold.
constexpr std::size_t kNoteLength = 87;

constexpr std::array<const char*, 30> kRcNames = {
    "RFC_OK",
    "RFC_COMMUNICATION_FAILURE",
    "RFC_LOGON_FAILURE",
    "RFC_ABAP_RUNTIME_FAILURE",
    "RFC_ABAP_MESSAGE",
    "RFC_ABAP_EXCEPTION",
    "RFC_CLOSED",
    "RFC_CANCELED",
    "RFC_TIMEOUT",
    "RFC_MEMORY_INSUFFICIENT",
    "RFC_VERSION_MISMATCH",
    "RFC_INVALID_PROTOCOL",
    "RFC_SERIALIZATION_FAILURE",
    "RFC_INVALID_HANDLE",
    "RFC_RETRY",
    "RFC_EXTERNAL_FAILURE",
    "RFC_EXECUTED",
    "RFC_NOT_FOUND",
    "RFC_NOT_SUPPORTED",
    "RFC_ILLEGAL_STATE",
    "RFC_INVALID_PARAMETER",
    "RFC_CODEPAGE_CONVERSION_FAILURE",
    "RFC_CONVERSION_FAILURE",
    "RFC_BUFFER_TOO_SMALL",
    "RFC_TABLE_MOVE_BOF",
    "RFC_TABLE_MOVE_EOF",
    "RFC_START_SAPGUI_FAILURE",
    "RFC_ABAP_CLASS_EXCEPTION",
    "RFC_UNKNOWN_ERROR",
    "RFC_AUTHORIZATION_FAILURE",
};

constexpr std::array<const char*, 8> kGroupNames = {
    "OK",
    "ABAP_APPLICATION_FAILURE",
    "ABAP_RUNTIME_FAILURE",
    "LOGON_FAILURE",
    "COMMUNICATION_FAILURE",
    "EXTERNAL_RUNTIME_FAILURE",
    "EXTERNAL_APPLICATION_FAILURE",
    "EXTERNAL_AUTHORIZATION_FAILURE",
};

// The sensor's texts (profile values, names) in UTF-16: UTF-8 as it is,
// anything else read in the ANSI code page.
std::u16string ToUtf16(std::string_view text) {
  std::string utf8 = IsUtf8(text) ? std::string(text) : AnsiToUtf8(text);
  std::u16string wide = Utf8ToUtf16(utf8);
  ClearSecret(utf8);  // the text may be a password
  return wide;
}

// A zero-terminated text of the library, at most size units.
std::u16string_view Terminated(const SapUc* text, std::size_t size) {
  std::size_t length = 0;
  while (length < size && text[length] != u'\0') ++length;
  return {text, length};
}

// user and passwd, unless the logon is a single sign-on: then the library
// logs on with the SNC name of the caller (snc_sso defaults to 1). The
// host's exact UTF-8 (utf8Credentials) is always well-formed, so ToUtf16
// takes it as it is: it never meets the ANSI code page.
void AddCredentials(const SystemEntry& entry, ConnectionParameters& parameters) {
  if (entry.singleSignOn) return;
  parameters.emplace_back("user", entry.user);
  parameters.emplace_back("passwd", entry.password);
}

class NetWeaverSession final : public RfcSession {
 public:
  NetWeaverSession(const NetWeaverFunctions& functions, std::string description, TextForm rowTexts)
      : f_(functions), description_(std::move(description)), rowTexts_(rowTexts) {}

  LogonOutcome LogOn(const SystemEntry& entry, const std::string& parameterString, bool consoleMode,
                     const CallLog& callLog) override {
    callLog_ = &callLog;
    lastMessage_.clear();
    const std::optional<std::string> destinationFile = ReadDestinationFile(entry);
    if (!destinationFile) {
      if (entry.mode == "R/2") return {false, " - R/2 needs librfc32.dll"};
      ConnectionParameters parameters = ProfileParameters(entry, parameterString);
      return Outcome(Open(parameters));
    }
    bool opened = false;
    const bool written = LogOnThroughDestinationFile(entry, *destinationFile, consoleMode, [&] {
      // The library reads no SapRfc.ini: the binding reads the entry itself.
      const std::optional<std::string> ini = ReadFileBytes(kLibraryDestinationFile);
      auto logon = ini ? DestinationParameters(*ini, entry) : std::nullopt;
      if (!logon) return;
      if (!logon->leftOut.empty()) {
        std::string names;
        for (const std::string& name : logon->leftOut) names += (names.empty() ? "" : " ") + name;
        callLog.Write(0, "SapRfc.ini entries left out", names);
      }
      opened = Open(logon->parameters);
    });
    // A failure on this machine is named as such: no logon was tried.
    if (!written) return {false, kDestinationUnwritableNote};
    return Outcome(opened);
  }

  CallAnswer AskSystemInfo(RfcsiRecord& rfcsi) override {
    nw::RfcFunctionHandle function = nullptr;
    CallAnswer answer = Invoke(u"RFC_SYSTEM_INFO", function);
    if (!answer.Ok()) return answer;
    RfcErrorInfo error{};
    nw::RfcStructureHandle structure = nullptr;
    if (f_.RfcGetStructure(function, u"RFCSI_EXPORT", &structure, &error) != nw::RFC_OK) {
      Report("RfcGetStructure RFCSI_EXPORT", error);
    }
    // By name, into wide buffers: a release whose field is wider still scans.
    for (const RfcsiField& field : kRfcsiFields) {
      const std::u16string name = ToUtf16(field.name);
      const std::u16string text = Characters(
          [&](SapUc* buffer, unsigned length, RfcErrorInfo* fieldError) {
            return f_.RfcGetChars(structure, name.c_str(), buffer, length, fieldError);
          },
          "RfcGetChars RFCSI_EXPORT-" + std::string(field.name));
      rfcsi[field.name] = Utf16ToUtf8(Utf16Prefix(text, field.length));
    }
    Destroy(function, "RFC_SYSTEM_INFO");
    return answer;
  }

  CallAnswer AskLogStatistics(std::vector<StatisticsFields>& rows) override {
    CallAnswer answer = Invoke(u"ADA_LOG_STATISTICS", statistics_);
    if (!answer.Ok()) return answer;
    // SHOWMONILOG comes with the answer and is not read.
    RfcErrorInfo error{};
    nw::RfcTableHandle table = nullptr;
    if (f_.RfcGetTable(statistics_, u"SHOWSTATLOG", &table, &error) != nw::RFC_OK) {
      Report("RfcGetTable SHOWSTATLOG", error);
    }
    unsigned count = 0;
    if (f_.RfcGetRowCount(table, &count, &error) != nw::RFC_OK) {
      Report("RfcGetRowCount SHOWSTATLOG", error);
    }
    for (unsigned row = 0; row < count; ++row) {
      const nw::RfcRc moved =
          row == 0 ? f_.RfcMoveToFirstRow(table, &error) : f_.RfcMoveToNextRow(table, &error);
      if (moved != nw::RFC_OK) {
        Report(row == 0 ? "RfcMoveToFirstRow SHOWSTATLOG" : "RfcMoveToNextRow SHOWSTATLOG", error);
      }
      nw::RfcStructureHandle line = f_.RfcGetCurrentRow(table, &error);
      if (line == nullptr) Report("RfcGetCurrentRow SHOWSTATLOG", error);
      // By position: the system's own names of the fields are not known.
      rows.push_back({RowText(Utf16Prefix(RowField(line, 0), kStatisticsLabelLength)),
                      RowText(Utf16Prefix(RowField(line, 1), kStatisticsValueLength))});
    }
    return answer;
  }

  void ReleaseLogStatistics() override {
    if (statistics_ != nullptr) Destroy(statistics_, "ADA_LOG_STATISTICS");
    statistics_ = nullptr;
  }

  std::string FailureNote() override { return ErrorMessageNote(lastMessage_); }

  void Close() override {
    if (connection_ == nullptr) return;
    RfcErrorInfo error{};
    // A connection that fails to close is gone all the same.
    (void)f_.RfcCloseConnection(connection_, &error);
    connection_ = nullptr;
  }

  std::int32_t ConnectionNumber() const override { return connection_ != nullptr ? 1 : 0; }

  bool TakesAnsiTexts() const override { return false; }

  std::string LibraryDescription() const override { return description_; }

 private:
  // Logs on with the parameters, and forgets their values (the password
  // among them) once the library has returned.
  bool Open(ConnectionParameters& parameters) {
    std::vector<std::u16string> texts;
    texts.reserve(parameters.size() * 2);
    for (auto& [name, value] : parameters) {
      texts.push_back(ToUtf16(name));
      texts.push_back(ToUtf16(value));
      ClearSecret(value);
    }
    std::vector<nw::RfcConnectionParameter> list;
    for (std::size_t i = 0; i < texts.size(); i += 2) {
      list.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    }
    RfcErrorInfo error{};
    connection_ = f_.RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
    for (std::u16string& text : texts) ClearSecret(text);
    Log("RfcOpenConnection called");
    if (connection_ != nullptr) return true;
    Remember(error);
    if (callLog_ != nullptr) {
      callLog_->Write(0, "logon failed",
                      Utf16ToUtf8(Terminated(error.key, 128)) + " " + ErrorGroupName(error.group) +
                          ": " + lastMessage_);
    }
    return false;
  }

  // The logon's answer: a failure with the line of the library's message.
  LogonOutcome Outcome(bool opened) const {
    return {opened, opened ? "" : LogonFailureNote(lastMessage_)};
  }

  // The function's description, the function and the call; a failure of any
  // maps by its code.
  CallAnswer Invoke(const SapUc* name, nw::RfcFunctionHandle& function) {
    RfcErrorInfo error{};
    nw::RfcFunctionDescHandle description = f_.RfcGetFunctionDesc(connection_, name, &error);
    if (description != nullptr) function = f_.RfcCreateFunction(description, &error);
    if (description == nullptr || function == nullptr) return Failed(error);
    const nw::RfcRc code = f_.RfcInvoke(connection_, function, &error);
    Log("RfcInvoke called");
    if (code == nw::RFC_OK) return {};
    RfcErrorInfo ignored{};
    (void)f_.RfcDestroyFunction(function, &ignored);  // the failure is what counts
    function = nullptr;
    return Failed(error);
  }

  CallAnswer Failed(const RfcErrorInfo& error) {
    Remember(error);
    CallAnswer answer;
    answer.status = QueryStatusOfCode(error.code);
    if (answer.status == 2) answer.exceptionName = Utf16ToUtf8(Terminated(error.key, 128));
    return answer;
  }

  void Remember(const RfcErrorInfo& error) {
    lastMessage_ = Utf16ToUtf8(Terminated(error.message, 512));
  }

  // A character field whole, up to a NUL: into a buffer wider than any field
  // the sensor reads, and when the library finds it too small, into one as
  // wide as the longest character field there is. A failure of both is the
  // RFC error report, never a value cut short.
  std::u16string Characters(
      const std::function<nw::RfcRc(SapUc* buffer, unsigned length, RfcErrorInfo* error)>& get,
      const std::string& operation) {
    RfcErrorInfo error{};
    nw::RfcRc code = nw::RFC_BUFFER_TOO_SMALL;
    for (const unsigned length : {kFieldBufferUnits, kLongestCharField}) {
      buffer_.assign(length, u' ');
      code = get(buffer_.data(), length, &error);
      if (code != nw::RFC_BUFFER_TOO_SMALL) break;
    }
    if (code != nw::RFC_OK) Report(operation.c_str(), error);
    return buffer_.substr(0, buffer_.find(u'\0'));
  }

  std::u16string RowField(nw::RfcStructureHandle row, unsigned index) {
    return Characters(
        [&](SapUc* buffer, unsigned length, RfcErrorInfo* error) {
          return f_.RfcGetCharsByIndex(row, index, buffer, length, error);
        },
        "RfcGetCharsByIndex SHOWSTATLOG-" + std::to_string(index));
  }

  std::string RowText(std::u16string_view text) const {
    return rowTexts_ == TextForm::Utf8 ? Utf16ToUtf8(text) : Utf16ToAnsi(text);
  }

  void Destroy(nw::RfcFunctionHandle function, const std::string& name) {
    RfcErrorInfo error{};
    if (f_.RfcDestroyFunction(function, &error) != nw::RFC_OK) {
      Report(("RfcDestroyFunction " + name).c_str(), error);
    }
  }

  [[noreturn]] void Report(const char* operation, const RfcErrorInfo& error) {
    ReportRfcFailure(operation,
                     {Utf16ToUtf8(Terminated(error.key, 128)), RfcRcName(error.code),
                      ErrorMessageLine(Utf16ToUtf8(Terminated(error.message, 512))),
                      ErrorGroupName(error.group)},
                     [this] { Close(); });
  }

  void Log(const char* step) const {
    if (callLog_ != nullptr) callLog_->Write(ConnectionNumber(), step, "");
  }

  NetWeaverFunctions f_;
  std::string description_;
  TextForm rowTexts_;
  const CallLog* callLog_ = nullptr;
  nw::RfcConnectionHandle connection_ = nullptr;
  nw::RfcFunctionHandle statistics_ = nullptr;
  std::string lastMessage_;
  std::u16string buffer_;  // kept from field to field
};

}  // namespace

ConnectionParameters ProfileParameters(const SystemEntry& entry,
                                       const std::string& parameterString) {
  std::string host = entry.hostname;
  std::string sysnr = entry.sysnr;
  for (const auto& [keyword, target] : {std::pair<const char*, std::string*>{",HOST=", &host},
                                        std::pair<const char*, std::string*>{",NO=", &sysnr}}) {
    const auto at = parameterString.find(keyword);
    if (at != std::string::npos) {
      *target = ParameterValue(parameterString, at + std::char_traits<char>::length(keyword));
    }
  }
  char digits[16] = "";
  (void)std::snprintf(digits, sizeof digits, "%02d", static_cast<int>(ParseDecimal(sysnr)));
  ConnectionParameters parameters = {{"ashost", host}, {"sysnr", digits}};
  if (!entry.gwhost.empty()) parameters.emplace_back("gwhost", entry.gwhost);
  if (!entry.gwservice.empty()) parameters.emplace_back("gwserv", entry.gwservice);
  parameters.emplace_back("client", entry.client);
  AddCredentials(entry, parameters);
  // The NetWeaver library would read two characters as an ISO code: "ES" is
  // English to the classic library, Spanish to this one.
  const std::size_t first = entry.language.empty() ? 0 : Utf8SequenceLength(entry.language, 0);
  parameters.emplace_back("lang", entry.language.substr(0, first != 0 ? first : 1));
  return parameters;
}

std::optional<DestinationLogon> DestinationParameters(std::string_view iniText,
                                                      const SystemEntry& entry) {
  const auto lines = DestinationEntry(iniText, entry.destination);
  if (!lines) return std::nullopt;
  auto value = [&lines](std::string_view key) { return DestinationValue(*lines, key); };
  // The classic library takes an entry without TYPE by its server entries.
  std::string type = UpperCase(value("TYPE").value_or(""));
  if (type.empty()) type = value("ASHOST") ? "A" : value("MSHOST") ? "B" : "";
  if (type != "A" && type != "B") return std::nullopt;
  using Names = std::vector<std::pair<std::string, std::string>>;  // the file's, the library's
  static const Names kApplicationServer = {
      {"ASHOST", "ashost"}, {"SYSNR", "sysnr"}, {"GWHOST", "gwhost"}, {"GWSERV", "gwserv"}};
  static const Names kMessageServer = {
      {"MSHOST", "mshost"}, {"R3NAME", "sysid"}, {"GROUP", "group"}, {"MSSERV", "msserv"}};
  static const Names kEither = {{"SAPROUTER", "saprouter"},
                                {"SNC_MODE", "snc_mode"},
                                {"SNC_PARTNERNAME", "snc_partnername"},
                                {"SNC_QOP", "snc_qop"},
                                {"SNC_MYNAME", "snc_myname"},
                                {"SNC_LIB", "snc_lib"},
                                {"RFC_TRACE", "trace"}};
  const Names& server = type == "A" ? kApplicationServer : kMessageServer;
  DestinationLogon logon;
  for (const Names* names : {&server, &kEither}) {
    for (const auto& [key, name] : *names) {
      if (auto text = value(key)) {
        logon.parameters.emplace_back(name, *text);
      } else if (key == "GROUP") {
        logon.parameters.emplace_back(name, "PUBLIC");
      }
    }
  }
  const auto taken = [&server](const std::string& key) {
    for (const Names* names : {&server, &kEither}) {
      for (const auto& known : *names) {
        if (known.first == key) return true;
      }
    }
    return key == "DEST" || key == "TYPE";
  };
  for (const auto& [key, text] : *lines) {
    const bool named =
        std::find(logon.leftOut.begin(), logon.leftOut.end(), key) != logon.leftOut.end();
    if (!taken(key) && !named) logon.leftOut.push_back(key);
  }
  logon.parameters.emplace_back("client", entry.client);
  AddCredentials(entry, logon.parameters);
  logon.parameters.emplace_back("lang", "D");
  return logon;
}

int QueryStatusOfCode(int code) {
  switch (code) {
    case nw::RFC_ABAP_EXCEPTION:
      return 2;
    case nw::RFC_ABAP_RUNTIME_FAILURE:
    case nw::RFC_ABAP_MESSAGE:
      return 3;
    case nw::RFC_COMMUNICATION_FAILURE:
      return 1;
    default:
      return 4;
  }
}

std::string ErrorMessageLine(std::string_view message) {
  TraceScanner scanner;
  scanner.Add(message);
  std::string line = scanner.FinishMessage();
  if (line.empty()) {
    // No line the rules pick: the first, as a piece of the scan would hold it.
    const std::vector<std::string> pieces = ReadPieces(message, kTracePieceChars);
    line = pieces.empty() ? std::string() : pieces.front();
    DropTrailing(line, '\n');
    DropTrailing(line, '\r');
  }
  return std::string(Utf8Prefix(line, kNoteLength));
}

std::string ErrorMessageNote(std::string_view message) {
  const std::string line = ErrorMessageLine(message);
  return line.empty() ? " - Please Check Trace-File !" : " - " + line;
}

std::string LogonFailureNote(std::string_view message) {
  const std::string line = ErrorMessageLine(message);
  return line.empty() ? "" : " - " + line;
}

std::string RfcRcName(int code) {
  return code >= 0 && code < static_cast<int>(kRcNames.size()) ? kRcNames[code]
                                                               : "RFC_" + std::to_string(code);
}

std::string ErrorGroupName(int group) {
  return group >= 0 && group < static_cast<int>(kGroupNames.size()) ? kGroupNames[group]
                                                                    : std::to_string(group);
}

std::unique_ptr<RfcSession> MakeNetWeaverSession(const NetWeaverFunctions& functions,
                                                 const std::string& path, TextForm rowTexts) {
  unsigned major = 0, minor = 0, patch = 0;
  (void)functions.RfcGetVersion(&major, &minor, &patch);  // the numbers are what counts
  const std::string description = path + " (" + std::to_string(major) + "." +
                                  std::to_string(minor) + "." + std::to_string(patch) + ")";
  return std::make_unique<NetWeaverSession>(functions, description, rowTexts);
}

}  // namespace vendralith

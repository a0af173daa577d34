#include "rfc/netweaver_session.h"

#include <array>
#include <cstdio>

#include "output/decimal_text.h"
#include "rfc/connection.h"
#include "rfc/error_report.h"
#include "rfc/trace_scan.h"
#include "system/code_page.h"
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
  return Utf8ToUtf16(IsUtf8(text) ? std::string(text) : AnsiToUtf8(text));
}

// A zero-terminated text of the library, at most size units.
std::u16string_view Terminated(const SapUc* text, std::size_t size) {
  std::size_t length = 0;
  while (length < size && text[length] != u'\0') ++length;
  return {text, length};
}

// The entry's lines "KEY=value" of SapRfc.ini from the line "DEST=<name>" to
// the next "DEST=", keys in upper case.
std::optional<std::vector<std::pair<std::string, std::string>>> DestinationEntry(
    std::string_view text, const std::string& name) {
  std::optional<std::vector<std::pair<std::string, std::string>>> entry;
  for (std::string line : ReadPieces(text, text.size() + 1)) {
    DropTrailing(line, '\n');
    DropTrailing(line, '\r');
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    auto trimmed = [](std::string part) {
      part.erase(0, part.find_first_not_of(" \t"));
      part.erase(part.find_last_not_of(" \t") + 1);
      return part;
    };
    const std::string key = UpperCase(trimmed(line.substr(0, equals)));
    const std::string value = trimmed(line.substr(equals + 1));
    if (key == "DEST") {
      if (entry) break;  // the wanted entry has ended
      if (UpperCase(value) == UpperCase(name)) entry.emplace();
    }
    if (entry) entry->emplace_back(key, value);
  }
  return entry;
}

class NetWeaverSession final : public RfcSession {
 public:
  NetWeaverSession(const NetWeaverFunctions& functions, std::string description, TextForm rowTexts)
      : f_(functions), description_(std::move(description)), rowTexts_(rowTexts) {}

  LogonOutcome LogOn(const SystemEntry& entry, const std::string& parameterString, bool consoleMode,
                     const CallLog& callLog) override {
    callLog_ = &callLog;
    const std::optional<std::string> destinationFile = ReadDestinationFile(entry);
    if (!destinationFile) {
      if (entry.mode == "R/2") return {false, " - R/2 needs librfc32.dll"};
      return {Open(ProfileParameters(entry, parameterString)), ""};
    }
    bool opened = false;
    const bool written = LogOnThroughDestinationFile(entry, *destinationFile, consoleMode, [&] {
      // The library reads no SapRfc.ini: the binding reads the entry itself.
      const std::optional<std::string> ini = ReadFileBytes(kLibraryDestinationFile);
      const auto parameters = ini ? DestinationParameters(*ini, entry) : std::nullopt;
      opened = parameters && Open(*parameters);
    });
    // A failure on this machine is named as such: no logon was tried.
    return {opened, written ? "" : kDestinationUnwritableNote};
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
    for (const RfcsiField& field : kRfcsiFields) {
      rfcsi[field.name] = Utf16ToUtf8(Chars(structure, field.name, field.length, "RFCSI_EXPORT"));
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
      rows.push_back({RowText(Chars(line, "R1", kStatisticsLabelLength, "SHOWSTATLOG")),
                      RowText(Chars(line, "R2", kStatisticsValueLength, "SHOWSTATLOG"))});
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

  std::string LibraryDescription() const override { return description_; }

 private:
  bool Open(const ConnectionParameters& parameters) {
    std::vector<std::u16string> texts;
    texts.reserve(parameters.size() * 2);
    for (const auto& [name, value] : parameters) {
      texts.push_back(ToUtf16(name));
      texts.push_back(ToUtf16(value));
    }
    std::vector<nw::RfcConnectionParameter> list;
    for (std::size_t i = 0; i < texts.size(); i += 2) {
      list.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    }
    RfcErrorInfo error{};
    connection_ = f_.RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
    if (connection_ == nullptr) Remember(error);
    Log("RfcOpenConnection called");
    return connection_ != nullptr;
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

  std::u16string Chars(nw::RfcDataContainer* container, const char* field, unsigned length,
                       const char* owner) {
    std::u16string buffer(length, u' ');
    RfcErrorInfo error{};
    const std::u16string name = ToUtf16(field);
    if (f_.RfcGetChars(container, name.c_str(), buffer.data(), length, &error) != nw::RFC_OK) {
      Report(("RfcGetChars " + std::string(owner) + "-" + field).c_str(), error);
    }
    return buffer.substr(0, buffer.find(u'\0'));
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
  parameters.emplace_back("user", entry.user);
  parameters.emplace_back("passwd", entry.password);
  parameters.emplace_back("lang", entry.language);
  return parameters;
}

std::optional<ConnectionParameters> DestinationParameters(std::string_view iniText,
                                                          const SystemEntry& entry) {
  const auto lines = DestinationEntry(iniText, entry.destination);
  if (!lines) return std::nullopt;
  auto value = [&lines](const char* key) -> std::optional<std::string> {
    for (const auto& [name, text] : *lines) {
      if (name == key) return text;
    }
    return std::nullopt;
  };
  const std::string type = UpperCase(value("TYPE").value_or(""));
  ConnectionParameters parameters;
  const auto add = [&parameters, &value](const char* name, const char* key) {
    if (auto text = value(key)) parameters.emplace_back(name, *text);
  };
  if (type == "A") {
    add("ashost", "ASHOST");
    add("sysnr", "SYSNR");
    add("gwhost", "GWHOST");
    add("gwserv", "GWSERV");
  } else if (type == "B") {
    add("mshost", "MSHOST");
    add("sysid", "R3NAME");
    parameters.emplace_back("group", value("GROUP").value_or("PUBLIC"));
    add("msserv", "MSSERV");
  } else {
    return std::nullopt;
  }
  parameters.emplace_back("client", entry.client);
  parameters.emplace_back("user", entry.user);
  parameters.emplace_back("passwd", entry.password);
  parameters.emplace_back("lang", "D");
  return parameters;
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

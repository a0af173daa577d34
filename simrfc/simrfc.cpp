// The RFC client API of rfc/rfc_library.h, answered by the simulated systems
// of the landscape file. Like the classic single-threaded library it keeps
// process-wide state and expects calls from one thread.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "landscape.h"
#include "process_environment.h"
#include "rfc/rfc_library.h"
#include "simrfc_control.h"
#include "simrfc_engine.h"
#include "trace_append.h"

namespace {

using simrfc::ErrorTexts;
using simrfc::Fault;
using simrfc::FaultKind;
using simrfc::System;

constexpr const char* kTraceFile = "Dev_Rfc.Trc";
constexpr const char* kDefaultLandscape = "Landscape.ini";
constexpr const char* kDefaultDestinations = "SapRfc.ini";

// Type handles start above every type code, so the two never mix up.
constexpr RFC_TYPEHANDLE kFirstTypeHandle = 0x100;

// What RFC_SYSTEM_INFO reports besides RFCSI: fixed, as the sensor does not use them.
constexpr std::int32_t kCurrentResources = 8;
constexpr std::int32_t kMaximalResources = 10;
constexpr std::int32_t kRecommendedDelay = 0;
constexpr const char* kDialogUserType = "B";
constexpr const char* kLoginComplete = "X";

// Groups of RFC_ERROR_INFO_EX.
enum Group {
  kGroupNone = 0,
  kGroupProgram = 1,
  kGroupCommunication = 2,
  kGroupLogon = 3,
  kGroupSystem = 4
};

struct Failure {
  ErrorTexts texts;
  std::string partner;  // set when a partner was not reached: the trace tells where
  int group = kGroupProgram;
};

struct Element {
  std::string name;
  unsigned length = 0;
  unsigned offset = 0;
};

struct Structure {
  std::string name;
  std::vector<Element> elements;
  unsigned length = 0;
};

struct Table {
  std::string name;
  unsigned line_length = 0;
  // One block per line, so line addresses stay valid while lines are added.
  std::vector<std::unique_ptr<char[]>> lines;
};

struct Connection {
  const System* system = nullptr;
  std::string partner;
  bool pending = false;
  std::string function;
  RFC_TABLE* tables = nullptr;
};

struct State {
  bool loaded = false;
  simrfc::LandscapeResult landscape;
  RFC_ERROR_HANDLER handler = nullptr;
  std::map<RFC_HANDLE, Connection> connections;
  RFC_HANDLE next_handle = 1;
  std::map<RFC_TYPEHANDLE, Structure> structures;
  RFC_TYPEHANDLE next_type = kFirstTypeHandle;
  std::map<const void*, std::unique_ptr<Table>> tables;
  // Tables and structures belong to no connection: they take the faults of
  // the system of the most recently opened connection.
  const System* recent = nullptr;
  ErrorTexts last_error;
  int last_group = kGroupNone;
  std::string last_trace_lines;  // the last failure's trace block without its first line
  std::string exception;         // the text RfcReceive hands out
};

State& TheState() {
  static State state;
  return state;
}

// How many UntracedCalls live: none, and failures are traced.
int untracedCalls = 0;

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// A caller's text without its trailing blanks; callers pad user and password.
std::string CallerText(const char* text) {
  if (text == nullptr) return {};
  std::string result(text);
  result.erase(result.find_last_not_of(' ') + 1);
  return result;
}

// A parameter or table name: nlen bytes (or up to the terminator when 0).
std::string_view ParameterName(const void* name, unsigned nlen) {
  if (name == nullptr) return {};
  const char* text = static_cast<const char*>(name);
  std::string_view view(text, nlen != 0 ? nlen : std::strlen(text));
  view = view.substr(0, view.find('\0'));
  return view.substr(0, view.find_last_not_of(' ') + 1);
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string content;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  (void)std::fclose(file);  // read-only: closing cannot lose data
  return content;
}

// A multi-system run with ,PARALLEL= scans each system in a process of its
// own, working in a folder of its own: such a process reads the landscape of
// the folder where the run loaded the library, unless its own folder has one.
constexpr const char* kFirstFolderVariable = "SIMRFC_FIRST_FOLDER";

bool SetFirstFolder() noexcept {
  const char* variable = std::getenv(kFirstFolderVariable);
  if (variable != nullptr && *variable != '\0') return false;  // a process of the run
  try {
    const std::optional<std::string> folder = simrfc::CurrentFolder();
    if (!folder) return false;
    simrfc::SetInheritedVariable(kFirstFolderVariable, *folder);
  } catch (const std::exception&) {  // out of memory: processes started later work as before
    return false;
  }
  return true;
}

// name in folder; a folder that ends in a separator (a root) gets no second one.
std::string InFolder(const std::string& folder, const char* name) {
  const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return folder + (separated ? "" : "/") + name;
}

[[maybe_unused]] const bool kFirstFolderSet = SetFirstFolder();

const simrfc::LandscapeResult& Landscape() {
  State& state = TheState();
  if (!state.loaded) {
    state.loaded = true;
    const char* variable = std::getenv("SIMRFC_LANDSCAPE");
    const std::string path =
        variable != nullptr && *variable != '\0' ? variable : kDefaultLandscape;
    std::optional<std::string> text = ReadFile(path);
    const char* firstFolder = std::getenv(kFirstFolderVariable);
    if (!text && path == kDefaultLandscape && firstFolder != nullptr && *firstFolder != '\0') {
      text = ReadFile(InFolder(firstFolder, kDefaultLandscape));
    }
    // Without a landscape file no system answers.
    if (text) state.landscape = simrfc::ParseLandscape(*text, path);
  }
  return state.landscape;
}

void Delay(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// The "T:" number of a trace line: one per process, as the thread number is.
unsigned TraceThreadNumber() {
  static const unsigned number = static_cast<unsigned>(
      std::chrono::steady_clock::now().time_since_epoch().count() % 9000 + 1000);
  return number;
}

// The trace block of the failure; its first line carries the time.
std::string TraceBlock(const Failure& failure) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  if (const std::tm* converted = std::gmtime(&now)) utc = *converted;
  char stamp[32] = "";
  char when[64] = "";
  char thread[16] = "";
  (void)std::strftime(stamp, sizeof stamp, "%Y%m%d %H%M%S", &utc);
  (void)std::strftime(when, sizeof when, "%a %b %d %H:%M:%S %Y", &utc);
  (void)std::snprintf(thread, sizeof thread, "T:%04u", TraceThreadNumber());  // always fits
  // The whole block first: it goes to the file in one write.
  std::string block = std::string("**** ERROR file opened at ") + stamp +
                      " UTC, SAP-REL 700,0,0 RFC-VER 3 simrfc\n" + thread + " ======> " +
                      OneLine(failure.texts.message) + "\n";
  if (!failure.partner.empty()) {
    block += "LOCATION    CPIC (TCP/IP) on local host\n";
    block += "ERROR       partner '" + OneLine(failure.partner) + "' not reached\n\n";
    block += std::string("TIME        ") + when + "\n";
  }
  block += '\n';
  return block;
}

// Records a failure as the last error and in the trace. The texts of the
// system's "error" line replace the defaults.
void Report(const System* system, Failure failure) {
  if (system != nullptr && system->error) failure.texts = *system->error;
  State& state = TheState();
  state.last_error = failure.texts;
  state.last_group = failure.group;
  state.last_trace_lines.clear();
  if (system == nullptr || system->trace) {
    const std::string block = TraceBlock(failure);
    if (untracedCalls == 0) simrfc::AppendAtOnce(kTraceFile, block);
    std::string lines = block.substr(block.find('\n') + 1);
    lines.erase(lines.find_last_not_of('\n') + 1);
    state.last_trace_lines = lines;
  }
}

Failure ProgramError(std::string message) {
  return {{"RFC_ERROR_PROGRAM", "", std::move(message), ""}, "", kGroupProgram};
}

const Fault* FindFault(const System* system, FaultKind kind, std::string_view target,
                       std::string_view object = {}) {
  if (system == nullptr) return nullptr;
  for (const Fault& fault : system->faults) {
    if (fault.kind != kind) continue;
    if (kind != FaultKind::kUnreachable && !simrfc::EqualNoCase(fault.target, target)) continue;
    if (!fault.object.empty() && !simrfc::EqualNoCase(fault.object, object)) continue;
    return &fault;
  }
  return nullptr;
}

// The first fault among the systems whose faults apply to tables and
// structures: that of the most recent connection or, before any, all.
std::pair<const System*, const Fault*> AmbientFault(FaultKind kind, std::string_view target,
                                                    std::string_view object = {}) {
  State& state = TheState();
  if (state.recent != nullptr) return {state.recent, FindFault(state.recent, kind, target, object)};
  for (const System& system : Landscape().systems) {
    if (const Fault* fault = FindFault(&system, kind, target, object)) return {&system, fault};
  }
  return {nullptr, nullptr};
}

// An abort point of the system in this operation: reports it and calls the
// error handler. True when the handler came back: the operation then fails.
// Callers return at once, as the handler may have closed connections.
bool Aborted(const System* system, const char* operation) {
  if (FindFault(system, FaultKind::kAbort, operation) == nullptr) return false;
  Report(system, {{"RFC_ERROR_PROGRAM", "ABORTED",
                   std::string(operation) + " aborted: internal error in the RFC library", ""},
                  "",
                  kGroupProgram});
  if (RFC_ERROR_HANDLER handler = TheState().handler) {
    std::string text = operation;
    handler(text.data());
  }
  return true;
}

bool AmbientAborted(const char* operation) {
  return Aborted(AmbientFault(FaultKind::kAbort, operation).first, operation);
}

bool Refused(const char* operation, const std::string& object) {
  const auto [system, fault] = AmbientFault(FaultKind::kRefuse, operation, object);
  if (fault == nullptr) return false;
  Report(system, {{"RFC_ERROR_RESOURCE", "REFUSED",
                   std::string(operation) + (object.empty() ? "" : " " + object) + " refused", ""},
                  "",
                  kGroupSystem});
  return true;
}

// The default texts of a non-zero result of a call or receive.
Failure ResultFailure(const char* operation, const std::string& function, int code,
                      const std::string& exception, const std::string& partner) {
  switch (code) {
    case RFC_FAILURE:
      return {{"RFC_ERROR_COMMUNICATION", "CPIC-CALL: 'CMRCV'",
               "Connection to partner '" + partner + "' broken", ""},
              "",
              kGroupCommunication};
    case RFC_EXCEPTION:
      return {{exception.empty() ? "RFC_ERROR_APPLICATION_EXCEPTION" : exception, "",
               "Function module " + function + " raised exception " +
                   (exception.empty() ? "(unnamed)" : exception),
               ""},
              "",
              kGroupSystem};
    case RFC_SYS_EXCEPTION:
      return {{"RFC_ERROR_SYSTEM_FAILURE", exception,
               "System failure in function module " + function +
                   (exception.empty() ? "" : ": " + exception),
               ""},
              "",
              kGroupSystem};
    default:
      return ProgramError(std::string(operation) + " of " + function + " ended with code " +
                          std::to_string(code));
  }
}

Connection* FindConnection(RFC_HANDLE handle) {
  State& state = TheState();
  const auto found = state.connections.find(handle);
  return found == state.connections.end() ? nullptr : &found->second;
}

Table* FindTable(const void* handle) {
  State& state = TheState();
  const auto found = state.tables.find(handle);
  return found == state.tables.end() ? nullptr : found->second.get();
}

void AppendLine(Table& table, std::string_view text) {
  auto line = std::make_unique<char[]>(table.line_length);
  const std::string padded = simrfc::PadOrCut(text, table.line_length);
  std::memcpy(line.get(), padded.data(), padded.size());
  table.lines.push_back(std::move(line));
}

// ---- logon

struct LogonRequest {
  const char* operation = "RfcOpen";
  bool r2 = false;
  bool balanced = false;  // through a message server
  std::string mshost;
  std::string msserv;
  std::string sysid;
  std::string group;
  std::string host;
  int sysnr = 0;
  std::string gwhost;
  std::string gwserv;
  std::string client;
  std::string user;
  std::string password;
  // The password's length as the caller's face counts characters: bytes of
  // the classic face's 8-bit text, UTF-16 units of the NetWeaver face's.
  std::size_t password_characters = 0;
  std::string route;  // the SAProuter string of the logon; empty: none
  bool snc = false;
  std::string snc_partnername;
  std::string snc_myname;  // the caller's own SNC name as the logon names it; empty: none
  bool snc_sso = true;     // with SNC on and no user: log on as the caller's SNC name
};

// A host given with a route string, "/H/router/S/3299/H/host": the route up
// to and with the last "/H/" is taken off the host and returned.
std::string TakeRoute(std::string& host) {
  if (host.rfind("/H/", 0) != 0) return {};
  const std::size_t last = host.rfind("/H/");
  std::string route = last == 0 ? std::string() : host.substr(0, last + 3);
  host.erase(0, last + 3);
  return route;
}

std::string Partner(const LogonRequest& request) {
  if (request.balanced) {
    return request.mshost + ":" +
           (request.msserv.empty() ? "sapms" + request.sysid : request.msserv);
  }
  if (request.r2) return request.gwhost + ":" + request.gwserv;
  char number[16];
  (void)std::snprintf(number, sizeof number, "%02d", request.sysnr);  // always fits
  return request.host + ":sapgw" + number;
}

const System* MatchSystem(const std::vector<System>& systems, const LogonRequest& request) {
  const auto group = [](const std::string& name) { return name.empty() ? "PUBLIC" : name; };
  for (const System& system : systems) {
    if (request.balanced) {
      if (!system.mshost.empty() && simrfc::EqualNoCase(system.mshost, request.mshost) &&
          simrfc::EqualNoCase(system.sid, request.sysid) &&
          (system.msserv.empty() || simrfc::EqualNoCase(system.msserv, request.msserv)) &&
          simrfc::EqualNoCase(group(system.group), group(request.group))) {
        return &system;
      }
      continue;
    }
    const bool match =
        request.r2 ? !system.gwhost.empty() && simrfc::EqualNoCase(system.gwhost, request.gwhost) &&
                         simrfc::EqualNoCase(system.gwserv, request.gwserv)
                   : !system.host.empty() && simrfc::EqualNoCase(system.host, request.host) &&
                         system.sysnr == request.sysnr;
    if (match) return &system;
  }
  return nullptr;
}

Failure NotReached(const std::string& partner) {
  return {{"RFC_ERROR_COMMUNICATION", "CPIC-CALL: 'ThSAPOCMINIT'",
           "partner '" + partner + "' not reached", "CPIC (TCP/IP) on local host"},
          partner,
          kGroupCommunication};
}

Failure LogonFailure(std::string message) {
  return {{"RFC_ERROR_LOGON_FAILURE", "LOGON_FAILURE", std::move(message), ""}, "", kGroupLogon};
}

// The caller holds no SNC credentials: its SNC library has nothing to
// identify it with.
Failure NoSncCredentials() {
  return {{"RFC_ERROR_COMMUNICATION", "SNC", "GSS-API(maj): No credentials were supplied", ""},
          "",
          kGroupCommunication};
}

Failure SncFailure(const std::string& name) {
  return {
      {"RFC_ERROR_COMMUNICATION", "SNC", "SNC name '" + name + "' is not the partner's name", ""},
      "",
      kGroupCommunication};
}

// The caller's own SNC name: the one its logon names (SNC_MYNAME), else
// that of the SNC credentials its account holds, which the variable
// SIMRFC_SNC_MYNAME stands for; empty when it has none.
std::string OwnSncName(const LogonRequest& request) {
  if (!request.snc_myname.empty()) return request.snc_myname;
  const char* variable = std::getenv("SIMRFC_SNC_MYNAME");
  return variable != nullptr ? std::string(TrimBlanks(variable)) : std::string();
}

// A logon by SNC single sign-on: SNC on, and neither user nor password.
bool SingleSignOn(const LogonRequest& request) {
  return request.snc && request.snc_sso && request.user.empty() && request.password.empty();
}

// The logon's connection; 0 when it fails. user: the user it logged on as.
RFC_HANDLE CheckLogon(LogonRequest request, std::string& user) {
  State& state = TheState();
  const simrfc::LandscapeResult& landscape = Landscape();
  if (!landscape.Ok()) {
    Report(nullptr, ProgramError(landscape.error));
    return 0;
  }
  // A route given with the host counts where SAPROUTER names none.
  std::string& host = request.balanced ? request.mshost
                      : request.r2     ? request.gwhost
                                       : request.host;
  const std::string hostRoute = TakeRoute(host);
  if (request.route.empty()) request.route = hostRoute;
  const std::string partner = Partner(request);
  const System* system = MatchSystem(landscape.systems, request);
  if (system == nullptr) {
    Report(nullptr, NotReached(partner));
    return 0;
  }
  Delay(system->latency_ms);
  // The NetWeaver face's one logon has the abort points of both classic ones.
  const char* abortPoint = request.operation;
  if (std::string_view(abortPoint) == "RfcOpenConnection") {
    abortPoint =
        FindFault(system, FaultKind::kAbort, "RfcOpen") != nullptr ? "RfcOpen" : "RfcOpenEx";
  }
  if (Aborted(system, abortPoint)) return 0;
  if (FindFault(system, FaultKind::kUnreachable, "") != nullptr ||
      (!system->saprouter.empty() && !simrfc::EqualNoCase(request.route, system->saprouter))) {
    Report(system, NotReached(partner));
    return 0;
  }
  if (!system->snc_partnername.empty() &&
      !(request.snc && request.snc_partnername == system->snc_partnername)) {
    Report(system, request.snc ? SncFailure(request.snc_partnername)
                               : LogonFailure("SNC required for this connection"));
    return 0;
  }
  const bool singleSignOn = SingleSignOn(request);
  const std::string ownName = OwnSncName(request);
  if (singleSignOn && ownName.empty()) {
    Report(system, NoSncCredentials());
    return 0;
  }
  if (!system->client.empty() && request.client != system->client) {
    Report(system, LogonFailure("Client " + request.client + " is not available in this system"));
    return 0;
  }
  if (singleSignOn) {
    if (system->snc_myname.empty() || ownName != system->snc_myname) {
      Report(system, LogonFailure("SNC name '" + ownName + "' is not mapped to a user"));
      return 0;
    }
    user = system->user;
  } else if (request.user.empty() ||
             (!system->user.empty() && !simrfc::EqualNoCase(request.user, system->user)) ||
             (!system->password.empty() && request.password != system->password)) {
    // A logon without a user is checked as any other: no user has an empty name.
    Report(system, LogonFailure("Name or password is incorrect. Please re-enter"));
    return 0;
  } else {
    user = request.user;
  }
  const RFC_HANDLE handle = state.next_handle++;
  state.connections[handle] = Connection{system, partner, false, {}, nullptr};
  state.recent = system;
  return handle;
}

// The UTF-16 units of the NetWeaver face's text, which reaches the engine in
// UTF-8: one per character, two beyond U+FFFF (a lead byte of 0xF0 or more).
std::size_t Utf16Units(const std::string& utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

// What the logon was given and how it ended, as a line of the logon record
// (SIMRFC_LOGON_RECORD): never the password, only whether there was one.
std::string RecordLine(const LogonRequest& request, RFC_HANDLE handle) {
  std::string line = "client " + request.client + ", ";
  line += request.user.empty() ? std::string("no user") : "user " + request.user;
  line += request.password.empty()
              ? std::string(", no password")
              : ", password of " + std::to_string(request.password_characters) + " characters";
  if (request.snc) {
    const std::string own = OwnSncName(request);
    line += ", SNC on, partner '" + request.snc_partnername + "', own SNC name " +
            (own.empty() ? std::string("(none)") : "'" + own + "'");
    if (!request.snc_sso) line += ", single sign-on off";
  } else {
    line += ", SNC off";
  }
  return line + (handle != 0 ? " -> logged on" : " -> refused: " + TheState().last_error.message);
}

// Appends the line to the file SIMRFC_LOGON_RECORD names, a relative name
// in the first folder, so that the scan processes of a parallel run write
// where the run does. Nothing without the variable.
void RecordLogon(const std::string& line) {
  const char* variable = std::getenv("SIMRFC_LOGON_RECORD");
  if (variable == nullptr || *variable == '\0') return;
  // "/x", "\x" and "C:\x" name their folder themselves.
  const std::string_view name = variable;
  const bool absolute = name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':');
  try {
    const char* firstFolder = std::getenv(kFirstFolderVariable);
    const std::string path = !absolute && firstFolder != nullptr && *firstFolder != '\0'
                                 ? InFolder(firstFolder, variable)
                                 : std::string(variable);
    simrfc::AppendAtOnce(path.c_str(), line + "\n");
  } catch (const std::exception&) {  // a record that cannot be written changes no logon
  }
}

RFC_HANDLE Logon(const LogonRequest& request) {
  std::string user;
  const RFC_HANDLE handle = CheckLogon(request, user);
  RecordLogon(RecordLine(request, handle) + (handle != 0 ? " as " + Upper(user) : ""));
  return handle;
}

// "KEY=value" entries of the destination in the SapRfc.ini file, keys in
// upper case; nothing when the file or the destination is missing.
std::optional<std::map<std::string, std::string>> Destination(const std::string& path,
                                                              const std::string& name) {
  const std::optional<std::string> text = ReadFile(path);
  if (!text) return std::nullopt;
  std::optional<std::map<std::string, std::string>> found;
  bool inside = false;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == '*' || line.front() == '#' || line.front() == ';' ||
        equals == std::string_view::npos) {
      continue;
    }
    const std::string key = Upper(TrimBlanks(line.substr(0, equals)));
    const std::string value(TrimBlanks(line.substr(equals + 1)));
    if (key == "DEST") {
      if (found) break;  // the wanted destination has ended
      inside = simrfc::EqualNoCase(value, name);
      if (inside) found.emplace();
    }
    if (inside) (*found)[key] = value;
  }
  return found;
}

// A system number text as a number; -1 (matches no system) when it is none.
int SystemNumber(const std::string& text) {
  if (text.empty() || text.size() > 2) return text.empty() ? 0 : -1;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

void CopyText(char* target, std::size_t size, const std::string& text) {
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(target, text.data(), length);
  target[length] = '\0';
}

// ---- remote function modules

void WriteText(const RFC_PARAMETER& parameter, std::string_view text) {
  if (parameter.addr == nullptr || parameter.leng == 0) return;
  const std::string value = simrfc::PadOrCut(text, parameter.leng);
  std::memcpy(parameter.addr, value.data(), value.size());
}

void WriteNumber(const RFC_PARAMETER& parameter, std::int32_t number) {
  if (parameter.type != TYPINT) {
    WriteText(parameter, std::to_string(number));
    return;
  }
  if (parameter.addr != nullptr && parameter.leng >= sizeof number) {
    std::memcpy(parameter.addr, &number, sizeof number);
  }
}

// RFCSI by the layout installed for the parameter's type, or by the standard
// layout when the type is no installed structure.
void WriteRfcsi(const System& system, const RFC_PARAMETER& parameter) {
  State& state = TheState();
  std::string image;
  const auto structure = state.structures.find(parameter.type);
  if (structure != state.structures.end()) {
    image.assign(structure->second.length, ' ');
    for (const Element& element : structure->second.elements) {
      const std::string value = simrfc::FindRfcsiField(element.name) != nullptr
                                    ? RfcsiValue(system, element.name)
                                    : std::string();
      image.replace(element.offset, element.length, simrfc::PadOrCut(value, element.length));
    }
  } else {
    for (const simrfc::RfcsiField& field : simrfc::kRfcsiFields) {
      image += simrfc::PadOrCut(RfcsiValue(system, field.name), field.length);
    }
  }
  WriteText(parameter, image);
}

void AnswerSystemInfo(const System& system, RFC_PARAMETER* importing) {
  for (RFC_PARAMETER* parameter = importing; parameter != nullptr && parameter->name != nullptr;
       ++parameter) {
    const std::string name = Upper(ParameterName(parameter->name, parameter->nlen));
    if (name == "CURRENT_RESOURCES") WriteNumber(*parameter, kCurrentResources);
    if (name == "MAXIMAL_RESOURCES") WriteNumber(*parameter, kMaximalResources);
    if (name == "RECOMMENDED_DELAY") WriteNumber(*parameter, kRecommendedDelay);
    if (name == "DIALOG_USER_TYPE") WriteText(*parameter, kDialogUserType);
    if (name == "RFC_LOGIN_COMPLETE") WriteText(*parameter, kLoginComplete);
    if (name == "RFCSI_EXPORT") WriteRfcsi(system, *parameter);
  }
}

RFC_RC AnswerLogStatistics(const System& system, RFC_TABLE* tables) {
  for (RFC_TABLE* table = tables; table != nullptr && table->name != nullptr; ++table) {
    const std::string name = Upper(ParameterName(table->name, table->nlen));
    const std::vector<simrfc::LogRow>* rows = name == "SHOWSTATLOG"   ? &system.statlog
                                              : name == "SHOWMONILOG" ? &system.monilog
                                                                      : nullptr;
    if (rows == nullptr) continue;
    Table* target = FindTable(table->ithandle);
    if (target == nullptr) {
      Report(&system, ProgramError("RfcReceive: table " + name + " has no valid table handle"));
      return RFC_FAILURE;
    }
    // Laid out by the caller's description of the rows, as the library does.
    std::size_t labelWidth = simrfc::kLabelWidth, valueWidth = simrfc::kValueWidth;
    const auto structure = TheState().structures.find(table->type);
    if (structure != TheState().structures.end() && structure->second.elements.size() >= 2) {
      labelWidth = structure->second.elements[0].length;
      valueWidth = structure->second.elements[1].length;
    }
    for (const simrfc::LogRow& row : *rows) {
      AppendLine(*target,
                 simrfc::PadOrCut(row.label, labelWidth) + simrfc::PadOrCut(row.value, valueWidth));
    }
  }
  return RFC_OK;
}

}  // namespace

void SimRfcReset() {
  TheState() = State{};
  SimRfcForgetNetWeaverFace();
}

simrfc::LastFailure SimRfcLastFailure() {
  const State& state = TheState();
  return {state.last_error, state.last_group, state.last_trace_lines};
}

simrfc::UntracedCalls::UntracedCalls() { ++untracedCalls; }

simrfc::UntracedCalls::~UntracedCalls() { --untracedCalls; }

RFC_HANDLE SimRfcOpenConnection(const std::map<std::string, std::string>& parameters) {
  const auto given = [&parameters](const char* name) {
    const auto found = parameters.find(name);
    return found == parameters.end() ? std::string() : CallerText(found->second.c_str());
  };
  LogonRequest request;
  request.operation = "RfcOpenConnection";
  if (!given("mshost").empty()) {
    request.balanced = true;
    request.mshost = given("mshost");
    request.msserv = given("msserv");
    request.sysid = given("sysid");
    request.group = given("group");
  } else {
    request.host = given("ashost");
    request.sysnr = SystemNumber(given("sysnr"));
  }
  request.client = given("client");
  request.user = given("user");
  request.password = given("passwd");
  request.password_characters = Utf16Units(request.password);
  request.route = given("saprouter");
  request.snc = given("snc_mode") == "1";
  request.snc_partnername = given("snc_partnername");
  request.snc_myname = given("snc_myname");
  request.snc_sso = given("snc_sso") != "0";
  return Logon(request);
}

const simrfc::System* SimRfcConnectionSystem(RFC_HANDLE handle) {
  const Connection* connection = FindConnection(handle);
  return connection != nullptr ? connection->system : nullptr;
}

extern "C" {

void RFC_STDCALL RfcEnvironment(RFC_ENV* environment) {
  if (environment != nullptr) TheState().handler = environment->errorhandler;
}

RFC_HANDLE RFC_STDCALL RfcOpen(RFC_OPTIONS* options) {
  LogonRequest request;
  request.operation = "RfcOpen";
  if (options == nullptr || options->connopt == nullptr ||
      (options->mode != RFC_MODE_R3ONLY && options->mode != RFC_MODE_CPIC)) {
    Report(nullptr, ProgramError("RfcOpen: incomplete connection options"));
    return 0;
  }
  if (options->mode == RFC_MODE_CPIC) {
    const auto* gateway = static_cast<const RFC_CONNOPT_R2*>(options->connopt);
    request.r2 = true;
    request.gwhost = CallerText(gateway->gateway_host);
    request.gwserv = CallerText(gateway->gateway_service);
  } else {
    const auto* server = static_cast<const RFC_CONNOPT_R3*>(options->connopt);
    request.host = CallerText(server->hostname);
    request.sysnr = server->sysnr;
  }
  request.client = CallerText(options->client);
  request.user = CallerText(options->user);
  request.password = CallerText(options->password);
  request.password_characters = request.password.size();
  return Logon(request);
}

RFC_HANDLE RFC_STDCALL RfcOpenEx(const char* connect_string, RFC_ERROR_INFO_EX* error) {
  std::map<std::string, std::string> given;
  std::string_view rest = connect_string != nullptr ? connect_string : "";
  while (!(rest = TrimBlanks(rest)).empty()) {
    const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
    const std::string_view token = rest.substr(0, end);
    rest.remove_prefix(end);
    const std::size_t equals = token.find('=');
    if (equals != std::string_view::npos) {
      given[Upper(token.substr(0, equals))] = std::string(token.substr(equals + 1));
    }
  }

  LogonRequest request;
  request.operation = "RfcOpenEx";
  request.client = given["CLIENT"];
  request.user = given["USER"];
  request.password = given["PASSWD"];
  request.password_characters = request.password.size();
  std::map<std::string, std::string> server = given;
  RFC_HANDLE handle = 0;
  bool known = true;
  if (!given["DEST"].empty()) {
    const char* variable = std::getenv("RFC_INI");
    const std::string path =
        variable != nullptr && *variable != '\0' ? variable : kDefaultDestinations;
    if (auto destination = Destination(path, given["DEST"])) {
      server = *destination;
    } else {
      known = false;
      Report(nullptr, ProgramError("Destination " + given["DEST"] + " not found in " + path));
    }
  }
  if (known) {
    request.route = server["SAPROUTER"];
    request.snc = server["SNC_MODE"] == "1";
    request.snc_partnername = server["SNC_PARTNERNAME"];
    request.snc_myname = server["SNC_MYNAME"];
    if (!server["ASHOST"].empty()) {
      request.host = server["ASHOST"];
      request.sysnr = SystemNumber(server["SYSNR"]);
      handle = Logon(request);
    } else if (!server["MSHOST"].empty()) {
      request.balanced = true;
      request.mshost = server["MSHOST"];
      request.msserv = server["MSSERV"];
      request.sysid = server["R3NAME"];
      request.group = server["GROUP"];
      handle = Logon(request);
    } else if (!server["GWHOST"].empty()) {
      request.r2 = true;
      request.gwhost = server["GWHOST"];
      request.gwserv = server["GWSERV"];
      handle = Logon(request);
    } else {
      Report(nullptr,
             ProgramError("RfcOpenEx: no DEST, ASHOST, MSHOST or GWHOST in the connect string"));
    }
  }
  if (error != nullptr) {
    const State& state = TheState();
    error->group = handle != 0 ? kGroupNone : state.last_group;
    CopyText(error->key, sizeof error->key, handle != 0 ? "" : state.last_error.key);
    CopyText(error->message, sizeof error->message, handle != 0 ? "" : state.last_error.message);
  }
  return handle;
}

int RFC_STDCALL RfcInstallStructure(const char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                                    RFC_TYPEHANDLE* type_handle) {
  const std::string structure_name = name != nullptr ? name : "";
  if (AmbientAborted("RfcInstallStructure")) return 1;
  if (Refused("RfcInstallStructure", structure_name)) return 1;
  if (structure_name.empty() || elements == nullptr || entries == 0 || type_handle == nullptr) {
    Report(nullptr, ProgramError("RfcInstallStructure: incomplete structure description"));
    return 1;
  }
  Structure structure;
  structure.name = structure_name;
  // The caller leaves the offsets 0: the fields lie back to back.
  for (unsigned i = 0; i < entries; ++i) {
    const RFC_TYPE_ELEMENT& element = elements[i];
    structure.elements.push_back(
        {Upper(element.name != nullptr ? element.name : ""), element.length, structure.length});
    structure.length += element.length;
  }
  State& state = TheState();
  const RFC_TYPEHANDLE handle = state.next_type++;
  state.structures[handle] = std::move(structure);
  *type_handle = handle;
  return 0;
}

RFC_RC RFC_STDCALL RfcCall(RFC_HANDLE handle, const char* function, RFC_PARAMETER* /*exporting*/,
                           RFC_TABLE* tables) {
  const std::string name = function != nullptr ? function : "";
  Connection* connection = FindConnection(handle);
  if (connection == nullptr) {
    Report(nullptr, ProgramError("RfcCall " + name + ": invalid connection handle " +
                                 std::to_string(handle)));
    return RFC_FAILURE;
  }
  const System* system = connection->system;
  connection->pending = false;
  if (Aborted(system, "RfcCall")) return RFC_FAILURE;
  if (const Fault* fault = FindFault(system, FaultKind::kCall, name)) {
    Report(system, ResultFailure("RfcCall", name, fault->code, "", connection->partner));
    return fault->code;
  }
  connection->pending = true;
  connection->function = name;
  connection->tables = tables;
  return RFC_OK;
}

RFC_RC RFC_STDCALL RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                              char** exception) {
  State& state = TheState();
  if (exception != nullptr) *exception = nullptr;
  Connection* connection = FindConnection(handle);
  if (connection == nullptr) {
    Report(nullptr,
           ProgramError("RfcReceive: invalid connection handle " + std::to_string(handle)));
    return RFC_FAILURE;
  }
  const System* system = connection->system;
  if (!connection->pending) {
    Report(system, ProgramError("RfcReceive: no call is pending"));
    return RFC_FAILURE;
  }
  connection->pending = false;
  const std::string function = connection->function;
  const std::string partner = connection->partner;
  if (tables == nullptr) tables = connection->tables;
  if (Aborted(system, "RfcReceive")) return RFC_FAILURE;
  Delay(system->latency_ms);

  auto raise = [&](const std::string& name) {
    state.exception = name;
    if (exception != nullptr) *exception = state.exception.data();
  };
  if (const Fault* fault = FindFault(system, FaultKind::kReceive, function)) {
    Report(system, ResultFailure("RfcReceive", function, fault->code, fault->exception, partner));
    if (fault->code == RFC_EXCEPTION || fault->code == RFC_SYS_EXCEPTION) raise(fault->exception);
    return fault->code;
  }
  const std::string upper = Upper(function);
  if (upper == "RFC_SYSTEM_INFO") {
    AnswerSystemInfo(*system, importing);
    return RFC_OK;
  }
  if (upper == "ADA_LOG_STATISTICS") return AnswerLogStatistics(*system, tables);
  // As an SAP system answers for a function module it does not have.
  Report(system, {{"FUNCTION_NOT_FOUND", "", "Function module \"" + function + "\" not found", ""},
                  "",
                  kGroupSystem});
  raise("FUNCTION_NOT_FOUND");
  return RFC_EXCEPTION;
}

int RFC_STDCALL RfcLastError(RFC_ERROR_INFO* error_info) {
  if (error_info == nullptr) return 1;
  const ErrorTexts& last = TheState().last_error;
  CopyText(error_info->key, sizeof error_info->key, last.key);
  CopyText(error_info->status, sizeof error_info->status, last.status);
  CopyText(error_info->message, sizeof error_info->message, last.message);
  CopyText(error_info->intstat, sizeof error_info->intstat, last.intstat);
  return 0;
}

void RFC_STDCALL RfcClose(RFC_HANDLE handle) {
  State& state = TheState();
  if (const auto open = state.connections.find(handle); open != state.connections.end()) {
    // A close that never ends, as with a partner that stops answering.
    if (FindFault(open->second.system, FaultKind::kHangClose, "") != nullptr) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
  }
  if (handle == 0) {
    state.connections.clear();
  } else {
    state.connections.erase(handle);
  }
}

ITAB_H RFC_STDCALL ItCreate(const char* name, unsigned line_length, unsigned /*occurs*/,
                            unsigned /*memsize*/) {
  const std::string table_name = name != nullptr ? name : "";
  if (AmbientAborted("ItCreate")) return nullptr;
  if (Refused("ItCreate", table_name)) return nullptr;
  if (line_length == 0) {
    Report(nullptr, ProgramError("ItCreate " + table_name + ": line length 0"));
    return nullptr;
  }
  auto table = std::make_unique<Table>();
  table->name = table_name;
  table->line_length = line_length;
  ITAB_H handle = table.get();
  TheState().tables.emplace(handle, std::move(table));
  return handle;
}

unsigned RFC_STDCALL ItFill(ITAB_H table) {
  const Table* found = FindTable(table);
  return found != nullptr ? static_cast<unsigned>(found->lines.size()) : 0;
}

void* RFC_STDCALL ItGetLine(ITAB_H table, unsigned line) {
  Table* found = FindTable(table);
  if (found == nullptr) return nullptr;
  const std::string name = found->name;
  if (AmbientAborted("ItGetLine")) return nullptr;
  if (Refused("ItGetLine", name)) return nullptr;
  if (line == 0 || line > found->lines.size()) return nullptr;
  return found->lines[line - 1].get();
}

int RFC_STDCALL ItDelete(ITAB_H table) {
  const Table* found = FindTable(table);
  if (found == nullptr) {
    Report(nullptr, ProgramError("ItDelete: invalid table handle"));
    return 1;
  }
  const std::string name = found->name;
  if (AmbientAborted("ItDelete")) return 1;
  if (Refused("ItDelete", name)) return 1;
  TheState().tables.erase(table);
  return 0;
}

}  // extern "C"

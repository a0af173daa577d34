// The simulated RFC library through the API header, as the sensor uses it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "landscape.h"
#include "rfc/rfc_library.h"
#include "simrfc_control.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTrace = "Dev_Rfc.Trc";

// Two systems: PRD (R/3) and OLD (R/2), as the tests below log on to them.
constexpr const char* kLandscape = R"(; test landscape
[system PRD]
host = sapprd
sysnr = 00
client = 100
user = MONITOR
password = secret
mshost = sapmsprd
group = SPACE
rfcsi.RFCHOST = sapprd-with-long-name
rfcsi.RFCKERNRL = 721
statlog = LOG PAGES|1250000
statlog = USED     LOG PAGES (%)|37
monilog = Log volume state|OK

[system OLD]
gwhost = r2gate
gwserv = sapgw10
client = 001
user = R2MON
password = pw2
)";

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

void ClearVariable(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

std::string PadTo(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

RFC_ERROR_INFO LastError() {
  RFC_ERROR_INFO info{};
  EXPECT_EQ(RfcLastError(&info), 0);
  return info;
}

struct Logon {
  bool r2 = false;
  std::string host;  // R/3
  int sysnr = 0;
  std::string gwhost;  // R/2
  std::string gwserv;
  std::string client;
  std::string user;
  std::string password;
  bool pad = true;  // user and password padded to 12 and 10, as the sensor does
};

RFC_HANDLE Open(const Logon& logon) {
  std::string host = logon.host, gwhost = logon.gwhost, gwserv = logon.gwserv;
  std::string client = logon.client, language = "D", destination = "TEST";
  std::string user = logon.pad ? PadTo(logon.user, 12) : logon.user;
  std::string password = logon.pad ? PadTo(logon.password, 10) : logon.password;
  auto text = [](std::string& s) { return s.empty() ? nullptr : s.data(); };
  RFC_CONNOPT_R3 server{text(host), logon.sysnr, nullptr, nullptr};
  RFC_CONNOPT_R2 gateway{text(gwhost), text(gwserv)};
  RFC_OPTIONS options{};
  options.destination = destination.data();
  options.mode = logon.r2 ? RFC_MODE_CPIC : RFC_MODE_R3ONLY;
  options.connopt = logon.r2 ? static_cast<void*>(&gateway) : static_cast<void*>(&server);
  options.client = text(client);
  options.user = text(user);
  options.password = text(password);
  options.language = language.data();
  return RfcOpen(&options);
}

// RfcOpenEx with the connect string: a logon when key is empty, else a
// failure with that key and message.
void ExpectOpenEx(const std::string& connect, const char* key, const char* message,
                  const char* comment) {
  const RFC_HANDLE handle = RfcOpenEx(connect.c_str(), nullptr);
  if (*key == '\0') {
    EXPECT_NE(handle, 0u) << comment << ": " << LastError().message;
    RfcClose(handle);
  } else {
    EXPECT_EQ(handle, 0u) << comment;
    EXPECT_STREQ(LastError().key, key) << comment;
    EXPECT_STREQ(LastError().message, message) << comment;
  }
}

RFC_HANDLE OpenPrd() { return Open({false, "sapprd", 0, "", "", "100", "MONITOR", "secret"}); }

RFC_TYPEHANDLE Install(const char* name, const std::vector<simrfc::RfcsiField>& fields) {
  std::vector<RFC_TYPE_ELEMENT> elements;
  for (const auto& field : fields) {
    elements.push_back({const_cast<char*>(field.name), TYPC, field.length, 0, 0});
  }
  RFC_TYPEHANDLE handle = 0;
  if (RfcInstallStructure(name, elements.data(), static_cast<unsigned>(elements.size()), &handle) !=
      0) {
    return 0;
  }
  return handle;
}

RFC_TYPEHANDLE InstallRfcsi() {
  return Install("RFCSI", {simrfc::kRfcsiFields.begin(), simrfc::kRfcsiFields.end()});
}

RFC_TYPEHANDLE InstallAdaShow() { return Install("ADA_SHOW", {{"R1", 40}, {"R2", 26}}); }

RFC_PARAMETER Parameter(const char* name, unsigned type, unsigned length, void* address) {
  return {const_cast<char*>(name), static_cast<unsigned>(std::strlen(name)), type, length, address};
}

// The answer of RFC_SYSTEM_INFO as the sensor asks for it.
struct SystemInfo {
  RFC_RC call = -1;
  RFC_RC receive = -1;
  std::string exception;
  std::int32_t current = -1, maximal = -1, delay = -1;
  char dialog_user_type = '?', login_complete = '?';
  std::string rfcsi;
};

SystemInfo QuerySystemInfo(RFC_HANDLE handle, RFC_TYPEHANDLE rfcsi_type) {
  SystemInfo info;
  RFC_PARAMETER none[1] = {};
  RFC_TABLE no_tables[1] = {};
  info.call = RfcCall(handle, "RFC_SYSTEM_INFO", none, no_tables);
  if (info.call != RFC_OK) return info;
  char rfcsi[200];
  std::memset(rfcsi, '#', sizeof rfcsi);
  RFC_PARAMETER importing[] = {
      Parameter("CURRENT_RESOURCES", TYPINT, 4, &info.current),
      Parameter("DIALOG_USER_TYPE", TYPC, 1, &info.dialog_user_type),
      Parameter("MAXIMAL_RESOURCES", TYPINT, 4, &info.maximal),
      Parameter("RECOMMENDED_DELAY", TYPINT, 4, &info.delay),
      Parameter("RFCSI_EXPORT", rfcsi_type, 200, rfcsi),
      Parameter("RFC_LOGIN_COMPLETE", TYPC, 1, &info.login_complete),
      {},
  };
  char* exception = nullptr;
  info.receive = RfcReceive(handle, importing, no_tables, &exception);
  if (exception != nullptr) info.exception = exception;
  info.rfcsi.assign(rfcsi, sizeof rfcsi);
  return info;
}

// The answer of ADA_LOG_STATISTICS: the lines of both tables.
struct Statistics {
  RFC_RC call = -1;
  RFC_RC receive = -1;
  std::string exception;
  std::vector<std::string> statlog, monilog;
};

std::vector<std::string> TableLines(ITAB_H table) {
  std::vector<std::string> lines;
  for (unsigned line = 1; line <= ItFill(table); ++line) {
    const void* address = ItGetLine(table, line);
    if (address == nullptr) break;
    lines.emplace_back(static_cast<const char*>(address), 66);
  }
  return lines;
}

// Calls and receives ADA_LOG_STATISTICS into the two tables.
Statistics QueryStatistics(RFC_HANDLE handle, ITAB_H monilog, ITAB_H statlog,
                           RFC_TYPEHANDLE ada_show) {
  Statistics result;
  RFC_PARAMETER none[1] = {};
  RFC_TABLE tables[3] = {};
  tables[0] = {const_cast<char*>("SHOWMONILOG"), 11, ada_show, 0, monilog, 0, 0};
  tables[1] = {const_cast<char*>("SHOWSTATLOG"), 11, ada_show, 0, statlog, 0, 0};
  result.call = RfcCall(handle, "ADA_LOG_STATISTICS", none, tables);
  if (result.call != RFC_OK) return result;
  char* exception = nullptr;
  result.receive = RfcReceive(handle, none, tables, &exception);
  if (exception != nullptr) result.exception = exception;
  return result;
}

// The same with tables of its own, and their lines.
Statistics QueryStatistics(RFC_HANDLE handle) {
  ITAB_H monilog = ItCreate("SHOWMONILOG", 66, 0, 0);
  ITAB_H statlog = ItCreate("SHOWSTATLOG", 66, 0, 0);
  Statistics result = QueryStatistics(handle, monilog, statlog, InstallAdaShow());
  result.statlog = TableLines(statlog);
  result.monilog = TableLines(monilog);
  ItDelete(monilog);
  ItDelete(statlog);
  return result;
}

// The error handler: records what it was called with and what it could see
// then, and ends the connections as the sensor's error report does.
struct HandlerCalls {
  std::vector<std::string> operations;
  std::string message_seen;
  bool trace_seen = false;
};
HandlerCalls handler_calls;

void RecordingHandler(char* operation) {
  handler_calls.operations.push_back(operation);
  RFC_ERROR_INFO info{};
  RfcLastError(&info);
  handler_calls.message_seen = info.message;
  handler_calls.trace_seen = fs::exists(kTrace);
  RfcClose(0);
}

void InstallHandler() {
  handler_calls = {};
  RFC_ENV environment{RecordingHandler, nullptr};
  RfcEnvironment(&environment);
}

// Each test runs in a fresh folder with a fresh library.
class SimRfcTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    folder_ = fs::temp_directory_path() /
              ("simrfc_" + std::string(info->name()) + "_" + std::to_string(random()));
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);
    ClearVariable("SIMRFC_LANDSCAPE");
    ClearVariable("SIMRFC_FIRST_FOLDER");
    ClearVariable("RFC_INI");
    ClearVariable("SIMRFC_SNC_MYNAME");
    ClearVariable("SIMRFC_LOGON_RECORD");
    SimRfcReset();
  }

  void TearDown() override {
    SimRfcReset();
    ClearVariable("SIMRFC_LANDSCAPE");
    ClearVariable("SIMRFC_FIRST_FOLDER");
    ClearVariable("RFC_INI");
    ClearVariable("SIMRFC_SNC_MYNAME");
    ClearVariable("SIMRFC_LOGON_RECORD");
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // The standard landscape plus extra lines for PRD.
  static void UseLandscape(const std::string& prd_lines = "") {
    std::string text = kLandscape;
    text.insert(text.find("statlog"), prd_lines);
    WriteFile("Landscape.ini", text);
  }

  static std::string Trace() { return ReadFile(kTrace).value_or(""); }

  fs::path folder_;
  fs::path previous_;
};

TEST_F(SimRfcTest, LogonMatchesHostSystemNumberAndCredentials) {
  UseLandscape();
  const struct {
    const char* comment;
    Logon logon;
    const char* key;  // empty: the logon succeeds
    const char* message;
  } cases[] = {
      {"R/3 exact", {false, "sapprd", 0, "", "", "100", "MONITOR", "secret"}, "", ""},
      {"host in other case, user in lower case",
       {false, "SAPPRD", 0, "", "", "100", "monitor", "secret"},
       "",
       ""},
      {"unpadded user and password",
       {false, "sapprd", 0, "", "", "100", "MONITOR", "secret", false},
       "",
       ""},
      {"wrong password (case matters)",
       {false, "sapprd", 0, "", "", "100", "MONITOR", "Secret"},
       "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect. Please re-enter"},
      {"wrong user",
       {false, "sapprd", 0, "", "", "100", "OTHER", "secret"},
       "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect. Please re-enter"},
      {"wrong client",
       {false, "sapprd", 0, "", "", "200", "MONITOR", "secret"},
       "RFC_ERROR_LOGON_FAILURE",
       "Client 200 is not available in this system"},
      {"other system number",
       {false, "sapprd", 1, "", "", "100", "MONITOR", "secret"},
       "RFC_ERROR_COMMUNICATION",
       "partner 'sapprd:sapgw01' not reached"},
      {"unknown host",
       {false, "saplost", 0, "", "", "100", "MONITOR", "secret"},
       "RFC_ERROR_COMMUNICATION",
       "partner 'saplost:sapgw00' not reached"},
      {"no host at all",
       {false, "", 0, "", "", "100", "MONITOR", "secret"},
       "RFC_ERROR_COMMUNICATION",
       "partner ':sapgw00' not reached"},
      {"R/2 gateway", {true, "", 0, "R2GATE", "sapgw10", "001", "r2mon", "pw2"}, "", ""},
      {"R/2 other gateway service",
       {true, "", 0, "r2gate", "sapgw11", "001", "R2MON", "pw2"},
       "RFC_ERROR_COMMUNICATION",
       "partner 'r2gate:sapgw11' not reached"},
      {"R/2 wrong password",
       {true, "", 0, "r2gate", "sapgw10", "001", "R2MON", "pw"},
       "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect. Please re-enter"},
      {"R/3 options do not reach an R/2 system",
       {false, "r2gate", 0, "", "", "001", "R2MON", "pw2"},
       "RFC_ERROR_COMMUNICATION",
       "partner 'r2gate:sapgw00' not reached"},
  };
  for (const auto& c : cases) {
    const RFC_HANDLE handle = Open(c.logon);
    const RFC_ERROR_INFO error = LastError();
    if (*c.key == '\0') {
      EXPECT_NE(handle, 0u) << c.comment << ": " << error.message;
      RfcClose(handle);
    } else {
      EXPECT_EQ(handle, 0u) << c.comment;
      EXPECT_STREQ(error.key, c.key) << c.comment;
      EXPECT_STREQ(error.message, c.message) << c.comment;
    }
  }
}

TEST_F(SimRfcTest, OpenExResolvesDestinationsOfTheRfcIniFile) {
  UseLandscape();
  WriteFile("destinations.ini",
            "* destinations of the test\n"
            "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\nGWHOST=sapprd\nGWSERV=sapgw00\n\n"
            "DEST=OLD\nGWHOST=r2gate\nGWSERV=sapgw10\n"
            "DEST=LOST\r\nTYPE=A\r\nASHOST=saplost\r\nSYSNR=05\r\n"
            "DEST=BAL\nTYPE=B\nMSHOST=SAPMSPRD\nR3NAME=PRD\nGROUP=SPACE\n"
            "DEST=PUB\nTYPE=B\nMSHOST=sapmsprd\nR3NAME=PRD\n");
  SetVariable("RFC_INI", (folder_ / "destinations.ini").string());
  const struct {
    const char* comment;
    const char* connect;
    const char* key;  // empty: the logon succeeds
  } cases[] = {
      {"application server", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD", ""},
      {"destination in other case", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=prd", ""},
      {"gateway only: R/2", "CLIENT=001 USER=R2MON PASSWD=pw2 LANG=D DEST=OLD", ""},
      {"message server and logon group", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=BAL",
       ""},
      {"a logon group the system lacks (PUBLIC)",
       "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PUB", "RFC_ERROR_COMMUNICATION"},
      {"wrong password", "CLIENT=100 USER=MONITOR PASSWD=wrong LANG=D DEST=PRD",
       "RFC_ERROR_LOGON_FAILURE"},
      {"destination without a system", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=LOST",
       "RFC_ERROR_COMMUNICATION"},
      {"unknown destination", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=NONE",
       "RFC_ERROR_PROGRAM"},
      {"no destination at all", "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D",
       "RFC_ERROR_PROGRAM"},
  };
  for (const auto& c : cases) {
    RFC_ERROR_INFO_EX error{};
    const RFC_HANDLE handle = RfcOpenEx(c.connect, &error);
    if (*c.key == '\0') {
      EXPECT_NE(handle, 0u) << c.comment << ": " << LastError().message;
      EXPECT_STREQ(error.key, "") << c.comment;
      RfcClose(handle);
    } else {
      EXPECT_EQ(handle, 0u) << c.comment;
      EXPECT_STREQ(error.key, c.key) << c.comment;
      EXPECT_STREQ(LastError().key, c.key) << c.comment;
      EXPECT_NE(error.group, 0) << c.comment;
    }
  }
  EXPECT_NE(std::string(LastError().message).find("DEST, ASHOST, MSHOST or GWHOST"),
            std::string::npos);
}

// A system reached only through a SAProuter and only over SNC: the route
// from SAPROUTER or ahead of the host, the SNC name from the destination's
// entries, which the classic library reads whole.
TEST_F(SimRfcTest, RouteAndSncWhereTheSystemAsksForThem) {
  UseLandscape();
  std::ofstream("Landscape.ini", std::ios::app)
      << "[system SEC]\nhost = sapsec\nsysnr = 05\nsaprouter = /H/gate/S/3299/H/\n"
      << "snc_partnername = p:CN=SEC, O=Example\n";
  WriteFile("destinations.ini",
            "DEST=ROUTED\nASHOST=sapsec\nSYSNR=05\nSAPROUTER=/H/GATE/S/3299/H/\n"
            "SNC_MODE=1\nSNC_PARTNERNAME=p:CN=SEC, O=Example\n"
            "DEST=INHOST\nASHOST=/H/gate/S/3299/H/sapsec\nSYSNR=05\n"
            "SNC_MODE=1\nSNC_PARTNERNAME=p:CN=SEC, O=Example\n"
            "DEST=DIRECT\nASHOST=sapsec\nSYSNR=05\nSNC_MODE=1\n"
            "SNC_PARTNERNAME=p:CN=SEC, O=Example\n"
            "DEST=NOSNC\nASHOST=sapsec\nSYSNR=05\nSAPROUTER=/H/gate/S/3299/H/\n"
            "DEST=OTHERSNC\nASHOST=sapsec\nSYSNR=05\nSAPROUTER=/H/gate/S/3299/H/\n"
            "SNC_MODE=1\nSNC_PARTNERNAME=p:CN=QAS\n"
            "DEST=SNCOFF\nASHOST=sapsec\nSYSNR=05\nSAPROUTER=/H/gate/S/3299/H/\n"
            "SNC_MODE=0\nSNC_PARTNERNAME=p:CN=SEC, O=Example\n"
            "DEST=PRD\nASHOST=/H/gate/H/sapprd\nSYSNR=00\n");
  SetVariable("RFC_INI", (folder_ / "destinations.ini").string());
  const struct {
    const char* comment;
    const char* destination;
    const char* key;  // empty: the logon succeeds
    const char* message;
  } cases[] = {
      {"SAPROUTER (in any case) and SNC", "ROUTED", "", ""},
      {"the route ahead of the host", "INHOST", "", ""},
      {"no route: the host is not reached", "DIRECT", "RFC_ERROR_COMMUNICATION",
       "partner 'sapsec:sapgw05' not reached"},
      {"no SNC", "NOSNC", "RFC_ERROR_LOGON_FAILURE", "SNC required for this connection"},
      {"SNC off", "SNCOFF", "RFC_ERROR_LOGON_FAILURE", "SNC required for this connection"},
      {"another SNC name", "OTHERSNC", "RFC_ERROR_COMMUNICATION",
       "SNC name 'p:CN=QAS' is not the partner's name"},
      {"a route to a system that needs none", "PRD", "", ""},
  };
  for (const auto& c : cases) {
    ExpectOpenEx(std::string("CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=") + c.destination,
                 c.key, c.message, c.comment);
  }
  // The profile way has no SNC.
  EXPECT_EQ(Open({false, "/H/gate/S/3299/H/sapsec", 5, "", "", "100", "MONITOR", "secret"}), 0u);
  EXPECT_STREQ(LastError().message, "SNC required for this connection");
}

// SNC single sign-on: no user and no password, and the system maps the
// caller's own SNC name to its user. A real system knows no user of an empty
// name: without SNC such a logon fails as a wrong password does.
TEST_F(SimRfcTest, SingleSignOnMapsTheCallersSncNameToTheUser) {
  UseLandscape();
  std::ofstream("Landscape.ini", std::ios::app)
      << "[system SEC]\nhost = sapsec\nsysnr = 05\nclient = 100\nuser = MONITOR\n"
      << "password = secret\nsnc_partnername = p:CN=SEC, O=Example\n"
      << "snc_myname = p:CN=PROBE, O=Example\n"
      << "[system ANY]\nhost = sapany\nsysnr = 06\n";
  WriteFile("destinations.ini",
            "DEST=SSO\nASHOST=sapsec\nSYSNR=05\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=SEC, O=Example\n"
            "DEST=MYNAME\nASHOST=sapsec\nSYSNR=05\nSNC_MODE=1\n"
            "SNC_PARTNERNAME=p:CN=SEC, O=Example\nSNC_MYNAME=p:CN=PROBE, O=Example\n"
            "DEST=OTHERME\nASHOST=sapsec\nSYSNR=05\nSNC_MODE=1\n"
            "SNC_PARTNERNAME=p:CN=SEC, O=Example\nSNC_MYNAME=p:CN=INTRUDER\n"
            "DEST=NOSNC\nASHOST=sapsec\nSYSNR=05\n"
            "DEST=PRDSNC\nASHOST=sapprd\nSYSNR=00\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD\n"
            "DEST=PRD\nASHOST=sapprd\nSYSNR=00\n"
            "DEST=ANY\nASHOST=sapany\nSYSNR=06\n");
  SetVariable("RFC_INI", (folder_ / "destinations.ini").string());
  const char* kNone = "";
  const char* kProbe = "p:CN=PROBE, O=Example";
  const struct {
    const char* comment;
    const char* credentials;  // between CLIENT= and LANG=
    const char* destination;
    const char* ownName;  // SIMRFC_SNC_MYNAME: the account's SNC credentials
    const char* key;      // empty: the logon succeeds
    const char* message;
  } cases[] = {
      {"the account's SNC name is mapped", "", "SSO", kProbe, "", ""},
      {"SNC_MYNAME names it", "", "MYNAME", kNone, "", ""},
      {"SNC_MYNAME before the account's", "", "OTHERME", kProbe, "RFC_ERROR_LOGON_FAILURE",
       "SNC name 'p:CN=INTRUDER' is not mapped to a user"},
      {"another SNC name", "", "SSO", "p:CN=INTRUDER", "RFC_ERROR_LOGON_FAILURE",
       "SNC name 'p:CN=INTRUDER' is not mapped to a user"},
      {"no SNC credentials at all", "", "SSO", kNone, "RFC_ERROR_COMMUNICATION",
       "GSS-API(maj): No credentials were supplied"},
      {"a system that maps no SNC name", "", "PRDSNC", kProbe, "RFC_ERROR_LOGON_FAILURE",
       "SNC name 'p:CN=PROBE, O=Example' is not mapped to a user"},
      {"no user without SNC, where the system asks for SNC", "", "NOSNC", kProbe,
       "RFC_ERROR_LOGON_FAILURE", "SNC required for this connection"},
      {"no user without SNC", "", "PRD", kProbe, "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect. Please re-enter"},
      {"no user, even where any user would do", "", "ANY", kProbe, "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect. Please re-enter"},
      {"a password without a user is no single sign-on", " PASSWD=secret", "SSO", kProbe,
       "RFC_ERROR_LOGON_FAILURE", "Name or password is incorrect. Please re-enter"},
      {"user and password over SNC, as ever", " USER=MONITOR PASSWD=secret", "SSO", kNone, "", ""},
      {"a wrong password over SNC", " USER=MONITOR PASSWD=wrong", "SSO", kProbe,
       "RFC_ERROR_LOGON_FAILURE", "Name or password is incorrect. Please re-enter"},
  };
  for (const auto& c : cases) {
    if (*c.ownName == '\0') {
      ClearVariable("SIMRFC_SNC_MYNAME");
    } else {
      SetVariable("SIMRFC_SNC_MYNAME", c.ownName);
    }
    ExpectOpenEx(std::string("CLIENT=100") + c.credentials + " LANG=D DEST=" + c.destination, c.key,
                 c.message, c.comment);
  }
  // The profile way has no SNC: without a user it fails.
  EXPECT_EQ(Open({false, "sapany", 6, "", "", "100", "", ""}), 0u);
  EXPECT_STREQ(LastError().message, "Name or password is incorrect. Please re-enter");
}

// The record of what each logon was given: in the first folder, whatever
// the current one, and never the password itself.
TEST_F(SimRfcTest, LogonRecordSaysWhatTheLibraryWasGiven) {
  UseLandscape("snc_partnername = p:CN=PRD\nsnc_myname = p:CN=PROBE\n");
  fs::create_directories("run");
  SetVariable("SIMRFC_FIRST_FOLDER", (folder_ / "run").string());
  SetVariable("SIMRFC_LOGON_RECORD", "logons.txt");
  WriteFile("SapRfc.ini",
            "DEST=PRD\nASHOST=sapprd\nSYSNR=00\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD\n"
            "SNC_MYNAME=p:CN=PROBE\n");
  const RFC_HANDLE sso = RfcOpenEx("CLIENT=100 LANG=D DEST=PRD", nullptr);
  EXPECT_NE(sso, 0u) << LastError().message;
  EXPECT_EQ(RfcOpenEx("CLIENT=100 USER=monitor PASSWD=TopSecret9 LANG=D DEST=PRD", nullptr), 0u);
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "secret"}), 0u);
  EXPECT_EQ(ReadFile("run/logons.txt").value_or(""),
            "client 100, no user, no password, SNC on, partner 'p:CN=PRD', own SNC name "
            "'p:CN=PROBE' -> logged on as MONITOR\n"
            "client 100, user monitor, password of 10 characters, SNC on, partner 'p:CN=PRD', own "
            "SNC name 'p:CN=PROBE' -> refused: Name or password is incorrect. Please re-enter\n"
            "client 100, user MONITOR, password of 6 characters, SNC off -> refused: SNC required "
            "for this connection\n");
  EXPECT_FALSE(fs::exists("logons.txt"));
}

TEST_F(SimRfcTest, OpenExReadsSapRfcIniOfTheCurrentFolder) {
  UseLandscape();
  const char* connect = "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD";
  // No file: the destination is unknown.
  EXPECT_EQ(RfcOpenEx(connect, nullptr), 0u);
  EXPECT_EQ(std::string(LastError().message), "Destination PRD not found in SapRfc.ini");

  WriteFile("SapRfc.ini", "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\n");
  const RFC_HANDLE handle = RfcOpenEx(connect, nullptr);
  EXPECT_NE(handle, 0u) << LastError().message;
}

TEST_F(SimRfcTest, LandscapeFileComesFromTheEnvironmentVariable) {
  fs::create_directories("conf");
  WriteFile("conf/systems.ini", "[system QAS]\nhost = sapqas\nsysnr = 01\n");
  WriteFile("Landscape.ini", "[system PRD]\nhost = sapprd\n");
  SetVariable("SIMRFC_LANDSCAPE", (folder_ / "conf" / "systems.ini").string());
  EXPECT_NE(Open({false, "sapqas", 1, "", "", "100", "ANY", "thing"}), 0u);
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "ANY", "thing"}), 0u);
}

TEST_F(SimRfcTest, ScanProcessInFolderOfItsOwnReadsTheFirstFoldersLandscape) {
  // As a scan process of a parallel run: working in a folder below, having
  // inherited the folder where the run loaded the library.
  WriteFile("Landscape.ini", "[system PRD]\nhost = sapprd\n");
  fs::create_directories("scan/1");
  WriteFile("scan/1/Landscape.ini", "[system QAS]\nhost = sapqas\nsysnr = 01\n");
  fs::create_directories("scan/2");
  SetVariable("SIMRFC_FIRST_FOLDER", folder_.string());
  const struct {
    const char* comment;
    const char* folder;
    bool prdAnswers;
  } cases[] = {
      {"no landscape of its own: the first folder's", "scan/2", true},
      {"its own landscape wins", "scan/1", false},
  };
  for (const auto& c : cases) {
    fs::current_path(folder_ / c.folder);
    SimRfcReset();
    EXPECT_EQ(OpenPrd() != 0u, c.prdAnswers) << c.comment;
  }
}

TEST_F(SimRfcTest, LandscapeIsReadOncePerProcessUntilReset) {
  // Without a landscape file no system answers.
  EXPECT_EQ(OpenPrd(), 0u);
  EXPECT_STREQ(LastError().message, "partner 'sapprd:sapgw00' not reached");
  UseLandscape();
  EXPECT_EQ(OpenPrd(), 0u);  // still the landscape of the first logon
  SimRfcReset();
  EXPECT_STREQ(LastError().message, "");
  EXPECT_NE(OpenPrd(), 0u);
}

TEST_F(SimRfcTest, MalformedLandscapeFailsEveryLogonNamingFileAndLine) {
  WriteFile("Landscape.ini", "[system PRD]\nhost = sapprd\nhots = typo\n");
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(OpenPrd(), 0u);
    EXPECT_STREQ(LastError().message, "Landscape.ini:3: unknown key 'hots'");
  }
  EXPECT_EQ(RfcOpenEx("CLIENT=100 USER=A PASSWD=B ASHOST=sapprd SYSNR=00", nullptr), 0u);
  EXPECT_EQ(Count(Trace(), "======> Landscape.ini:3: unknown key 'hots'"), 3u);
}

TEST_F(SimRfcTest, SystemInfoFillsTheInstalledRfcsiLayout) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  const RFC_TYPEHANDLE rfcsi = InstallRfcsi();
  ASSERT_NE(rfcsi, 0u);
  const SystemInfo info = QuerySystemInfo(handle, rfcsi);
  ASSERT_EQ(info.call, RFC_OK);
  ASSERT_EQ(info.receive, RFC_OK);
  EXPECT_EQ(info.current, 8);
  EXPECT_EQ(info.maximal, 10);
  EXPECT_EQ(info.delay, 0);
  EXPECT_EQ(info.dialog_user_type, 'B');
  EXPECT_EQ(info.login_complete, 'X');

  const struct {
    const char* field;
    const char* value;  // before padding to the field length
  } expected[] = {
      {"RFCPROTO", ""},
      {"RFCCHARTYP", "4103"},
      {"RFCINTTYP", ""},
      {"RFCFLOTYP", ""},
      {"RFCDEST", "sapprd_PRD_00"},
      {"RFCHOST", "sapprd-w"},  // cut
      {"RFCSYSID", "PRD"},
      {"RFCDATABS", ""},
      {"RFCDBHOST", ""},
      {"RFCDBSYS", "ADA"},
      {"RFCSAPRL", "700"},
      {"RFCMACH", ""},
      {"RFCOPSYS", "Linux"},
      {"RFCTZONE", ""},
      {"RFCDAYST", ""},
      {"RFCIPADDR", ""},
      {"RFCKERNRL", "721"},
      {"RFCSI_RESV", ""},
  };
  std::size_t offset = 0;
  for (std::size_t i = 0; i < simrfc::kRfcsiFields.size(); ++i) {
    const auto& field = simrfc::kRfcsiFields[i];
    ASSERT_STREQ(field.name, expected[i].field);
    EXPECT_EQ(info.rfcsi.substr(offset, field.length), PadTo(expected[i].value, field.length))
        << field.name;
    offset += field.length;
  }
  EXPECT_EQ(offset, 200u);
}

TEST_F(SimRfcTest, SystemInfoFollowsAnotherInstalledLayout) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  // Two fields in another order, plus one that RFCSI does not have.
  const RFC_TYPEHANDLE type = Install("MYSI", {{"RFCDBSYS", 4}, {"EXTRA", 3}, {"RFCSYSID", 5}});
  ASSERT_NE(type, 0u);
  const SystemInfo info = QuerySystemInfo(handle, type);
  ASSERT_EQ(info.receive, RFC_OK);
  EXPECT_EQ(info.rfcsi.substr(0, 12), "ADA    PRD  ");
  EXPECT_EQ(info.rfcsi.substr(12, 188), PadTo("", 188));  // leng 200: the rest blank
}

TEST_F(SimRfcTest, SystemInfoWritesNoMoreThanEachLength) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  const RFC_TYPEHANDLE rfcsi = InstallRfcsi();
  ASSERT_EQ(RfcCall(handle, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  char rfcsi_buffer[40];
  char flag[3] = {'#', '#', '#'};
  std::int16_t small_number = 7;  // a length too small for the integer
  std::memset(rfcsi_buffer, '#', sizeof rfcsi_buffer);
  RFC_PARAMETER importing[] = {
      Parameter("RFCSI_EXPORT", rfcsi, 30, rfcsi_buffer),
      Parameter("DIALOG_USER_TYPE", TYPC, 1, flag),
      Parameter("CURRENT_RESOURCES", TYPINT, 2, &small_number),
      Parameter("NOT_A_PARAMETER", TYPC, 2, flag + 1),
      {},
  };
  char* exception = nullptr;
  ASSERT_EQ(RfcReceive(handle, importing, nullptr, &exception), RFC_OK);
  EXPECT_EQ(std::string(rfcsi_buffer, 30), "   4103      sapprd_PRD_00    ");
  EXPECT_EQ(std::string(rfcsi_buffer + 30, 10), "##########");
  EXPECT_EQ(std::string(flag, 3), "B##");
  EXPECT_EQ(small_number, 7);
}

TEST_F(SimRfcTest, LogStatisticsFillsBothTablesInFileOrder) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  const Statistics statistics = QueryStatistics(handle);
  ASSERT_EQ(statistics.call, RFC_OK);
  ASSERT_EQ(statistics.receive, RFC_OK);
  const std::vector<std::string> statlog = {
      PadTo("LOG PAGES", 40) + PadTo("1250000", 26),
      PadTo("USED     LOG PAGES (%)", 40) + PadTo("37", 26),
  };
  EXPECT_EQ(statistics.statlog, statlog);
  const std::vector<std::string> monilog = {PadTo("Log volume state", 40) + PadTo("OK", 26)};
  EXPECT_EQ(statistics.monilog, monilog);
  EXPECT_FALSE(fs::exists(kTrace));
}

TEST_F(SimRfcTest, SystemWithoutRowsAnswersEmptyTables) {
  UseLandscape();
  const RFC_HANDLE handle = Open({true, "", 0, "r2gate", "sapgw10", "001", "R2MON", "pw2"});
  const Statistics statistics = QueryStatistics(handle);
  EXPECT_EQ(statistics.receive, RFC_OK);
  EXPECT_TRUE(statistics.statlog.empty());
  EXPECT_TRUE(statistics.monilog.empty());
}

TEST_F(SimRfcTest, InternalTables) {
  ITAB_H table = ItCreate("T", 5, 0, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(ItFill(table), 0u);
  EXPECT_EQ(ItGetLine(table, 0), nullptr);
  EXPECT_EQ(ItGetLine(table, 1), nullptr);
  EXPECT_EQ(ItDelete(table), 0);
  EXPECT_NE(ItDelete(table), 0);  // no longer a table
  EXPECT_EQ(ItFill(table), 0u);
  EXPECT_EQ(ItCreate("EMPTY", 0, 0, 0), nullptr);
}

TEST_F(SimRfcTest, UnknownFunctionModuleRaisesFunctionNotFound) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  RFC_PARAMETER none[1] = {};
  ASSERT_EQ(RfcCall(handle, "Z_NO_SUCH_MODULE", none, nullptr), RFC_OK);
  char* exception = nullptr;
  EXPECT_EQ(RfcReceive(handle, none, nullptr, &exception), RFC_EXCEPTION);
  ASSERT_NE(exception, nullptr);
  EXPECT_STREQ(exception, "FUNCTION_NOT_FOUND");
  EXPECT_STREQ(LastError().message, "Function module \"Z_NO_SUCH_MODULE\" not found");
  EXPECT_NE(Trace().find("======> Function module \"Z_NO_SUCH_MODULE\" not found"),
            std::string::npos);
}

TEST_F(SimRfcTest, CallsNeedAnOpenConnectionAndAPendingCall) {
  UseLandscape();
  const RFC_HANDLE first = OpenPrd();
  const RFC_HANDLE second = OpenPrd();
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, first);
  char* exception = nullptr;
  EXPECT_EQ(RfcReceive(first, nullptr, nullptr, &exception), RFC_FAILURE);  // nothing called
  RfcClose(first);
  EXPECT_EQ(RfcCall(first, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(RfcCall(second, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  RfcClose(0);  // the error report's way: every connection
  EXPECT_EQ(RfcCall(second, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_STREQ(LastError().key, "RFC_ERROR_PROGRAM");
}

TEST_F(SimRfcTest, CallAndReceiveFaults) {
  const struct {
    const char* fault;
    const char* function;
    RFC_RC call;
    RFC_RC receive;  // -1: not called
    const char* exception;
    const char* key;
  } cases[] = {
      {"call RFC_SYSTEM_INFO 1", "RFC_SYSTEM_INFO", 1, -1, "", "RFC_ERROR_COMMUNICATION"},
      {"call RFC_SYSTEM_INFO 99", "RFC_SYSTEM_INFO", 99, -1, "", "RFC_ERROR_PROGRAM"},
      {"receive RFC_SYSTEM_INFO 1", "RFC_SYSTEM_INFO", 0, 1, "", "RFC_ERROR_COMMUNICATION"},
      {"receive RFC_SYSTEM_INFO 2 NO_AUTHORITY", "RFC_SYSTEM_INFO", 0, 2, "NO_AUTHORITY",
       "NO_AUTHORITY"},
      {"receive ADA_LOG_STATISTICS 3 SYSTEM_FAILURE", "ADA_LOG_STATISTICS", 0, 3, "SYSTEM_FAILURE",
       "RFC_ERROR_SYSTEM_FAILURE"},
      // A fault of one function module leaves the others alone.
      {"call ADA_LOG_STATISTICS 1", "RFC_SYSTEM_INFO", 0, 0, "", ""},
  };
  for (const auto& c : cases) {
    SimRfcReset();
    fs::remove(kTrace);
    UseLandscape(std::string("fail = ") + c.fault + "\n");
    const RFC_HANDLE handle = OpenPrd();
    ASSERT_NE(handle, 0u) << c.fault;
    RFC_PARAMETER none[1] = {};
    EXPECT_EQ(RfcCall(handle, c.function, none, nullptr), c.call) << c.fault;
    if (c.receive >= 0) {
      char* exception = nullptr;
      EXPECT_EQ(RfcReceive(handle, none, nullptr, &exception), c.receive) << c.fault;
      EXPECT_STREQ(exception != nullptr ? exception : "", c.exception) << c.fault;
    }
    EXPECT_STREQ(LastError().key, c.key) << c.fault;
    // A trace exactly when something failed.
    EXPECT_EQ(fs::exists(kTrace), *c.key != '\0') << c.fault;
  }
}

TEST_F(SimRfcTest, UnreachableSystemFailsTheLogonAndTracesThePartner) {
  UseLandscape("fail = unreachable\n");
  EXPECT_EQ(OpenPrd(), 0u);
  EXPECT_STREQ(LastError().message, "partner 'sapprd:sapgw00' not reached");
  EXPECT_NE(Trace().find("ERROR       partner 'sapprd:sapgw00' not reached"), std::string::npos);
}

TEST_F(SimRfcTest, AbortCallsTheErrorHandlerFromInsideTheOperation) {
  const struct {
    const char* operation;
    std::function<bool()> fails;  // runs up to the operation; true when it failed
  } cases[] = {
      {"RfcOpen", [] { return OpenPrd() == 0; }},
      {"RfcOpenEx",
       [] {
         return RfcOpenEx("CLIENT=100 USER=MONITOR PASSWD=secret ASHOST=sapprd SYSNR=00",
                          nullptr) == 0;
       }},
      {"RfcCall", [] { return RfcCall(OpenPrd(), "RFC_SYSTEM_INFO", nullptr, nullptr) != RFC_OK; }},
      {"RfcReceive", [] { return QueryStatistics(OpenPrd()).receive != RFC_OK; }},
      {"RfcInstallStructure",
       [] {
         OpenPrd();
         return InstallRfcsi() == 0;
       }},
      {"ItCreate",
       [] {
         OpenPrd();
         return ItCreate("SHOWSTATLOG", 66, 0, 0) == nullptr;
       }},
      {"ItGetLine",
       [] {
         const RFC_HANDLE handle = OpenPrd();
         ITAB_H monilog = ItCreate("SHOWMONILOG", 66, 0, 0);
         ITAB_H statlog = ItCreate("SHOWSTATLOG", 66, 0, 0);
         QueryStatistics(handle, monilog, statlog, InstallAdaShow());
         return ItFill(statlog) == 2 && ItGetLine(statlog, 1) == nullptr;
       }},
      {"ItDelete",
       [] {
         OpenPrd();
         return ItDelete(ItCreate("SHOWSTATLOG", 66, 0, 0)) != 0;
       }},
  };
  for (const auto& c : cases) {
    SimRfcReset();
    fs::remove(kTrace);
    UseLandscape(std::string("fail = abort ") + c.operation + "\n");
    InstallHandler();
    EXPECT_TRUE(c.fails()) << c.operation;
    const std::vector<std::string> once = {c.operation};
    EXPECT_EQ(handler_calls.operations, once) << c.operation;
    // The handler sees the error and the trace: its report needs both.
    const std::string message = std::string(c.operation) + " aborted";
    EXPECT_EQ(handler_calls.message_seen.rfind(message, 0), 0u) << handler_calls.message_seen;
    EXPECT_TRUE(handler_calls.trace_seen) << c.operation;
  }
}

TEST_F(SimRfcTest, AbortWithoutHandlerFailsTheOperation) {
  UseLandscape("fail = abort RfcCall\n");
  EXPECT_EQ(RfcCall(OpenPrd(), "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_STREQ(LastError().message, "RfcCall aborted: internal error in the RFC library");
}

TEST_F(SimRfcTest, RefusedTableAndStructureOperations) {
  const struct {
    const char* fault;
    std::function<bool()> refused;     // true when the operation failed
    std::function<bool()> unaffected;  // the same operation on another object
  } cases[] = {
      {"refuse ItCreate SHOWMONILOG", [] { return ItCreate("SHOWMONILOG", 66, 0, 0) == nullptr; },
       [] { return ItCreate("SHOWSTATLOG", 66, 0, 0) == nullptr; }},
      {"refuse ItGetLine SHOWSTATLOG", [] { return QueryStatistics(OpenPrd()).statlog.empty(); },
       [] { return QueryStatistics(OpenPrd()).monilog.empty(); }},
      {"refuse ItDelete", [] { return ItDelete(ItCreate("SHOWSTATLOG", 66, 0, 0)) != 0; },
       [] { return false; }},  // no name: every table
      {"refuse RfcInstallStructure ADA_SHOW", [] { return InstallAdaShow() == 0; },
       [] { return InstallRfcsi() == 0; }},
  };
  for (const auto& c : cases) {
    SimRfcReset();
    UseLandscape(std::string("fail = ") + c.fault + "\n");
    ASSERT_NE(OpenPrd(), 0u);
    fs::remove(kTrace);
    EXPECT_TRUE(c.refused()) << c.fault;
    EXPECT_EQ(LastError().key, std::string("RFC_ERROR_RESOURCE")) << c.fault;
    EXPECT_EQ(Count(Trace(), "**** ERROR "), 1u) << c.fault;
    EXPECT_FALSE(c.unaffected()) << c.fault;
  }
}

TEST_F(SimRfcTest, RefuseFaultsFollowTheMostRecentConnection) {
  UseLandscape("fail = refuse RfcInstallStructure\n");
  // Before any logon the faults of every system apply.
  EXPECT_EQ(InstallRfcsi(), 0u);
  ASSERT_NE(Open({true, "", 0, "r2gate", "sapgw10", "001", "R2MON", "pw2"}), 0u);
  EXPECT_NE(InstallRfcsi(), 0u);
  ASSERT_NE(OpenPrd(), 0u);
  EXPECT_EQ(InstallRfcsi(), 0u);
}

TEST_F(SimRfcTest, ErrorLineReplacesTheTextsOfEveryFault) {
  UseLandscape(
      "error = MY_KEY|MY_STATUS|Database not available|MY_INTSTAT\n"
      "fail = call RFC_SYSTEM_INFO 1\n");
  EXPECT_EQ(RfcCall(OpenPrd(), "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  RFC_ERROR_INFO error = LastError();
  EXPECT_STREQ(error.key, "MY_KEY");
  EXPECT_STREQ(error.status, "MY_STATUS");
  EXPECT_STREQ(error.message, "Database not available");
  EXPECT_STREQ(error.intstat, "MY_INTSTAT");
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "wrong"}), 0u);
  EXPECT_STREQ(LastError().key, "MY_KEY");
  EXPECT_EQ(Count(Trace(), "======> Database not available\n"), 2u);
}

TEST_F(SimRfcTest, TraceIsWrittenOnlyOnFailure) {
  UseLandscape();
  const RFC_HANDLE handle = OpenPrd();
  ASSERT_EQ(QuerySystemInfo(handle, InstallRfcsi()).receive, RFC_OK);
  ASSERT_EQ(QueryStatistics(handle).receive, RFC_OK);
  RfcClose(handle);
  EXPECT_FALSE(fs::exists(kTrace));

  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "wrong"}), 0u);
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "wrong"}), 0u);
  EXPECT_EQ(Count(Trace(), "**** ERROR file opened at "), 2u);  // appended
}

TEST_F(SimRfcTest, TraceOffWritesNoTraceForThatSystem) {
  UseLandscape("trace = off\nfail = receive RFC_SYSTEM_INFO 1\n");
  EXPECT_EQ(QuerySystemInfo(OpenPrd(), InstallRfcsi()).receive, RFC_FAILURE);
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "wrong"}), 0u);
  EXPECT_FALSE(fs::exists(kTrace));
  // A partner that no system answers for is still traced.
  EXPECT_EQ(Open({false, "saplost", 0, "", "", "100", "MONITOR", "secret"}), 0u);
  EXPECT_TRUE(fs::exists(kTrace));
}

TEST_F(SimRfcTest, TraceLayoutOfAPartnerNotReached) {
  EXPECT_EQ(Open({false, "saplost", 5, "", "", "100", "MONITOR", "TopSecret9"}), 0u);
  const std::vector<std::string> lines = Lines(Trace());
  ASSERT_GE(lines.size(), 6u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\*\*\*\* ERROR file opened at \d{8} \d{6})"
                                                    R"( UTC, SAP-REL 700,0,0 RFC-VER 3 simrfc)")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(T:\d{4} ======> .*)"))) << lines[1];
  EXPECT_EQ(lines[1].substr(15), "partner 'saplost:sapgw05' not reached");  // column 16
  EXPECT_EQ(lines[2], "LOCATION    CPIC (TCP/IP) on local host");
  EXPECT_EQ(lines[3].substr(0, 12), "ERROR       ");
  EXPECT_EQ(lines[3].substr(12), "partner 'saplost:sapgw05' not reached");  // column 13
  EXPECT_EQ(lines[4], "");
  EXPECT_TRUE(
      std::regex_match(lines[5], std::regex(R"(TIME        \w{3} \w{3} \d\d [\d:]{8} \d{4})")))
      << lines[5];
}

TEST_F(SimRfcTest, PasswordsNeverAppearInTraceOrLastError) {
  UseLandscape();
  EXPECT_EQ(Open({false, "sapprd", 0, "", "", "100", "MONITOR", "TopSecret9"}), 0u);
  const std::string first = LastError().message;
  EXPECT_EQ(RfcOpenEx("CLIENT=100 USER=MONITOR PASSWD=TopSecret9 ASHOST=sapprd SYSNR=00", nullptr),
            0u);
  EXPECT_EQ(RfcOpenEx("CLIENT=100 USER=MONITOR PASSWD=TopSecret9 DEST=NONE", nullptr), 0u);
  const RFC_ERROR_INFO last = LastError();
  for (const std::string& text : {Trace(), first, std::string(last.key), std::string(last.status),
                                  std::string(last.message), std::string(last.intstat)}) {
    EXPECT_EQ(text.find("TopSecret9"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
  }
}

TEST_F(SimRfcTest, LatencyDelaysLogonAndRemoteCalls) {
  UseLandscape("latency_ms = 40\n");
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const RFC_HANDLE handle = OpenPrd();
  const auto logged_on = Clock::now();
  ASSERT_EQ(QuerySystemInfo(handle, InstallRfcsi()).receive, RFC_OK);
  const auto answered = Clock::now();
  EXPECT_GE(logged_on - start, std::chrono::milliseconds(40));
  EXPECT_GE(answered - logged_on, std::chrono::milliseconds(40));
}

}  // namespace

// The NetWeaver binding: its connection parameters, error mapping and note,
// the session over the simulated library's NetWeaver face (linked in, and
// loaded as a shared library through the library choice).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>

#include "rfc/library_choice.h"
#include "rfc/netweaver_linked.h"
#include "rfc/netweaver_session.h"
#include "simrfc_control.h"

namespace vendralith {
namespace {

namespace fs = std::filesystem;

SystemEntry Entry() {
  SystemEntry entry;
  entry.destination = "PRD";
  entry.client = "100";
  entry.user = "MONITOR";
  entry.password = "secret";
  entry.language = "E";
  entry.mode = "R/3";
  entry.hostname = "sapprd";
  entry.sysnr = "0";
  entry.gwhost = "sapprd";
  entry.gwservice = "sapgw00";
  return entry;
}

std::map<std::string, std::string> AsMap(const ConnectionParameters& parameters) {
  return {parameters.begin(), parameters.end()};
}

TEST(ProfileParameters, NameTheServerAndTheLogonAsStored) {
  struct Case {
    const char* comment;
    std::string parameterString;
    std::string gwhost;
    std::map<std::string, std::string> expected;
  } cases[] = {
      {"the profile's host, the system number in two digits, no blanks added",
       "",
       "sapprd",
       {{"ashost", "sapprd"},
        {"sysnr", "00"},
        {"gwhost", "sapprd"},
        {"gwserv", "sapgw00"},
        {"client", "100"},
        {"user", "MONITOR"},
        {"passwd", "secret"},
        {"lang", "E"}}},
      {",HOST= and ,NO= before the profile's",
       "PERCENT,HOST=SAPQAS,NO=7",
       "sapprd",
       {{"ashost", "SAPQAS"},
        {"sysnr", "07"},
        {"gwhost", "sapprd"},
        {"gwserv", "sapgw00"},
        {"client", "100"},
        {"user", "MONITOR"},
        {"passwd", "secret"},
        {"lang", "E"}}},
      {"no gateway host: none named",
       "",
       "",
       {{"ashost", "sapprd"},
        {"sysnr", "00"},
        {"gwserv", "sapgw00"},
        {"client", "100"},
        {"user", "MONITOR"},
        {"passwd", "secret"},
        {"lang", "E"}}},
  };
  for (const Case& c : cases) {
    SystemEntry entry = Entry();
    entry.gwhost = c.gwhost;
    EXPECT_EQ(AsMap(ProfileParameters(entry, c.parameterString)), c.expected) << c.comment;
  }
  // Only the first character of the language, as the classic library reads
  // it: "ES" is English through either library, not Spanish.
  const std::pair<std::string, std::string> languages[] = {
      {"ES", "E"},
      {"D", "D"},
      {"\xC3\x9C"
       "B",
       "\xC3\x9C"},  // a first character beyond ASCII goes whole
  };
  for (const auto& [language, lang] : languages) {
    SystemEntry entry = Entry();
    entry.language = language;
    EXPECT_EQ(AsMap(ProfileParameters(entry, ""))["lang"], lang) << language;
  }
}

TEST(DestinationParameters, TakeTheEntryWholeUnderTheLibrarysNames) {
  const std::map<std::string, std::string> logon = {
      {"client", "100"}, {"user", "MONITOR"}, {"passwd", "secret"}, {"lang", "D"}};
  auto with = [&logon](std::map<std::string, std::string> server) {
    server.insert(logon.begin(), logon.end());
    return server;
  };
  struct Case {
    const char* comment;
    std::string ini;
    std::optional<std::map<std::string, std::string>> expected;
    std::vector<std::string> leftOut = {};
  } cases[] = {
      {"TYPE=A: application server, gateway when present",
       "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\nGWHOST=gw\nGWSERV=sapgw00\n",
       with({{"ashost", "sapprd"}, {"sysnr", "00"}, {"gwhost", "gw"}, {"gwserv", "sapgw00"}})},
      {"names without case, blanks around '=', CRLF lines",
       "dest = prd\r\ntype = a\r\nashost = sapprd\r\nsysnr = 01\r\n",
       with({{"ashost", "sapprd"}, {"sysnr", "01"}})},
      {"TYPE=B: message server, the group PUBLIC by default",
       "DEST=PRD\nTYPE=B\nMSHOST=sapms\nR3NAME=PRD\n",
       with({{"mshost", "sapms"}, {"sysid", "PRD"}, {"group", "PUBLIC"}})},
      {"TYPE=B with group and service",
       "DEST=PRD\nTYPE=B\nMSHOST=sapms\nR3NAME=PRD\nGROUP=SPACE\nMSSERV=3600\n",
       with({{"mshost", "sapms"}, {"sysid", "PRD"}, {"group", "SPACE"}, {"msserv", "3600"}})},
      {"the entry ends at the next DEST=",
       "DEST=QAS\nTYPE=A\nASHOST=sapqas\nDEST=PRD\nTYPE=A\nASHOST=sapprd\nDEST=DEV\nSYSNR=05\n",
       with({{"ashost", "sapprd"}})},
      {"no entry of the destination", "DEST=QAS\nTYPE=A\nASHOST=sapqas\n", std::nullopt},
      {"another type: R/2 through a gateway", "DEST=PRD\nTYPE=R\nGWHOST=gw\nGWSERV=sapgw10\n",
       std::nullopt},
      {"no type, an application server: TYPE=A", "DEST=PRD\nASHOST=sapprd\nSYSNR=02\n",
       with({{"ashost", "sapprd"}, {"sysnr", "02"}})},
      {"no type, a message server: TYPE=B", "DEST=PRD\nMSHOST=sapms\nR3NAME=PRD\n",
       with({{"mshost", "sapms"}, {"sysid", "PRD"}, {"group", "PUBLIC"}})},
      {"no type and no server", "DEST=PRD\nGWHOST=gw\nGWSERV=sapgw10\n", std::nullopt},
      {"SNC and SAProuter under the library's names, values as written",
       "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD, O=Example\n"
       "SNC_QOP=9\nSNC_MYNAME=p:CN=monitor\nSNC_LIB=C:\\sec\\sapcrypto.dll\n"
       "SAPROUTER=/H/gate/S/3299/H/\nRFC_TRACE=0\n",
       with({{"ashost", "sapprd"},
             {"snc_mode", "1"},
             {"snc_partnername", "p:CN=PRD, O=Example"},
             {"snc_qop", "9"},
             {"snc_myname", "p:CN=monitor"},
             {"snc_lib", "C:\\sec\\sapcrypto.dll"},
             {"saprouter", "/H/gate/S/3299/H/"},
             {"trace", "0"}})},
      {"the same with a message server",
       "DEST=PRD\nTYPE=B\nMSHOST=sapms\nR3NAME=PRD\nSNC_MODE=1\nSAPROUTER=/H/gate/H/\n",
       with({{"mshost", "sapms"},
             {"sysid", "PRD"},
             {"group", "PUBLIC"},
             {"snc_mode", "1"},
             {"saprouter", "/H/gate/H/"}})},
      {"a route string in the host passes as written",
       "DEST=PRD\nTYPE=A\nASHOST=/H/gate/S/3299/H/sapprd\nSYSNR=00\n",
       with({{"ashost", "/H/gate/S/3299/H/sapprd"}, {"sysnr", "00"}})},
      {"what the library cannot take is left out, each name once, in file order",
       "DEST=PRD\nTYPE=A\nUSE_SAPGUI=0\nASHOST=sapprd\nABAP_DEBUG=0\nMSHOST=sapms\n"
       "USE_SAPGUI=1\n",
       with({{"ashost", "sapprd"}}),
       {"USE_SAPGUI", "ABAP_DEBUG", "MSHOST"}},
      {"comment lines are no entries",
       "DEST=PRD\n* ABAP_DEBUG=1\n# TYPE=B\n; MSHOST=sapms\nTYPE=A\nASHOST=sapprd\n",
       with({{"ashost", "sapprd"}})},
  };
  for (const Case& c : cases) {
    const auto taken = DestinationParameters(c.ini, Entry());
    ASSERT_EQ(taken.has_value(), c.expected.has_value()) << c.comment;
    if (taken) {
      EXPECT_EQ(AsMap(taken->parameters), *c.expected) << c.comment;
      EXPECT_EQ(taken->leftOut, c.leftOut) << c.comment;
    }
  }
}

TEST(DestinationParameters, ASingleSignOnLogonNamesNeitherUserNorPassword) {
  SystemEntry entry = Entry();
  entry.user.clear();
  entry.password.clear();
  entry.singleSignOn = true;
  const auto taken = DestinationParameters(
      "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD\n", entry);
  ASSERT_TRUE(taken.has_value());
  EXPECT_EQ(AsMap(taken->parameters),
            (std::map<std::string, std::string>{{"ashost", "sapprd"},
                                                {"sysnr", "00"},
                                                {"snc_mode", "1"},
                                                {"snc_partnername", "p:CN=PRD"},
                                                {"client", "100"},
                                                {"lang", "D"}}));
  entry.singleSignOn = false;
  entry.password = "Forty-Characters-0123456789-abcdefghijkl";
  EXPECT_EQ(AsMap(ProfileParameters(entry, ""))["passwd"], entry.password);  // whole
}

TEST(QueryStatusOfCode, MapsAsTheClassicCodes) {
  const std::pair<nw::RfcRc, int> cases[] = {
      {nw::RFC_ABAP_EXCEPTION, 2},         // 1012 with the key
      {nw::RFC_ABAP_RUNTIME_FAILURE, 3},   // 1013
      {nw::RFC_ABAP_MESSAGE, 3},           // 1013
      {nw::RFC_COMMUNICATION_FAILURE, 1},  // 1014
      {nw::RFC_LOGON_FAILURE, 4},          // 1015, as every other code
      {nw::RFC_NOT_FOUND, 4},
      {nw::RFC_UNKNOWN_ERROR, 4},
  };
  for (const auto& [code, status] : cases) EXPECT_EQ(QueryStatusOfCode(code), status) << code;
  EXPECT_EQ(RfcRcName(nw::RFC_ABAP_EXCEPTION), "RFC_ABAP_EXCEPTION");
  EXPECT_EQ(RfcRcName(nw::RFC_AUTHORIZATION_FAILURE), "RFC_AUTHORIZATION_FAILURE");
  EXPECT_EQ(ErrorGroupName(nw::COMMUNICATION_FAILURE), "COMMUNICATION_FAILURE");
  EXPECT_EQ(ErrorGroupName(nw::EXTERNAL_AUTHORIZATION_FAILURE), "EXTERNAL_AUTHORIZATION_FAILURE");
}

TEST(ErrorMessageNote, FollowsTheTraceScanOnTheMessagesLines) {
  const std::string longText(100, 'x');
  // 85 bytes, then "ä" (2 bytes) would end at 87, "€" (3 bytes) at 88.
  const std::string nearCut = std::string(85, 'y') + "\xE2\x82\xAC";
  struct Case {
    const char* comment;
    std::string message;
    std::string note;
  } cases[] = {
      {"the line with ======>",
       "T:4711 ======> partner 'sapprd:sapgw00' not reached\nLOCATION    CPIC\n",
       " - partner 'sapprd:sapgw00' not reached"},
      {"a later ERROR line wins",
       "T:4711 ======> first\nERROR       partner 'x' not reached\n\nTIME        now",
       " - partner 'x' not reached"},
      {"no matching line: the first line", "Name or password is incorrect\nsecond line",
       " - Name or password is incorrect"},
      {"an empty message", "", " - Please Check Trace-File !"},
      {"cut to 87 bytes", longText, " - " + longText.substr(0, 87)},
      {"never inside a character", nearCut, " - " + std::string(85, 'y')},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorMessageNote(c.message), c.note) << c.comment;
  // After 1011 the same line, but nothing at all for an empty message:
  // there is no trace file to point to.
  EXPECT_EQ(LogonFailureNote("T:4711 ======> Name or password is incorrect\n"),
            " - Name or password is incorrect");
  EXPECT_EQ(LogonFailureNote(""), "");
}

TEST(ResolveNetWeaverFunctions, PlainThenDecoratedNamesAndTheFirstMissing) {
  const std::pair<const char*, unsigned> exports[] = {
      {"RfcOpenConnection", 12}, {"RfcCloseConnection", 8}, {"RfcGetFunctionDesc", 12},
      {"RfcCreateFunction", 8},  {"RfcInvoke", 12},         {"RfcDestroyFunction", 8},
      {"RfcGetStructure", 16},   {"RfcGetTable", 16},       {"RfcGetRowCount", 12},
      {"RfcMoveToFirstRow", 8},  {"RfcMoveToNextRow", 8},   {"RfcGetCurrentRow", 8},
      {"RfcGetChars", 20},       {"RfcGetVersion", 12},     {"RfcGetCharsByIndex", 20},
  };
  struct Case {
    const char* comment;
    bool decorated;
    std::set<std::string> leftOut;
    const char* missing;
  } cases[] = {
      {"plain names, as on x64", false, {}, ""},
      {"decorated __stdcall names, as a 32-bit build may have", true, {}, ""},
      {"no RfcInvoke", false, {"RfcInvoke"}, "RfcInvoke"},
      {"two missing: the first in order", true, {"RfcGetVersion", "RfcGetTable"}, "RfcGetTable"},
      {"no RfcGetCharsByIndex, decorated as _RfcGetCharsByIndex@20",
       true,
       {"RfcGetCharsByIndex"},
       "RfcGetCharsByIndex"},
  };
  for (const Case& c : cases) {
    std::map<std::string, int> cells;
    for (const auto& [name, bytes] : exports) {
      if (c.leftOut.count(name) == 0) cells[c.decorated ? DecoratedName(name, bytes) : name] = 0;
    }
    const NetWeaverResolution resolution =
        ResolveNetWeaverFunctions([&cells](const std::string& n) {
          const auto found = cells.find(n);
          return found == cells.end() ? nullptr : static_cast<void*>(&found->second);
        });
    EXPECT_EQ(resolution.missing, c.missing) << c.comment;
  }
}

TEST(ChooseRfcLibrary, TheFirstThatLoadsFolderByFolderTheClassicLibraryFirstWithinOne) {
  struct Case {
    const char* comment;
    std::map<std::string, LibraryState> files;  // the others are missing
    bool netWeaverOnly;
    std::string found;  // empty: none
  } cases[] = {
      {"both in one folder: the classic library",
       {{"a/librfc32.dll", LibraryState::Loaded}, {"a/sapnwrfc.dll", LibraryState::Loaded}},
       false,
       "a/librfc32.dll"},
      {"the NetWeaver SDK beside the program wins over a system folder's classic library",
       {{"a/sapnwrfc.dll", LibraryState::Loaded}, {"b/librfc32.dll", LibraryState::Loaded}},
       false,
       "a/sapnwrfc.dll"},
      {"the classic library in an earlier folder wins",
       {{"a/librfc32.dll", LibraryState::Loaded}, {"b/sapnwrfc.dll", LibraryState::Loaded}},
       false,
       "a/librfc32.dll"},
      {",NWRFC: only sapnwrfc.dll",
       {{"a/librfc32.dll", LibraryState::Loaded}, {"b/sapnwrfc.dll", LibraryState::Loaded}},
       true,
       "b/sapnwrfc.dll"},
      {",NWRFC without sapnwrfc.dll", {{"a/librfc32.dll", LibraryState::Loaded}}, true, ""},
      {"neither", {{"a/other.dll", LibraryState::Loaded}}, false, ""},
      {"a library of the other bitness: the fitting one in a later folder",
       {{"a/librfc32.dll", LibraryState::OtherArchitecture},
        {"b/librfc32.dll", LibraryState::Loaded}},
       false,
       "b/librfc32.dll"},
      {"a classic library that cannot be loaded: sapnwrfc.dll of its folder",
       {{"a/librfc32.dll", LibraryState::NotLoadable}, {"a/sapnwrfc.dll", LibraryState::Loaded}},
       false,
       "a/sapnwrfc.dll"},
      {"a library that lacks a DLL: the one in a later folder",
       {{"a/sapnwrfc.dll", LibraryState::DependencyMissing},
        {"b/librfc32.dll", LibraryState::Loaded}},
       false,
       "b/librfc32.dll"},
      {"none can be loaded: the first found, with its reason",
       {{"a/sapnwrfc.dll", LibraryState::OtherArchitecture},
        {"b/librfc32.dll", LibraryState::DependencyMissing},
        {"b/sapnwrfc.dll", LibraryState::NotLoadable}},
       false,
       "a/sapnwrfc.dll"},
      {",NWRFC past a sapnwrfc.dll of the other bitness",
       {{"a/sapnwrfc.dll", LibraryState::OtherArchitecture},
        {"a/librfc32.dll", LibraryState::Loaded},
        {"b/sapnwrfc.dll", LibraryState::Loaded}},
       true,
       "b/sapnwrfc.dll"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> tried;
    const auto file =
        ChooseRfcLibrary({"a/", "b/"}, c.netWeaverOnly, [&c, &tried](const std::string& path) {
          tried.push_back(path);
          SharedLibrary library;
          if (const auto found = c.files.find(path); found != c.files.end()) {
            library.state = found->second;
            library.path = path;
          }
          return library;
        });
    EXPECT_EQ(file ? file->library.path : std::string(), c.found) << c.comment;
    if (file) {
      EXPECT_EQ(file->kind, c.found.find("sapnwrfc") != std::string::npos
                                ? RfcLibraryKind::NetWeaver
                                : RfcLibraryKind::Classic)
          << c.comment;
      const auto state = c.files.at(c.found);
      EXPECT_EQ(file->library.state, state) << c.comment;
      // Nothing is loaded past the one that wins.
      if (state == LibraryState::Loaded) {
        EXPECT_EQ(tried.back(), c.found) << c.comment;
      }
    }
  }
  EXPECT_TRUE(NetWeaverOnly("PERCENT,NWRFC"));
  EXPECT_FALSE(NetWeaverOnly("PERCENT NWRFC"));
}

constexpr const char* kLandscape = R"([system PRD]
host = sapprd
sysnr = 00
mshost = sapmsprd
client = 100
user = MONITOR
password = secret
statlog = LOG PAGES|1250000
statlog = Größe € ä|12 Blöcke
)";

// A folder of its own as the current folder, with the landscape.
class NetWeaverSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("nwrfc_" + std::to_string(random()));
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);
    std::ofstream("Landscape.ini", std::ios::binary) << kLandscape;
    setenv("SIMRFC_LANDSCAPE", (folder_ / "Landscape.ini").c_str(), 1);
    SimRfcReset();
  }

  void TearDown() override {
    SimRfcReset();
    unsetenv("SIMRFC_LANDSCAPE");
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
  fs::path previous_;
  CallLog callLog_{""};
};

TEST_F(NetWeaverSessionTest, ScansThroughTheTableCursorInUtf16) {
  for (const TextForm form : {TextForm::Utf8, TextForm::AnsiCodePage}) {
    auto session = MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll", form);
    EXPECT_EQ(session->LibraryDescription(), "sapnwrfc.dll (7500.0.3)");
    ASSERT_TRUE(session->LogOn(Entry(), "", false, callLog_).ok);
    RfcsiRecord rfcsi;
    ASSERT_TRUE(session->AskSystemInfo(rfcsi).Ok());
    EXPECT_EQ(rfcsi["RFCDBSYS"], "ADA       ");  // the whole field, blank-padded
    EXPECT_EQ(rfcsi["RFCSYSID"], "PRD     ");
    std::vector<StatisticsFields> rows;
    ASSERT_TRUE(session->AskLogStatistics(rows).Ok());
    session->ReleaseLogStatistics();
    session->Close();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].label, std::string("LOG PAGES") + std::string(31, ' '));
    EXPECT_EQ(rows[0].value.substr(0, 8), "1250000 ");
    // Characters beyond ASCII: UTF-8 for the XML dialects, else the code page.
    const std::string label = form == TextForm::Utf8 ? "Größe € ä"
                                                     : "Gr\xF6\xDF"
                                                       "e \x80 \xE4";
    const std::string value = form == TextForm::Utf8 ? "12 Blöcke"
                                                     : "12 Bl\xF6"
                                                       "cke";
    EXPECT_EQ(rows[1].label.substr(0, label.size()), label);
    EXPECT_EQ(rows[1].value.substr(0, value.size()), value);
  }
}

TEST_F(NetWeaverSessionTest, FailuresMapByCodeAndTheNoteComesFromTheMessage) {
  std::ofstream("Landscape.ini", std::ios::app)
      << "fail = receive ADA_LOG_STATISTICS 2 NO_DATA\nfail = receive RFC_SYSTEM_INFO 3 DUMP\n";
  auto session = MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll", TextForm::Utf8);
  ASSERT_TRUE(session->LogOn(Entry(), "", false, callLog_).ok);
  RfcsiRecord rfcsi;
  const CallAnswer systemInfo = session->AskSystemInfo(rfcsi);
  EXPECT_EQ(systemInfo.status, 3);
  EXPECT_EQ(session->FailureNote(), " - System failure in function module RFC_SYSTEM_INFO: DUMP");
  std::vector<StatisticsFields> rows;
  const CallAnswer statistics = session->AskLogStatistics(rows);
  session->ReleaseLogStatistics();
  EXPECT_EQ(statistics.status, 2);
  EXPECT_EQ(statistics.exceptionName, "NO_DATA");
  EXPECT_EQ(session->FailureNote(),
            " - Function module ADA_LOG_STATISTICS raised exception NO_DATA");
  session->Close();
}

TEST_F(NetWeaverSessionTest, LogsOnTheProfileWayOrThroughTheDestinationFile) {
  struct Case {
    const char* comment;
    std::string mode;
    std::string destinationFile;  // SapRfc.PRD; empty: none
    bool ok;
    std::string note;
    std::string password = "secret";
  } cases[] = {
      {"the profile way", "R/3", "", true, ""},
      {"R/2 cannot be reached", "R/2", "", false, " - R/2 needs librfc32.dll"},
      {"TYPE=A", "R/2", "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\n", true, ""},
      {"TYPE=B", "R/3", "DEST=PRD\nTYPE=B\nMSHOST=sapmsprd\nR3NAME=PRD\n", true, ""},
      {"no TYPE", "R/3", "DEST=PRD\nASHOST=sapprd\nSYSNR=00\n", true, ""},
      {"no entry of the destination: the library is not asked, nothing to tell", "R/3",
       "DEST=QAS\nTYPE=A\nASHOST=sapprd\n", false, ""},
      {"the library's reason", "R/3", "", false,
       " - Name or password is incorrect. Please re-enter", "wrong"},
      {"the same through the destination file", "R/3", "DEST=PRD\nASHOST=sapprd\n", false,
       " - Name or password is incorrect. Please re-enter", "wrong"},
  };
  for (const Case& c : cases) {
    fs::remove("SapRfc.PRD");
    if (!c.destinationFile.empty()) std::ofstream("SapRfc.PRD") << c.destinationFile;
    SystemEntry entry = Entry();
    entry.mode = c.mode;
    entry.password = c.password;
    auto session = MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll", TextForm::Utf8);
    const LogonOutcome logon = session->LogOn(entry, "", false, callLog_);
    EXPECT_EQ(logon.ok, c.ok) << c.comment;
    EXPECT_EQ(logon.note, c.note) << c.comment;
    session->Close();
  }
}

TEST_F(NetWeaverSessionTest, AFailedLogonWithoutMessageHasNoNoteAndWritesNoTrace) {
  std::ofstream("Landscape.ini", std::ios::app) << "trace = off\n";
  auto session = MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll", TextForm::Utf8);
  SystemEntry entry = Entry();
  entry.password = "wrong";
  const LogonOutcome logon = session->LogOn(entry, "", false, callLog_);
  EXPECT_FALSE(logon.ok);
  EXPECT_EQ(logon.note, "");
  entry.password = "secret";
  entry.hostname = "nohost";  // a system with a trace, which only the classic face writes
  EXPECT_EQ(session->LogOn(entry, "", false, callLog_).note,
            " - partner 'nohost:sapgw00' not reached");
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));
}

// The rows' fields as the system names them and wider than the classic
// description, an RFCSI field wider than the classic one: read by position
// and into wide buffers, then cut as the classic binding's fields are.
TEST_F(NetWeaverSessionTest, ReadsFieldsOfAnyNameAndWidthAndCutsThemAsTheClassicBinding) {
  const std::string label40 = std::string(39, 'L') + "\xF0\x9F\x98\x80";  // a pair at 40
  const std::string value30 = std::string(26, '7') + "0000";
  std::ofstream("Landscape.ini", std::ios::app)
      << "ada_show = LOG_LABEL 64|LOG_VALUE 600\nrfcsi_width.RFCDBSYS = 30\n"
      << "statlog = " << label40 << "|" << value30 << "\n";
  auto session = MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll", TextForm::Utf8);
  ASSERT_TRUE(session->LogOn(Entry(), "", false, callLog_).ok);
  RfcsiRecord rfcsi;
  ASSERT_TRUE(session->AskSystemInfo(rfcsi).Ok());
  EXPECT_EQ(rfcsi["RFCDBSYS"], "ADA       ");  // cut to the classic 10
  std::vector<StatisticsFields> rows;
  ASSERT_TRUE(session->AskLogStatistics(rows).Ok());
  session->ReleaseLogStatistics();
  session->Close();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].label, "LOG PAGES" + std::string(31, ' '));
  EXPECT_EQ(rows[0].value, "1250000" + std::string(19, ' '));
  EXPECT_EQ(rows[2].label, std::string(39, 'L'));  // never between the two halves of a pair
  EXPECT_EQ(rows[2].value, std::string(26, '7'));
}

// A stand-in for RfcGetCharsByIndex whose fields are wider than any buffer.
nw::RfcRc RFC_STDCALL FieldTooWide(nw::RfcDataContainer* /*container*/, unsigned /*index*/,
                                   nw::SapUc* /*buffer*/, unsigned /*length*/,
                                   nw::RfcErrorInfo* error) {
  *error = nw::RfcErrorInfo{};
  error->code = nw::RFC_BUFFER_TOO_SMALL;
  error->group = nw::EXTERNAL_RUNTIME_FAILURE;
  std::copy_n(u"TOO_WIDE", 9, error->key);
  return nw::RFC_BUFFER_TOO_SMALL;
}

TEST_F(NetWeaverSessionTest, AFieldWiderThanAnyBufferEndsInTheRfcErrorReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  NetWeaverFunctions functions = LinkedNetWeaverFunctions();
  functions.RfcGetCharsByIndex = FieldTooWide;
  // The child runs the test afresh, in a folder of its own: the report goes
  // where both find it.
  const std::string path = testing::TempDir() + "vendralith_nwrfc_report";
  (void)std::remove(path.c_str());
  EXPECT_EXIT(
      {
        if (std::freopen(path.c_str(), "w", stdout) == nullptr) std::_Exit(99);
        auto session = MakeNetWeaverSession(functions, "sapnwrfc.dll", TextForm::Utf8);
        if (!session->LogOn(Entry(), "", false, callLog_).ok) std::_Exit(98);
        // The child ends without its TearDown: its folder goes now.
        fs::current_path(previous_);
        fs::remove_all(folder_);
        std::vector<StatisticsFields> rows;
        (void)session->AskLogStatistics(rows);
        std::_Exit(97);
      },
      testing::ExitedWithCode(1), "");
  std::ifstream file(path);
  const std::string report(std::istreambuf_iterator<char>(file), {});
  (void)std::remove(path.c_str());
  EXPECT_NE(report.find("operation/code  : RfcGetCharsByIndex SHOWSTATLOG-0\n"
                        "key             : TOO_WIDE\n"
                        "status          : RFC_BUFFER_TOO_SMALL\n"),
            std::string::npos)
      << report;
}

// The NetWeaver face built as a shared library with char16_t texts, chosen
// and loaded as the Windows program chooses and loads sapnwrfc.dll.
TEST_F(NetWeaverSessionTest, ChoosesAndLoadsTheSharedLibraries) {
  const fs::path beside = folder_ / "beside", system = folder_ / "system";
  fs::create_directories(beside);
  fs::create_directories(system);
  const std::vector<std::string> folders = {beside.string() + "/", system.string() + "/"};
  std::ofstream(system / "sapnwrfc.dll") << "This is not a library.\r\n";
  struct Case {
    const char* comment;
    std::string parameters;
    std::string error;
  } missing[] = {
      {"neither library", "", "Error 1009: RFC-Library librfc32.dll or sapnwrfc.dll is missing..."},
  };
  for (const Case& c : missing) {
    fs::rename(system / "sapnwrfc.dll", folder_ / "aside");
    EXPECT_EQ(BindRfcLibraryFrom(folders, c.parameters, TextForm::Utf8), c.error) << c.comment;
    EXPECT_EQ(BindRfcLibraryFrom(folders, ",NWRFC", TextForm::Utf8),
              "Error 1009: RFC-Library sapnwrfc.dll is missing...");
    fs::rename(folder_ / "aside", system / "sapnwrfc.dll");
  }
  EXPECT_EQ(BindRfcLibraryFrom(folders, "", TextForm::Utf8),
            "Error 1009: RFC-Library sapnwrfc.dll cannot be loaded...");

  fs::copy_file(SIMRFC_SHARED_LIBRARY, beside / "sapnwrfc.dll");
  fs::copy_file(SIMRFC_SHARED_LIBRARY, system / "librfc32.dll");
  ASSERT_EQ(BindRfcLibraryFrom(folders, "", TextForm::Utf8), "");
  EXPECT_EQ(Session().LibraryDescription(), (beside / "sapnwrfc.dll").string() + " (7500.0.3)");
  ASSERT_TRUE(Session().LogOn(Entry(), "", false, callLog_).ok);
  RfcsiRecord rfcsi;
  EXPECT_TRUE(Session().AskSystemInfo(rfcsi).Ok());
  EXPECT_EQ(rfcsi["RFCDBSYS"].substr(0, 3), "ADA");
  Session().Close();

  fs::copy_file(SIMRFC_SHARED_LIBRARY, beside / "librfc32.dll");
  ASSERT_EQ(BindRfcLibraryFrom(folders, "", TextForm::Utf8), "");
  EXPECT_EQ(Session().LibraryDescription(), (beside / "librfc32.dll").string());
  ASSERT_EQ(BindRfcLibraryFrom(folders, "X,NWRFC", TextForm::Utf8), "");
  EXPECT_EQ(Session().LibraryDescription(), (beside / "sapnwrfc.dll").string() + " (7500.0.3)");
}

}  // namespace
}  // namespace vendralith

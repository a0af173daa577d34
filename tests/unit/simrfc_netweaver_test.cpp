// The simulated library's NetWeaver face as strict as the vendor's library:
// buffers, field names and positions, the release, exception keys, and no
// trace file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "rfc/netweaver_library.h"
#include "simrfc_control.h"

namespace {

namespace fs = std::filesystem;
namespace nw = vendralith::nw;

constexpr const char* kLandscape = R"([system PRD]
host = sapprd
sysnr = 00
client = 100
user = MONITOR
password = secret
ada_show = LOG_LABEL 50|LOG_VALUE 30
rfcsi_width.RFCDBSYS = 12
statlog = LOG PAGES|1250000
error = K|S|No authorization|I
fail = receive ADA_LOG_STATISTICS 2 NOT_AUTHORIZED

[system QAS]
host = sapqas
sysnr = 01
saprouter = /H/gate/H/
snc_partnername = p:CN=QAS
snc_myname = p:CN=PROBE
statlog = LOG PAGES|250000
)";

std::u16string Text(const nw::SapUc* text) {
  std::u16string result;
  while (text != nullptr && *text != u'\0') result += *text++;
  return result;
}

// Each test in a folder of its own with the landscape.
class SimRfcNetWeaverTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("simrfc_nw_" + std::to_string(random()));
    fs::create_directories(folder_);
    previous_ = fs::current_path();
    fs::current_path(folder_);
    std::ofstream("Landscape.ini", std::ios::binary) << kLandscape;
    unsetenv("SIMRFC_LANDSCAPE");
    unsetenv("SIMRFC_SNC_MYNAME");
    SimRfcReset();
  }

  void TearDown() override {
    SimRfcReset();
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static nw::RfcConnectionHandle Open(const std::map<std::u16string, std::u16string>& given,
                                      nw::RfcErrorInfo& error) {
    std::vector<nw::RfcConnectionParameter> parameters;
    for (const auto& [name, value] : given) parameters.push_back({name.c_str(), value.c_str()});
    return nw::RfcOpenConnection(parameters.data(), static_cast<unsigned>(parameters.size()),
                                 &error);
  }

  static nw::RfcConnectionHandle OpenPrd() {
    nw::RfcErrorInfo error{};
    return Open({{u"ashost", u"sapprd"},
                 {u"sysnr", u"00"},
                 {u"client", u"100"},
                 {u"user", u"MONITOR"},
                 {u"passwd", u"secret"}},
                error);
  }

  fs::path folder_;
  fs::path previous_;
};

TEST_F(SimRfcNetWeaverTest, FieldsAsTheSystemHasThemByNameOrPosition) {
  nw::RfcConnectionHandle connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  nw::RfcErrorInfo error{};
  nw::RfcFunctionHandle function =
      nw::RfcCreateFunction(nw::RfcGetFunctionDesc(connection, u"RFC_SYSTEM_INFO", &error), &error);
  ASSERT_EQ(nw::RfcInvoke(connection, function, &error), nw::RFC_OK);
  nw::RfcStructureHandle rfcsi = nullptr;
  ASSERT_EQ(nw::RfcGetStructure(function, u"RFCSI_EXPORT", &rfcsi, &error), nw::RFC_OK);
  std::u16string buffer(64, u'#');
  const struct {
    const char* comment;
    const nw::SapUc* name;  // null: by position
    unsigned index;
    unsigned length;
    nw::RfcRc code;
    std::u16string text;  // the buffer's start when it succeeds
    std::string message;  // the error's message when it fails
  } cases[] = {
      {"RFCDBSYS as wide as the system has it", u"RFCDBSYS", 0, 12, nw::RFC_OK, u"ADA         ",
       ""},
      {"a wider buffer is blank-padded", u"RFCDBSYS", 0, 20, nw::RFC_OK, u"ADA                 ",
       ""},
      {"the classic width is too small", u"RFCDBSYS", 0, 10, nw::RFC_BUFFER_TOO_SMALL, u"",
       "field 'RFCDBSYS' has 12 characters, the buffer 10"},
      {"a name the structure lacks", u"R1", 0, 40, nw::RFC_INVALID_PARAMETER, u"",
       "field 'R1' not found"},
      {"the first field by position", nullptr, 0, 3, nw::RFC_OK, u"   ", ""},
      {"the seventh: RFCSYSID", nullptr, 6, 8, nw::RFC_OK, u"PRD     ", ""},
      {"past the last field", nullptr, 18, 64, nw::RFC_INVALID_PARAMETER, u"",
       "field index 18 out of range"},
  };
  for (const auto& c : cases) {
    buffer.assign(64, u'#');
    const nw::RfcRc code =
        c.name != nullptr ? nw::RfcGetChars(rfcsi, c.name, buffer.data(), c.length, &error)
                          : nw::RfcGetCharsByIndex(rfcsi, c.index, buffer.data(), c.length, &error);
    EXPECT_EQ(code, c.code) << c.comment;
    EXPECT_EQ(error.code, c.code) << c.comment;
    if (code == nw::RFC_OK) {
      EXPECT_EQ(buffer.substr(0, c.text.size()), c.text) << c.comment;
      EXPECT_EQ(buffer[c.length], u'#') << c.comment << ": nothing past the length";
    } else {
      EXPECT_EQ(Text(error.message), std::u16string(c.message.begin(), c.message.end()))
          << c.comment;
    }
  }
  ASSERT_EQ(nw::RfcDestroyFunction(function, &error), nw::RFC_OK);
  ASSERT_EQ(nw::RfcCloseConnection(connection, &error), nw::RFC_OK);
}

TEST_F(SimRfcNetWeaverTest, AnExceptionIsKnownByItsNameAndNoTraceIsWritten) {
  nw::RfcConnectionHandle connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  nw::RfcErrorInfo error{};
  nw::RfcFunctionHandle function = nw::RfcCreateFunction(
      nw::RfcGetFunctionDesc(connection, u"ADA_LOG_STATISTICS", &error), &error);
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(nw::RfcInvoke(connection, function, &error), nw::RFC_ABAP_EXCEPTION);
  EXPECT_EQ(error.group, nw::ABAP_APPLICATION_FAILURE);
  // The exception's name, not the key of the system's error line.
  EXPECT_EQ(Text(error.key), u"NOT_AUTHORIZED");
  // The message carries what the classic face would trace.
  EXPECT_NE(Text(error.message).find(u"No authorization"), std::u16string::npos);
  EXPECT_EQ(nw::RfcDestroyFunction(function, &error), nw::RFC_OK);
  EXPECT_EQ(nw::RfcCloseConnection(connection, &error), nw::RFC_OK);
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));
}

TEST_F(SimRfcNetWeaverTest, TheReleaseIsOneNumber) {
  unsigned major = 0, minor = 1, patch = 0;
  const std::u16string version = Text(nw::RfcGetVersion(&major, &minor, &patch));
  EXPECT_EQ(major, 7500u);
  EXPECT_EQ(minor, 0u);
  EXPECT_EQ(patch, 3u);
  EXPECT_EQ(version.substr(0, 14), u"7500, patch 3,");
}

TEST_F(SimRfcNetWeaverTest, LogonTakesTheRouteAndSncParameters) {
  const std::map<std::u16string, std::u16string> qas = {
      {u"ashost", u"sapqas"}, {u"sysnr", u"01"},  {u"saprouter", u"/H/gate/H/"},
      {u"snc_mode", u"1"},    {u"snc_qop", u"9"}, {u"snc_partnername", u"p:CN=QAS"},
      {u"client", u"100"},    {u"user", u"ANY"},  {u"passwd", u"thing"}};
  const struct {
    const char* comment;
    std::u16string leftOut;  // a parameter not given
    nw::RfcRc code;
  } cases[] = {
      {"route and SNC", u"", nw::RFC_OK},
      {"no route", u"saprouter", nw::RFC_COMMUNICATION_FAILURE},
      {"no SNC", u"snc_mode", nw::RFC_LOGON_FAILURE},
  };
  for (const auto& c : cases) {
    std::map<std::u16string, std::u16string> given = qas;
    given.erase(c.leftOut);
    nw::RfcErrorInfo error{};
    nw::RfcConnectionHandle connection = Open(given, error);
    EXPECT_EQ(error.code, c.code) << c.comment;
    EXPECT_EQ(connection != nullptr, c.code == nw::RFC_OK) << c.comment;
    if (connection != nullptr) (void)nw::RfcCloseConnection(connection, &error);
  }
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));
}

// Single sign-on through this face: snc_myname names the caller, and
// snc_sso, 1 unless given, lets the library log on without a user.
TEST_F(SimRfcNetWeaverTest, SingleSignOnByTheCallersSncName) {
  const std::map<std::u16string, std::u16string> qas = {
      {u"ashost", u"sapqas"},        {u"sysnr", u"01"},   {u"saprouter", u"/H/gate/H/"},
      {u"snc_mode", u"1"},           {u"client", u"100"}, {u"snc_partnername", u"p:CN=QAS"},
      {u"snc_myname", u"p:CN=PROBE"}};
  const struct {
    const char* comment;
    std::map<std::u16string, std::u16string> changed;  // an empty value: not given
    nw::RfcRc code;
  } cases[] = {
      {"neither user nor password", {}, nw::RFC_OK},
      {"snc_sso=1 given", {{u"snc_sso", u"1"}}, nw::RFC_OK},
      {"snc_sso=0: no single sign-on, and no user", {{u"snc_sso", u"0"}}, nw::RFC_LOGON_FAILURE},
      {"a name the system does not map", {{u"snc_myname", u"p:CN=OTHER"}}, nw::RFC_LOGON_FAILURE},
      {"no SNC name of the caller", {{u"snc_myname", u""}}, nw::RFC_COMMUNICATION_FAILURE},
  };
  for (const auto& c : cases) {
    std::map<std::u16string, std::u16string> given = qas;
    for (const auto& [name, value] : c.changed) {
      if (value.empty()) {
        given.erase(name);
      } else {
        given[name] = value;
      }
    }
    nw::RfcErrorInfo error{};
    nw::RfcConnectionHandle connection = Open(given, error);
    EXPECT_EQ(error.code, c.code) << c.comment;
    EXPECT_EQ(connection != nullptr, c.code == nw::RFC_OK) << c.comment;
    if (connection != nullptr) (void)nw::RfcCloseConnection(connection, &error);
  }
}

}  // namespace

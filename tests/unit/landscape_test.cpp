#include "landscape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simrfc {
namespace {

LandscapeResult Parse(const std::string& text) { return ParseLandscape(text, "test.ini"); }

TEST(LandscapeTest, ReadsEveryKeyOfTwoSystems) {
  const LandscapeResult result = Parse(
      "; demo landscape\r\n"
      "# second comment style\n"
      "\n"
      "[system PRD]\n"
      "host = SAPPRD   \r\n"
      "sysnr=00\n"
      "  client   =   100  \n"
      "user = monitor\n"
      "password = s3cret word\n"
      "rfcsi.rfcsaprl = 740\n"
      "statlog = LOG PAGES|1250000\n"
      "monilog = Log volume|online\n"
      "latency_ms = 25\n"
      "trace = off\n"
      "error = K | S | M | I\n"
      "fail = unreachable\n"
      "ada_show = LOG_LABEL 64 | LOG_VALUE 1000\n"
      "rfcsi_width.rfcdbsys = 30\n"
      "saprouter = /H/gate/S/3299/H/\n"
      "snc_partnername = p:CN=PRD, O=Example\n"
      "snc_myname = p:CN=PRTG-PROBE, O=Example Corp\n"
      "[ system R2S ]\n"
      "gwhost = r2gate\n"
      "gwserv = sapgw10\n");
  ASSERT_TRUE(result.Ok()) << result.error;
  ASSERT_EQ(result.systems.size(), 2u);

  const System& prd = result.systems[0];
  EXPECT_EQ(prd.sid, "PRD");
  EXPECT_EQ(prd.host, "SAPPRD");
  EXPECT_EQ(prd.sysnr, 0);
  EXPECT_EQ(prd.client, "100");
  EXPECT_EQ(prd.user, "monitor");
  EXPECT_EQ(prd.password, "s3cret word");
  EXPECT_EQ(RfcsiValue(prd, "RFCSAPRL"), "740");
  ASSERT_EQ(prd.statlog.size(), 1u);
  EXPECT_EQ(prd.statlog[0].label, "LOG PAGES");
  EXPECT_EQ(prd.statlog[0].value, "1250000");
  ASSERT_EQ(prd.monilog.size(), 1u);
  EXPECT_EQ(prd.monilog[0].value, "online");
  EXPECT_EQ(prd.latency_ms, 25);
  EXPECT_FALSE(prd.trace);
  ASSERT_TRUE(prd.error.has_value());
  EXPECT_EQ(prd.error->key, "K");
  EXPECT_EQ(prd.error->status, "S");
  EXPECT_EQ(prd.error->message, "M");
  EXPECT_EQ(prd.error->intstat, "I");
  ASSERT_EQ(prd.faults.size(), 1u);
  EXPECT_EQ(prd.faults[0].kind, FaultKind::kUnreachable);
  ASSERT_EQ(prd.row_fields.size(), 2u);
  EXPECT_EQ(prd.row_fields[0].name, "LOG_LABEL");
  EXPECT_EQ(prd.row_fields[0].width, 64u);
  EXPECT_EQ(prd.row_fields[1].name, "LOG_VALUE");
  EXPECT_EQ(prd.row_fields[1].width, 1000u);
  EXPECT_EQ(RfcsiWidth(prd, kRfcsiFields[9]), 30u);  // RFCDBSYS
  EXPECT_EQ(RfcsiWidth(prd, kRfcsiFields[6]), 8u);   // RFCSYSID as the standard layout has it
  EXPECT_EQ(prd.saprouter, "/H/gate/S/3299/H/");
  EXPECT_EQ(prd.snc_partnername, "p:CN=PRD, O=Example");
  EXPECT_EQ(prd.snc_myname, "p:CN=PRTG-PROBE, O=Example Corp");

  const System& r2 = result.systems[1];
  EXPECT_EQ(r2.sid, "R2S");
  EXPECT_EQ(r2.gwhost, "r2gate");
  EXPECT_EQ(r2.gwserv, "sapgw10");
  EXPECT_TRUE(r2.trace);
  EXPECT_FALSE(r2.error.has_value());
  // The rows of the classic description unless the file says otherwise.
  ASSERT_EQ(r2.row_fields.size(), 2u);
  EXPECT_EQ(r2.row_fields[0].name, "R1");
  EXPECT_EQ(r2.row_fields[0].width, kLabelWidth);
  EXPECT_EQ(r2.row_fields[1].name, "R2");
  EXPECT_EQ(r2.row_fields[1].width, kValueWidth);
  EXPECT_TRUE(r2.saprouter.empty());
  EXPECT_TRUE(r2.snc_partnername.empty());
}

TEST(LandscapeTest, RfcsiDefaults) {
  const LandscapeResult result = Parse(
      "[system PRD]\nhost = sapprd\nsysnr = 7\n"
      "[system OLD]\ngwhost = r2gate\ngwserv = sapgw10\n");
  ASSERT_TRUE(result.Ok()) << result.error;
  const System& prd = result.systems[0];
  const struct {
    const char* field;
    const char* expected;
  } cases[] = {
      {"RFCDBSYS", "ADA"},           // MaxDB unless the file says otherwise
      {"RFCSYSID", "PRD"},           // the SID of the section
      {"RFCHOST", "sapprd"},         // the application server
      {"RFCDEST", "sapprd_PRD_07"},  // host_SID_sysnr, two digits
      {"RFCSAPRL", "700"},           //
      {"RFCOPSYS", "Linux"},         //
      {"RFCCHARTYP", "4103"},        //
      {"RFCKERNRL", ""},             // the others blank
      {"RFCSI_RESV", ""},            //
  };
  for (const auto& c : cases) EXPECT_EQ(RfcsiValue(prd, c.field), c.expected) << c.field;
  // An R/2 system has no application server: its gateway names it.
  EXPECT_EQ(RfcsiValue(result.systems[1], "RFCDEST"), "r2gate_OLD_00");
}

TEST(LandscapeTest, LogRowsAreKeptVerbatim) {
  const LandscapeResult result = Parse(
      "[system PRD]\n"
      "statlog =   USED     LOG PAGES (%)|37  \n"
      "statlog = A|B|C\n"
      "statlog = " +
      std::string(45, 'L') + "|" + std::string(30, '9') + "\n");
  ASSERT_TRUE(result.Ok()) << result.error;
  const std::vector<LogRow>& rows = result.systems[0].statlog;
  ASSERT_EQ(rows.size(), 3u);
  // Only the blanks after '=' go: inner runs and trailing blanks stay.
  EXPECT_EQ(rows[0].label, "USED     LOG PAGES (%)");
  EXPECT_EQ(rows[0].value, "37  ");
  // The split is at the first bar.
  EXPECT_EQ(rows[1].label, "A");
  EXPECT_EQ(rows[1].value, "B|C");
  // Lines of a statistics table: label and value padded or cut to 40 and 26.
  EXPECT_EQ(PadOrCut(rows[0].label, kLabelWidth), "USED     LOG PAGES (%)" + std::string(18, ' '));
  EXPECT_EQ(PadOrCut(rows[2].label, kLabelWidth), std::string(40, 'L'));
  EXPECT_EQ(PadOrCut(rows[2].value, kValueWidth), std::string(26, '9'));
}

TEST(LandscapeTest, ReadsEachFaultKind) {
  const struct {
    const char* line;
    FaultKind kind;
    const char* target;
    int code;
    const char* exception;
    const char* object;
  } cases[] = {
      {"unreachable", FaultKind::kUnreachable, "", 0, "", ""},
      {"call RFC_SYSTEM_INFO 1", FaultKind::kCall, "RFC_SYSTEM_INFO", 1, "", ""},
      {"receive ADA_LOG_STATISTICS 2 NOT_FOUND", FaultKind::kReceive, "ADA_LOG_STATISTICS", 2,
       "NOT_FOUND", ""},
      {"receive X 3 SYSTEM_FAILURE", FaultKind::kReceive, "X", 3, "SYSTEM_FAILURE", ""},
      {"receive X 7", FaultKind::kReceive, "X", 7, "", ""},        // codes beyond 3 pass through
      {"abort rfcopen", FaultKind::kAbort, "RfcOpen", 0, "", ""},  // operation in any case
      {"refuse ItGetLine SHOWSTATLOG", FaultKind::kRefuse, "ItGetLine", 0, "", "SHOWSTATLOG"},
      {"refuse RfcInstallStructure", FaultKind::kRefuse, "RfcInstallStructure", 0, "", ""},
      {"hang rfcclose", FaultKind::kHangClose, "", 0, "", ""},  // operation in any case
  };
  for (const auto& c : cases) {
    const LandscapeResult result = Parse(std::string("[system PRD]\nfail = ") + c.line + "\n");
    ASSERT_TRUE(result.Ok()) << c.line << ": " << result.error;
    ASSERT_EQ(result.systems[0].faults.size(), 1u) << c.line;
    const Fault& fault = result.systems[0].faults[0];
    EXPECT_EQ(fault.kind, c.kind) << c.line;
    EXPECT_EQ(fault.target, c.target) << c.line;
    EXPECT_EQ(fault.code, c.code) << c.line;
    EXPECT_EQ(fault.exception, c.exception) << c.line;
    EXPECT_EQ(fault.object, c.object) << c.line;
  }
}

TEST(LandscapeTest, MalformedLinesNameFileAndLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      // Structure of the file.
      {"host = sapprd\n", "test.ini:1: key 'host' before the first [system SID] line"},
      {"[system PRD]\n\nhost sapprd\n",
       "test.ini:3: malformed line, expected 'key = value' or [system SID]"},
      {"[system PRD]\n= x\n", "test.ini:2: malformed line"},
      {"[systems PRD]\n", "test.ini:1: malformed section line"},
      {"[system]\n", "test.ini:1: malformed section line"},
      {"[system PRD\n", "test.ini:1: malformed section line"},
      {"[system PRD]\n[system PRD]\n", "test.ini:2: system PRD described twice"},
      {"[system PRD]\nhost = a\nhost = b\n", "test.ini:3: key 'host' given twice"},
      // Keys and values.
      {"[system PRD]\nhots = sapprd\n", "test.ini:2: unknown key 'hots'"},
      {"[system PRD]\nrfcsi.RFCFOO = x\n", "test.ini:2: unknown RFCSI field 'RFCFOO'"},
      {"[system PRD]\nhost =\n", "test.ini:2: bad value '' for key 'host': empty"},
      {"[system PRD]\nhost = sap prd\n", "test.ini:2: bad value 'sap prd' for key 'host'"},
      {"[system PRD]\nsysnr = 100\n", "test.ini:2: bad value '100' for key 'sysnr'"},
      {"[system PRD]\nsysnr = 0x\n", "test.ini:2: bad value '0x' for key 'sysnr'"},
      {"[system PRD]\nlatency_ms = -5\n", "test.ini:2: bad value '-5' for key 'latency_ms'"},
      {"[system PRD]\ntrace = maybe\n", "test.ini:2: bad value 'maybe' for key 'trace'"},
      {"[system PRD]\nerror = K|S|M\n", "test.ini:2: bad value 'K|S|M' for key 'error'"},
      {"[system PRD]\nstatlog = LOG PAGES 5\n", "test.ini:2: bad value 'LOG PAGES 5'"},
      {"[system PRD]\nada_show = R1 40\n", "expected NAME WIDTH|NAME WIDTH"},
      {"[system PRD]\nada_show = R1 40|R2\n", "expected NAME WIDTH|NAME WIDTH"},
      {"[system PRD]\nada_show = R-1 40|R2 26\n", "a field name of letters, digits and '_'"},
      {"[system PRD]\nada_show = R1 0|R2 26\n", "expected a width of 1 to 262143"},
      {"[system PRD]\nada_show = R1 40|R2 262144\n", "expected a width of 1 to 262143"},
      {"[system PRD]\nada_show = R1 40|R1 26\n", "two fields of one name"},
      {"[system PRD]\nrfcsi_width.RFCFOO = 8\n", "unknown RFCSI field 'RFCFOO'"},
      {"[system PRD]\nrfcsi_width.RFCDBSYS = x\n", "expected a width of 1 to 262143"},
      {"[system PRD]\nsaprouter = /H/a b/\n", "bad value '/H/a b/' for key 'saprouter'"},
      {"[system PRD]\nsnc_partnername =\n", "bad value '' for key 'snc_partnername': empty"},
      {"[system PRD]\nsnc_myname =\n", "bad value '' for key 'snc_myname': empty"},
      // SAP takes passwords of up to 40 characters.
      {"[system PRD]\npassword = Forty-one-Characters-0123456789-abcdefghi\n",
       "for key 'password': longer than 40 characters"},
      // Faults.
      {"[system PRD]\nfail = explode\n",
       "test.ini:2: bad value 'explode' for key 'fail': "
       "unknown fault 'explode'"},
      {"[system PRD]\nfail = unreachable now\n", "expected 'fail = unreachable'"},
      {"[system PRD]\nfail = call RFC_SYSTEM_INFO\n", "expected 'fail = call FUNCTION CODE'"},
      {"[system PRD]\nfail = call RFC_SYSTEM_INFO 0\n", "bad result code '0'"},
      {"[system PRD]\nfail = call RFC_SYSTEM_INFO one\n", "bad result code 'one'"},
      {"[system PRD]\nfail = receive X 2\n", "result code 2 and 3 need an exception name"},
      {"[system PRD]\nfail = receive X 1 OOPS\n", "an exception name goes with result code 2"},
      {"[system PRD]\nfail = abort RfcExplode\n", "expected 'fail = abort OPERATION'"},
      {"[system PRD]\nfail = refuse RfcCall\n", "expected 'fail = refuse OPERATION [NAME]'"},
      {"[system PRD]\nfail = hang RfcCall\n", "expected 'fail = hang RfcClose'"},
  };
  for (const auto& c : cases) {
    const LandscapeResult result = Parse(c.text);
    EXPECT_FALSE(result.Ok()) << c.text;
    EXPECT_TRUE(result.systems.empty()) << c.text;
    EXPECT_NE(result.error.find(c.error), std::string::npos)
        << "text: " << c.text << "\nerror: " << result.error;
  }
}

TEST(LandscapeTest, PasswordsOfUpTo40Characters) {
  const LandscapeResult result =
      Parse("[system PRD]\npassword = Forty-Characters-0123456789-abcdefghijkl\n");
  ASSERT_TRUE(result.Ok()) << result.error;
  EXPECT_EQ(result.systems[0].password.size(), kMaxPassword);
}

TEST(LandscapeTest, EmptyTextHasNoSystems) {
  const LandscapeResult result = Parse("; nothing here\n\n");
  EXPECT_TRUE(result.Ok());
  EXPECT_TRUE(result.systems.empty());
}

}  // namespace
}  // namespace simrfc

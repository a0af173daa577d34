#include "rfc/connection.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vendralith {
namespace {

SystemEntry Entry() {
  SystemEntry entry;
  entry.destination = "PRD";
  entry.client = "100";
  entry.user = "MONITOR";
  entry.password = "secret";
  entry.language = "E";
  entry.mode = "R/3";
  entry.hostname = "sapprd";
  entry.sysnr = "00";
  entry.gwhost = "sapgw";
  entry.gwservice = "sapgw00";
  return entry;
}

TEST(ConnectionOptions, ModeChoosesTheRecord) {
  struct Case {
    const char* mode;
    std::int32_t expected;
  } cases[] = {
      {"R/2", RFC_MODE_CPIC},     // exactly R/2: through the gateway
      {"r/2", RFC_MODE_R3ONLY},   // case counts
      {"R/2 ", RFC_MODE_R3ONLY},  // nothing after it
      {"R/3", RFC_MODE_R3ONLY},   //
      {"", RFC_MODE_R3ONLY},      //
  };
  for (const Case& c : cases) {
    SystemEntry entry = Entry();
    entry.mode = c.mode;
    ConnectionOptions options(entry, "");
    EXPECT_EQ(options.Options()->mode, c.expected) << c.mode;
    const void* record = c.expected == RFC_MODE_CPIC ? static_cast<const void*>(&options.Gateway())
                                                     : static_cast<const void*>(&options.Host());
    EXPECT_EQ(options.Options()->connopt, record) << c.mode;
  }
}

TEST(ConnectionOptions, SystemNumberIsReadAsADecimal) {
  struct Case {
    const char* sysnr;
    std::int32_t number;
  } cases[] = {{"00", 0}, {"07", 7}, {"1a", 1}, {"", 0}, {"  42", 42}};
  for (const Case& c : cases) {
    SystemEntry entry = Entry();
    entry.sysnr = c.sysnr;
    ConnectionOptions options(entry, "");
    EXPECT_EQ(options.Host().sysnr, c.number) << c.sysnr;
  }
}

TEST(ConnectionOptions, UserAndPasswordArePadded) {
  SystemEntry entry = Entry();
  ConnectionOptions options(entry, "");
  EXPECT_STREQ(options.Options()->user, "MONITOR     ");  // seven letters, five blanks
  EXPECT_STREQ(options.Options()->password, "secret    ");
  entry.user = "FOURTEENLETTER";
  entry.password = "elevenchars";
  ConnectionOptions longer(entry, "");
  EXPECT_STREQ(longer.Options()->user, "FOURTEENLETTER");  // whole
  EXPECT_STREQ(longer.Options()->password, "elevenchars");
  EXPECT_EQ(longer.Options()->trace, 0);
}

TEST(ConnectionOptions, EmptyFieldsAreNull) {
  SystemEntry entry = Entry();
  entry.hostname.clear();
  entry.gwhost.clear();
  ConnectionOptions options(entry, "");
  EXPECT_EQ(options.Host().hostname, nullptr);
  EXPECT_EQ(options.Host().gateway_host, nullptr);
  EXPECT_EQ(options.Gateway().gateway_host, nullptr);
  EXPECT_STREQ(options.Gateway().gateway_service, "sapgw00");
}

TEST(ConnectionOptions, HostAndNumberFromTheParameters) {
  ConnectionOptions options(Entry(), "PERCENT,HOST=OTHERHOST,NO=12");
  EXPECT_STREQ(options.Host().hostname, "OTHERHOST");
  EXPECT_EQ(options.Host().sysnr, 12);
  ConnectionOptions empty(Entry(), ",HOST=,NO=");
  EXPECT_EQ(empty.Host().hostname, nullptr);
  EXPECT_EQ(empty.Host().sysnr, 0);
}

TEST(ConnectString, AlwaysInGerman) {
  EXPECT_EQ(ConnectString(Entry()),
            "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD");  // Language E not used
}

TEST(ConnectString, NamesTheCredentialsUnlessTheLogonIsSingleSignOn) {
  const std::string forty = "Forty-Characters-0123456789-abcdefghijkl";
  const struct {
    std::string password;
    bool singleSignOn;
    std::string connect;
  } cases[] = {
      {forty, false, "CLIENT=100 USER=MONITOR PASSWD=" + forty + " LANG=D DEST=PRD"},  // whole
      {"secret", true, "CLIENT=100 LANG=D DEST=PRD"},  // SapRfc.ini's entry brings SNC
  };
  for (const auto& c : cases) {
    SystemEntry entry = Entry();
    entry.password = c.password;
    entry.singleSignOn = c.singleSignOn;
    EXPECT_EQ(ConnectString(entry), c.connect);
  }
  SystemEntry entry = Entry();
  entry.password = forty;
  ConnectionOptions options(entry, "");
  EXPECT_EQ(options.Options()->password, forty);  // no padding, no cut
}

TEST(ConnectStringRefusal, AUserOrPasswordWithBlanksWouldSplit) {
  const std::string refused = " - a user or password with blanks cannot go through SapRfc.PRD";
  const struct {
    const char* user;
    const char* password;
    std::string note;
  } cases[] = {
      {"MONITOR", "Watch4Logs", ""},        // one word each
      {"MONITOR", "x DEST=QAS", refused},   // would name another destination
      {"MONITOR", "tab\there", refused},    // a tab splits as well
      {"MON ITOR", "Watch4Logs", refused},  // the user too
      {"", "", ""},                         // single sign-on names neither
  };
  for (const auto& c : cases) {
    SystemEntry entry = Entry();
    entry.user = c.user;
    entry.password = c.password;
    EXPECT_EQ(ConnectStringRefusal(entry), c.note) << c.password;
  }
}

}  // namespace
}  // namespace vendralith

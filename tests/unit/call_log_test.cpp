#include "rfc/call_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace vendralith {
namespace {

namespace fs = std::filesystem;

class CallLogTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("call_log_" + std::to_string(std::random_device()()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Log() const { return (folder_ / kCallLogFile).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  fs::path folder_;
};

TEST_F(CallLogTest, WritesOnlyWhenAsked) {
  struct Case {
    const char* parameterString;
    bool written;
  } cases[] = {
      {"PERCENT,SYSLOG", true},  // the upper-cased parameters hold the keyword
      {",SYSLOG", true},         //
      {"PERCENT", false},        // not asked for: no file is even opened
      {"SYSLOG", false},         // the keyword begins with its comma
  };
  for (const Case& c : cases) {
    fs::remove(Log());
    const CallLog log(c.parameterString, Log());
    log.Start();
    log.Write(7, "RfcOpen called", "");
    EXPECT_EQ(fs::exists(Log()), c.written) << c.parameterString;
  }
}

TEST_F(CallLogTest, EachLineHasTimeProcessAndTheStep) {
  const CallLog log(",SYSLOG", Log());
  log.Write(7, "RfcOpen called", "");
  log.Write(0, "program started", "vendralith");
  log.WriteText("* Pgrm aborted...");
  log.Write(0, "error document", "two\nlines");  // one line per entry, whatever it holds
  const std::string stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d+ )";
  const std::regex lines(stamp + R"(7 RfcOpen called \n)" +             //
                         stamp + R"(0 program started vendralith\n)" +  //
                         stamp + R"(\* Pgrm aborted\.\.\.\n)" +         //
                         stamp + R"(0 error document two lines\n)");
  EXPECT_TRUE(std::regex_match(Read(Log()), lines)) << Read(Log());
}

TEST_F(CallLogTest, AnOvergrownLogIsRolledOverAtTheStart) {
  const std::string old = Log() + ".1";
  std::ofstream(old) << "the oldest log\n";
  std::ofstream(Log()) << std::string(kCallLogRollOver + 1, 'x');
  const CallLog log(",SYSLOG", Log());
  log.Start();
  EXPECT_EQ(fs::file_size(old), static_cast<std::uintmax_t>(kCallLogRollOver + 1));
  EXPECT_FALSE(fs::exists(Log()));
  log.Write(0, "program started", "vendralith");
  log.Start();  // a log of one line stays
  EXPECT_EQ(fs::file_size(old), static_cast<std::uintmax_t>(kCallLogRollOver + 1));
  EXPECT_NE(Read(Log()).find("program started"), std::string::npos);
}

TEST_F(CallLogTest, ALogThatCannotBeWrittenIsNoError) {
  const CallLog log(",SYSLOG", (folder_ / "missing-folder" / kCallLogFile).string());
  log.Start();
  log.Write(0, "program started", "vendralith");  // nothing to see, nothing thrown
  EXPECT_FALSE(fs::exists(folder_ / "missing-folder"));
}

}  // namespace
}  // namespace vendralith

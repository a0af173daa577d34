#include "output/standard_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace vendralith {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Each case runs what a run and its watchdog do, in a child process whose
// standard output goes to a file: the watchdog ends the process.
TEST(DeadlineEndingDeathTest, PrintsWhatFollowsTheOutputAndEndsWithItsCode) {
  // The child starts afresh: no thread of this process goes along.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    void (*run)();
    int exitCode;
    const char* output;
    const char* why;
  } cases[] = {
      {[] {
         SetDeadlineEnding({"first", ExitCode::ErrorDocument});
         WriteOutThen("opening|", {"summary", ExitCode::Success});
         WriteOut("channel|");
       },
       0, "opening|channel|summary", "the last ending, after everything written"},
      {[] {
         SetDeadlineEnding({"error document", ExitCode::ErrorDocument});
         WriteLastOut("report|", ExitCode::RfcError);
       },
       1, "report|", "after the last output nothing is added"},
      {[] {
         SetDeadlineEnding({"error document", ExitCode::ErrorDocument},
                           EndingHolds::UntilNextWrite);
         WriteOut("opening|");
         std::thread([] { WriteOutThen("channels|", {"closing", ExitCode::Success}); }).detach();
       },
       0, "opening|channels|closing",
       "a write withdraws the ending: the deadline waits for the next"},
  };
  const std::string path = testing::TempDir() + "vendralith_deadline_ending";
  for (const Case& c : cases) {
    (void)std::remove(path.c_str());
    EXPECT_EXIT(
        {
          if (std::freopen(path.c_str(), "w", stdout) == nullptr) std::_Exit(99);
          c.run();
          EndAtDeadline();
        },
        testing::ExitedWithCode(c.exitCode), "")
        << c.why;
    EXPECT_EQ(FileText(path), c.output) << c.why;
  }
  (void)std::remove(path.c_str());
}

}  // namespace
}  // namespace vendralith

#include "run/run_keywords.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

TEST(ApplyValueKeywords, ChecksInOrderAndSetsWhatIsGiven) {
  struct Case {
    const char* parameterString;
    bool multiSystem;
    const char* error;  // "" when the run goes on
    int timeoutSeconds;
    int parallelScans;
  } cases[] = {
      {"PERCENT", true, "", 0, 1},                  // none given: the defaults
      {",TIMEOUT=30,PARALLEL=4", true, "", 30, 4},  // both set
      {",PARALLEL=4", false, "", 0, 1},             // a single-system run ignores it
      {",PARALLEL=99", false, "", 0, 1},            // whatever its value
      {",PARALLEL=99", true, "Error 1019: Parameter PARALLEL= must be 1 to 16 !", 0, 1},
      {",TIMEOUT=0,PARALLEL=99", true,  // the deadline comes first
       "Error 1017: Parameter TIMEOUT= must be 1 to 900 seconds !", 0, 1},
  };
  for (const Case& c : cases) {
    RunSettings settings;
    EXPECT_EQ(ApplyValueKeywords(c.parameterString, c.multiSystem, settings), c.error)
        << c.parameterString;
    if (*c.error != '\0') continue;
    EXPECT_EQ(settings.timeoutSeconds, c.timeoutSeconds) << c.parameterString;
    EXPECT_EQ(settings.parallelScans, c.parallelScans) << c.parameterString;
  }
}

TEST(ApplyValueKeywords, KeepsWhatTheParametersDoNotSet) {
  // The sensor's own parameters in a global run: the command line's values
  // stay where its line gives none.
  RunSettings settings;
  settings.timeoutSeconds = 55;
  settings.parallelScans = 8;
  EXPECT_EQ(ApplyValueKeywords("PERCENT,PARALLEL=2", true, settings), "");
  EXPECT_EQ(settings.timeoutSeconds, 55);
  EXPECT_EQ(settings.parallelScans, 2);
}

}  // namespace
}  // namespace vendralith

#include "run/run_deadline.h"

#include <gtest/gtest.h>

#include "run/parallel_run.h"

namespace vendralith {
namespace {

TEST(ReadTimeout, FindsAndChecksTheValue) {
  struct Case {
    const char* parameterString;
    bool given;
    int seconds;  // 0: refused
  } cases[] = {
      {"", false, 0},                              // no keyword: no deadline
      {"PERCENT", false, 0},                       //
      {"TIMEOUT=5", false, 0},                     // the keyword starts with its comma
      {",TIMEOUT=5", true, 5},                     //
      {",TIMEOUT=1", true, 1},                     // lowest
      {",TIMEOUT=900", true, 900},                 // highest
      {",TIMEOUT=0060", true, 60},                 // leading zeros
      {"PERCENT,TIMEOUT=30,SYSLOG", true, 30},     // the value ends at a comma
      {",TIMEOUT=30 #", true, 30},                 // or at a blank
      {",TIMEOUT=1,TIMEOUT=X", true, 1},           // the first counts
      {",TIMEOUT=", true, 0},                      // missing
      {",TIMEOUT= 5", true, 0},                    // missing: the value ends at the blank
      {",TIMEOUT=,5", true, 0},                    // missing: the value ends at the comma
      {",TIMEOUT=0", true, 0},                     // below 1
      {",TIMEOUT=000", true, 0},                   //
      {",TIMEOUT=901", true, 0},                   // above 900
      {",TIMEOUT=4294967301", true, 0},            // would wrap to 5 in 32 bits
      {",TIMEOUT=99999999999999999999", true, 0},  //
      {",TIMEOUT=5S", true, 0},                    // not a number
      {",TIMEOUT=-5", true, 0},                    //
      {",TIMEOUT=+5", true, 0},                    //
      {",TIMEOUT=5:", true, 0},                    // ':' stands for a blank inside the value
  };
  for (const Case& c : cases) {
    const NumberKeyword timeout = ReadTimeout(c.parameterString);
    EXPECT_EQ(timeout.given, c.given) << c.parameterString;
    EXPECT_EQ(timeout.value, c.seconds) << c.parameterString;
  }
}

TEST(ReadParallel, FindsAndChecksTheValue) {
  struct Case {
    const char* parameterString;
    bool given;
    int scans;  // 0: refused
  } cases[] = {
      {"PERCENT", false, 0},             // no keyword: one system after another
      {",PARALLEL=1", true, 1},          // lowest
      {",PARALLEL=16", true, 16},        // highest
      {",PARALLEL=08,SYSLOG", true, 8},  // leading zero; the value ends at a comma
      {",PARALLEL=17", true, 0},         // above 16
      {",PARALLEL=100", true, 0},        // more digits than 16 has
      {",PARALLEL=0", true, 0},          // below 1
      {",PARALLEL=", true, 0},           // missing
      {",PARALLEL=EIGHT", true, 0},      // not a number
  };
  for (const Case& c : cases) {
    const NumberKeyword parallel = ReadParallel(c.parameterString);
    EXPECT_EQ(parallel.given, c.given) << c.parameterString;
    EXPECT_EQ(parallel.value, c.scans) << c.parameterString;
  }
}

TEST(NoAnswerMessage, NamesTheDestinationAndTheBudget) {
  EXPECT_EQ(NoAnswerMessage("PRD", 55), "Error 1016: No answer from PRD within 55 s...");
}

}  // namespace
}  // namespace vendralith

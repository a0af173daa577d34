#include "run/trend_keyword.h"

#include <gtest/gtest.h>

#include "run/run_keywords.h"

namespace vendralith {
namespace {

TEST(ReadTrendKeyword, PlainOrWithHoursAboveEachOther) {
  const struct {
    const char* parameterString;
    bool given;
    bool valid;
    int warning;
    int error;
  } cases[] = {
      {"PERCENT", false, false, 24, 4},              // not given
      {",TREND", true, true, 24, 4},                 // plain: 24/4
      {",TREND,PERCENT", true, true, 24, 4},         // ended by a comma
      {"X,TREND PERCENT", true, true, 24, 4},        // or a blank
      {",TREND:PERCENT", true, true, 24, 4},         // or a colon, which stands for one
      {",TREND=48/12", true, true, 48, 12},          //
      {",TREND=8760/8759", true, true, 8760, 8759},  // the bounds
      {",TREND=2/1", true, true, 2, 1},              //
      {",TREND=048/012", true, true, 48, 12},        // leading zeros do not count
      {",TREND=0/0", true, false, 24, 4},            // out of range
      {",TREND=4/24", true, false, 24, 4},           // W below E
      {",TREND=24/24", true, false, 24, 4},          // W equal to E
      {",TREND=24", true, false, 24, 4},             // no E
      {",TREND=24/", true, false, 24, 4},            //
      {",TREND=/4", true, false, 24, 4},             // no W
      {",TREND=", true, false, 24, 4},               // nothing
      {",TREND=A/B", true, false, 24, 4},            // letters
      {",TREND=24/4X", true, false, 24, 4},          //
      {",TREND=8761/4", true, false, 24, 4},         // beyond a year
      {",TREND=24/-4", true, false, 24, 4},          // a sign
      {",TREND=24/4/1", true, false, 24, 4},         // a third number
      {",TRENDS", true, false, 24, 4},               // another word
  };
  for (const auto& c : cases) {
    const TrendKeyword trend = ReadTrendKeyword(c.parameterString);
    EXPECT_EQ(trend.given, c.given) << c.parameterString;
    EXPECT_EQ(trend.valid, c.valid) << c.parameterString;
    EXPECT_EQ(trend.hours, (HourLimits{c.warning, c.error})) << c.parameterString;
  }
}

TEST(ApplyValueKeywords, ChecksTrendAfterTheCredentials) {
  constexpr const char* kCredentials =
      "Error 1023: Parameter CRED= must be WINDOWS, LINUX or SNC !";
  const struct {
    const char* parameterString;
    const char* error;
    bool trend;
    int warning;
  } cases[] = {
      {"PERCENT", "", false, 24},                          // none: no channel, limits 24/4
      {",TREND=48/12", "", true, 48},                      //
      {",TREND=4/24", kTrendError, false, 24},             //
      {",TREND=4/24,CRED=NONE", kCredentials, false, 24},  // the credentials first
      {",TREND=4/24,WARN=0", "Error 1020: Parameter WARN= must be 1 to 100 !", false, 24},
  };
  for (const auto& c : cases) {
    RunSettings settings;
    EXPECT_EQ(ApplyValueKeywords(c.parameterString, false, settings), c.error) << c.parameterString;
    if (*c.error != '\0') continue;
    EXPECT_EQ(settings.trend, c.trend) << c.parameterString;
    EXPECT_EQ(settings.trendHours.minWarning, c.warning) << c.parameterString;
  }
}

}  // namespace
}  // namespace vendralith

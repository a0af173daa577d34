#include "trend/trend_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vendralith {
namespace {

TEST(TrendFileName, OneFilePerDatabase) {
  const struct {
    const char* systemId;
    const char* databaseHost;
    const char* name;
  } cases[] = {
      {"PRD     ", "dbprd01                         ", "PRD_dbprd01.txt"},  // blanks trimmed
      {"PRD", "", "PRD.txt"},                                               // no host
      {"PRD", "        ", "PRD.txt"},                                       // blanks only
      {" QAS", "db.example-1.com", "QAS_db.example-1.com.txt"},             // dots and dashes stay
      {"P/D", "..\\x:y z*", "P_D_.._x_y_z_.txt"},                           // no path, no drive
  };
  for (const auto& c : cases) EXPECT_EQ(TrendFileName(c.systemId, c.databaseHost), c.name);
}

TEST(ParseTrendFile, ReadsItsOwnText) {
  const std::vector<TrendSample> samples = {{1000, {64000, 33000, 12}}, {1300, {64000, 33100, 13}}};
  const std::string text = TrendFileText(samples);
  EXPECT_EQ(text, "Vendralith trend 1\n1000 64000 33000 12\n1300 64000 33100 13\n");
  EXPECT_EQ(ParseTrendFile(text), samples);
  EXPECT_EQ(ParseTrendFile("Vendralith trend 1\r\n1000 64000 33000 12\r\n"),
            (std::vector<TrendSample>{samples[0]}));  // an editor's line ends
  EXPECT_EQ(ParseTrendFile("Vendralith trend 1\n"), std::vector<TrendSample>());
}

TEST(ParseTrendFile, AnythingElseIsNone) {
  const struct {
    const char* text;
    const char* why;
  } cases[] = {
      {"", "empty"},
      {"Vendralith trend 2\n1000 1 1 1\n", "another version"},
      {"vendralith trend 1\n", "another case"},
      {"Vendralith trend 1", "no line end"},
      {"Vendralith trend 1\n1000 1 1 1", "the last line cut off"},
      {"Vendralith trend 1\n1000 1 1\n", "three numbers"},
      {"Vendralith trend 1\n1000 1 1 1 1\n", "five numbers"},
      {"Vendralith trend 1\n1000  1 1 1\n", "two blanks"},
      {"Vendralith trend 1\n1000 1 1 1 \n", "a trailing blank"},
      {"Vendralith trend 1\n1000\t1 1 1\n", "a tab"},
      {"Vendralith trend 1\n-1000 1 1 1\n", "a sign"},
      {"Vendralith trend 1\n01000 1 1 1\n", "a leading zero"},
      {"Vendralith trend 1\n1000 1 1 x\n", "letters"},
      {"Vendralith trend 1\n99999999999999999999 1 1 1\n", "too large"},
      {"Vendralith trend 1\n\n", "an empty line"},
      {"Vendralith trend 1\n2000 1 1 1\n1000 1 1 1\n", "newest first"},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseTrendFile(c.text).has_value()) << c.why;
}

TEST(SamplesToKeep, DropsOldFutureAndSurplusThenAppends) {
  constexpr std::int64_t kNow = 100'000;
  const TrendSample now{kNow, {64000, 40000, 20}};
  const auto at = [](std::int64_t time) { return TrendSample{time, {64000, 30000, 10}}; };
  struct Case {
    std::vector<TrendSample> stored;
    std::vector<TrendSample> kept;
    const char* why;
  } cases[] = {
      {{}, {now}, "nothing stored"},
      {{at(kNow - 21601), at(kNow - 21600), at(kNow - 60)},
       {at(kNow - 21600), at(kNow - 60), now},
       "older than six hours goes"},
      {{at(kNow - 60), at(kNow), at(kNow + 60)}, {at(kNow - 60), now}, "a clock set back"},
  };
  for (const Case& c : cases) EXPECT_EQ(SamplesToKeep(c.stored, now), c.kept) << c.why;

  std::vector<TrendSample> many;
  for (std::int64_t i = 2100; i > 0; --i) many.push_back(at(kNow - i));
  const std::vector<TrendSample> kept = SamplesToKeep(many, now);
  ASSERT_EQ(kept.size(), kMostTrendSamples);
  EXPECT_EQ(kept.front(), at(kNow - 1999));  // the newest 1,999 stay
  EXPECT_EQ(kept.back(), now);
}

}  // namespace
}  // namespace vendralith

#include "trend/log_fill_estimate.h"

#include <gtest/gtest.h>

#include <vector>

namespace vendralith {
namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kLog = 100'000;  // log pages of every sample unless a case says otherwise

// An earlier sample, minutes before this scan.
struct Point {
  std::int64_t minutesAgo;
  std::int64_t used;
  std::int64_t log = kLog;
  std::int64_t savePoints = 10;
};

std::vector<TrendSample> Samples(const std::vector<Point>& points) {
  std::vector<TrendSample> samples;
  for (const Point& p : points) {
    samples.push_back({kNow - p.minutesAgo * 60, {p.log, p.used, p.savePoints}});
  }
  return samples;
}

TEST(TenthsUntilFull, EstimatesFromTheCurrentClimbOnly) {
  struct Case {
    std::vector<Point> earlier;  // oldest first
    std::int64_t used;           // this scan's, of kLog pages, 10 savepoints
    int warningHours;
    std::int64_t tenths;
    const char* why;
  } cases[] = {
      {{{120, 58000}, {60, 59000}}, 60000, 24, 400, "1000 pages an hour, 40000 left"},
      {{{120, 58000}, {60, 59000}}, 100000, 24, 0, "full"},
      {{{120, 58000}, {60, 59000}}, 100001, 24, 0, "more than full"},
      {{{120, 48000}, {60, 49000}}, 49999, 24, 1680, "under half: the cap"},
      {{{120, 48000}, {60, 49000}}, 50000, 24, 500, "exactly half: estimated"},
      {{{60, 59000}}, 60000, 24, 1680, "two samples are too few"},
      {{{29, 59000}, {15, 59500}}, 60000, 24, 1680, "29 minutes are too short"},
      {{{30, 59000}, {15, 59500}}, 60000, 24, 200, "30 minutes will do: 2000 an hour"},
      {{{120, 60000}, {60, 60000}}, 60000, 24, 1680, "flat: the cap"},
      {{{180, 80000}, {150, 90000}, {120, 58000}, {60, 59000}},
       60000,
       24,
       400,
       "a log backup: only the climb after it"},
      {{{180, 50000}, {120, 58000}, {60, 59000, 90000}},
       60000,
       24,
       1680,
       "resized: the samples before it do not count"},
      {{{120, 58000}, {60, 59000, kLog, 99}},
       60000,
       24,
       1680,
       "restarted: more savepoints before than now"},
      {{{120, 58000, kLog, 5}, {60, 59000, kLog, 8}}, 60000, 24, 400, "savepoints counting up"},
      {{{300, 59700}, {150, 59850}}, 60000, 24, 1680, "60 pages an hour: 666 hours, the cap"},
      {{{300, 59700}, {150, 59850}}, 60000, 100, 2000, "the cap is twice W where that is more"},
      {{{120, 58000}, {60, 59000}}, 60000, 8760, 400, "a high W raises only the cap"},
      {{{120, 59000}, {60, 59500}, {30, 59600}},
       60000,
       24,
       843,
       "uneven: the least-squares slope, 474.3 an hour, 84.3 hours"},
      {{{120, 58000}, {60, 59000}, {-10, 59999}}, 60000, 24, 400, "a sample of the future"},
      {{{60, 58000}, {0, 59000}}, 60000, 24, 1680, "a sample of this very second is not earlier"},
      {{{400, 10000}, {361, 30000}, {60, 59000}},
       60000,
       24,
       1680,
       "older than six hours: too few left"},
      {{{120, 58004}, {60, 59002}}, 60000, 24, 400, "40.08 hours: cut down"},
      {{{150, 58000}, {75, 59000}}, 60000, 24, 500, "50.0 hours exactly: not a tenth less"},
  };
  for (const Case& c : cases) {
    const TrendSample now{kNow, {kLog, c.used, 10}};
    EXPECT_EQ(TenthsUntilFull(Samples(c.earlier), now, c.warningHours), c.tenths) << c.why;
  }
}

TEST(HoursText, AlwaysOneDecimal) {
  const struct {
    std::int64_t tenths;
    const char* text;
  } cases[] = {{0, "0.0"}, {125, "12.5"}, {1680, "168.0"}, {7, "0.7"}, {175200, "17520.0"}};
  for (const auto& c : cases) EXPECT_EQ(HoursText(c.tenths), c.text);
}

}  // namespace
}  // namespace vendralith

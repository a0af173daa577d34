#include "trend/log_fill_estimate.h"

#include <algorithm>
#include <cmath>

namespace vendralith {

namespace {

constexpr std::int64_t kCapHours = 168;
constexpr std::size_t kFewestSamples = 3;
constexpr std::int64_t kShortestSpanSeconds = std::int64_t{30} * 60;
constexpr long double kSecondsPerHour = 3600;

// Whether the older sample belongs to the same climb as the newer one: a
// drop in use is a log backup, another size a resized area, fewer
// savepoints a restart.
bool SameClimb(const LogFill& older, const LogFill& newer) {
  return older.usedPages <= newer.usedPages && older.logPages == newer.logPages &&
         older.savePoints <= newer.savePoints;
}

// The samples of the current climb, newest first, this scan's included.
std::vector<TrendSample> CurrentRun(const std::vector<TrendSample>& earlier,
                                    const TrendSample& now) {
  std::vector<TrendSample> run;
  run.reserve(earlier.size() + 1);
  run.push_back(now);
  for (auto sample = earlier.rbegin(); sample != earlier.rend(); ++sample) {
    if (sample->time >= now.time) continue;  // from a clock set back
    if (sample->time < now.time - kTrendWindowSeconds) break;
    if (!SameClimb(sample->fill, run.back().fill)) break;
    run.push_back(*sample);
  }
  return run;
}

// The least-squares slope of the used pages over time, in pages per hour.
// Times count from this scan's, so that the sums stay small.
long double PagesPerHour(const std::vector<TrendSample>& run) {
  const auto count = static_cast<long double>(run.size());
  const std::int64_t origin = run.front().time;
  long double sumT = 0, sumU = 0, sumTT = 0, sumTU = 0;
  for (const TrendSample& sample : run) {
    const auto t = static_cast<long double>(sample.time - origin);
    const auto u = static_cast<long double>(sample.fill.usedPages);
    sumT += t;
    sumU += u;
    sumTT += t * t;
    sumTU += t * u;
  }
  const long double spread = count * sumTT - sumT * sumT;
  if (spread <= 0) return 0;
  return (count * sumTU - sumT * sumU) / spread * kSecondsPerHour;
}

}  // namespace

std::int64_t CapTenths(int warningHours) {
  return std::max<std::int64_t>(kCapHours, std::int64_t{2} * warningHours) * 10;
}

std::int64_t TenthsUntilFull(const std::vector<TrendSample>& earlier, const TrendSample& now,
                             int warningHours) {
  const LogFill& fill = now.fill;
  if (fill.usedPages >= fill.logPages) return 0;
  const std::int64_t cap = CapTenths(warningHours);
  // Below half, the sawtooth of automatic log backups (a segment is at
  // most half the area) would look like a climb towards full.
  if (2 * fill.usedPages < fill.logPages) return cap;
  const std::vector<TrendSample> run = CurrentRun(earlier, now);
  if (run.size() < kFewestSamples || now.time - run.back().time < kShortestSpanSeconds) return cap;
  const long double rate = PagesPerHour(run);
  if (rate <= 0) return cap;
  const long double tenths = static_cast<long double>(fill.logPages - fill.usedPages) * 10 / rate;
  if (tenths >= static_cast<long double>(cap)) return cap;
  // Cut down, but a quotient that is whole on paper must not lose a tenth
  // to the rounding of the sums.
  return static_cast<std::int64_t>(std::floor(tenths + 1e-6L));
}

std::string HoursText(std::int64_t tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace vendralith

// How many hours are left until the log area is full: from this scan's
// figures and the samples that earlier scans of the same database kept.
#ifndef VENDRALITH_TREND_LOG_FILL_ESTIMATE_H
#define VENDRALITH_TREND_LOG_FILL_ESTIMATE_H

#include <cstdint>
#include <string>
#include <vector>

namespace vendralith {

// The figures of the log area that one scan reads.
struct LogFill {
  std::int64_t logPages = 0;    // the size of the log area
  std::int64_t usedPages = 0;   // pages in use
  std::int64_t savePoints = 0;  // counts up while the database runs
  bool operator==(const LogFill&) const = default;
};

// One scan's figures and when it read them, in whole UTC seconds.
struct TrendSample {
  std::int64_t time = 0;
  LogFill fill;
  bool operator==(const TrendSample&) const = default;
};

// Samples further back than this neither count nor stay.
inline constexpr std::int64_t kTrendWindowSeconds = std::int64_t{6} * 3600;

// The hours left, in tenths of an hour, cut down: 0 when the area is full;
// the cap (168 hours, or twice warningHours where that is more) when nothing
// can be told, nothing grows or less than half the area is in use.
// earlier: the stored samples, oldest first; now: this scan's sample.
std::int64_t TenthsUntilFull(const std::vector<TrendSample>& earlier, const TrendSample& now,
                             int warningHours);

// The cap, in tenths of an hour.
std::int64_t CapTenths(int warningHours);

// Tenths of an hour as the channel shows them, with one decimal: "12.5".
std::string HoursText(std::int64_t tenths);

}  // namespace vendralith

#endif

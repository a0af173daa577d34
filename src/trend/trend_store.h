// The samples of each database on disk: one file per database in the trend
// folder, read and written anew by each scan under the folder's lock, so
// that scans of one database at once lose no sample and no reader sees half
// a file.
#ifndef VENDRALITH_TREND_TREND_STORE_H
#define VENDRALITH_TREND_TREND_STORE_H

#include <chrono>
#include <string>
#include <vector>

#include "trend/log_fill_estimate.h"

namespace vendralith {

// The lock file in the trend folder.
inline constexpr const char* kTrendLockFile = "Vendralith.Lck";

// How long a scan waits for another's turn at the files.
inline constexpr std::chrono::milliseconds kTrendLockWait{2000};

struct StoredTrend {
  // What the file held, oldest first; none when it was missing or damaged.
  std::vector<TrendSample> earlier;
  // Why the sample could not be kept; empty when it was.
  std::string note;
};

// Reads the samples of fileName in folder (a Windows path) and writes the
// file anew with the sample added, as SamplesToKeep says. Whatever fails,
// what was read comes back and the note says why nothing was written.
StoredTrend StoreSample(const std::string& folder, const std::string& fileName,
                        const TrendSample& sample,
                        std::chrono::milliseconds lockWait = kTrendLockWait);

}  // namespace vendralith

#endif

// The file in which a database's samples wait for the next scan: its name
// and its text. The first line is "Vendralith trend 1", then one sample per
// line, oldest first: "<UTC seconds> <log pages> <used pages> <savepoints>".
#ifndef VENDRALITH_TREND_TREND_FILE_H
#define VENDRALITH_TREND_TREND_FILE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trend/log_fill_estimate.h"

namespace vendralith {

// The folder of these files, beside the program's other files.
inline constexpr const char* kTrendFolder = "Vendralith.Trend";

// A larger file is none of ours: it is not read.
inline constexpr std::size_t kLargestTrendFile = std::size_t{1024} * 1024;

// How many samples a file holds at most, this scan's included.
inline constexpr std::size_t kMostTrendSamples = 2000;

// "<system id>_<database host>.txt" of the system information's fields, each
// trimmed of blanks; "<system id>.txt" without a host. Any character but
// letters, digits, "." and "-" becomes "_".
std::string TrendFileName(std::string_view systemId, std::string_view databaseHost);

// The samples of a file's text; nothing when the text is not exactly of the
// file's form (line ends may be "\r\n", as an editor leaves them).
std::optional<std::vector<TrendSample>> ParseTrendFile(std::string_view text);

// The text of a file holding the samples.
std::string TrendFileText(const std::vector<TrendSample>& samples);

// What the file keeps after this scan: the stored samples of the last six
// hours that are older than it, at most the newest 1,999, then its own.
std::vector<TrendSample> SamplesToKeep(const std::vector<TrendSample>& stored,
                                       const TrendSample& now);

}  // namespace vendralith

#endif

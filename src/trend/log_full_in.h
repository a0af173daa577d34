// The value of the channel LogFullIn for one scan: this scan's figures are
// kept with the database's earlier samples, and the hours until the log area
// is full are estimated from them.
#ifndef VENDRALITH_TREND_LOG_FULL_IN_H
#define VENDRALITH_TREND_LOG_FULL_IN_H

#include <string>

#include "trend/log_fill_estimate.h"

namespace vendralith {

struct LogFullInRequest {
  std::string folder;        // the trend folder (TrendFolderPath)
  std::string systemId;      // RFCSYSID, as the system gave it
  std::string databaseHost;  // RFCDBHOST, as the system gave it
  LogFill fill;              // this scan's figures
  int warningHours = 24;     // the channel's warning limit, which the cap never sits below
};

struct LogFullIn {
  std::string value;     // hours with one decimal, such as "12.5"
  std::string fileName;  // the database's file in the folder
  std::string note;      // why this scan's sample was not kept; empty when it was
};

// Keeps this scan's sample, at the time of the clock, and estimates.
LogFullIn AskLogFullIn(const LogFullInRequest& request);

// The trend folder in the current folder, as an absolute path where the
// system tells it, so that scan processes in folders of their own reach the
// same one.
std::string TrendFolderPath();

}  // namespace vendralith

#endif

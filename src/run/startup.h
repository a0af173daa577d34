// Start-up: the banner, the command line and the run flags.
#ifndef VENDRALITH_RUN_STARTUP_H
#define VENDRALITH_RUN_STARTUP_H

#include <string>
#include <vector>

#include "run/run_settings.h"

namespace vendralith {

struct StartupResult {
  RunSettings settings;
  std::string error;  // the message of the error document; empty when the run goes on
};

// arguments[0] is the program name. clockTime is the time of day at start-up.
StartupResult ReadCommandLine(const std::vector<std::string>& arguments,
                              const std::string& clockTime);

}  // namespace vendralith

#endif

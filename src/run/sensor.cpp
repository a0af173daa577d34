#include "run/sensor.h"

#include "run/error_ending.h"
#include "run/listing_reader.h"
#include "run/multi_system_run.h"
#include "run/run_context.h"
#include "run/scan_process.h"
#include "run/single_system_run.h"
#include "run/startup.h"
#include "system/clock.h"

namespace vendralith {

void RunSensor(const std::vector<std::string>& arguments) {
  // A multi-system run's scan process scans its system and ends here.
  ScanWhenStartedByRun();
  const auto started = std::chrono::steady_clock::now();
  StartupResult startup = ReadCommandLine(arguments, ClockTime());
  RunContext run{startup.settings,
                 {},
                 BuildProfileKey(),
                 ResultDocument(startup.settings.outputMode, startup.settings.parameterString),
                 CallLog(startup.settings.parameterString),
                 started};
  // The log of this run: the error report and the deadline reach it from here.
  run.callLog.MakeCurrent();
  run.callLog.Start();
  run.callLog.Write(0, "program started", run.settings.programName);
  if (!startup.error.empty()) EndWithErrorDocument(run.document, startup.error);

  run.location = LocateProfile(run.settings, ReadTextFile);
  if (!run.location.error.empty()) EndWithErrorDocument(run.document, run.location.error);
  if (!run.location.listingMode) RunSingleSystem(run);

  const std::string argument2 = arguments.size() > 2 ? arguments[2] : std::string();
  const Listing listing = ReadListing(run.settings, run.location, argument2, ReadTextFile);
  if (!listing.error.empty()) EndWithErrorDocument(run.document, listing.error);
  RunMultiSystem(run, listing);
}

}  // namespace vendralith

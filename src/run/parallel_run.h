// ",PARALLEL=n": a multi-system run that scans up to n systems at once, each
// in a scan process of its own, and prints the same document as one that
// scans them one after another. The scan process is this program started
// again in a working folder of its own, below "Vendralith.Scans" in the
// run's folder; it scans the one system the run hands it over a pipe and
// reports back over another. The run prints what the scans report in
// listing order, appends each scan's trace to its own Dev_Rfc.Trc and
// leaves SapRfc.ini as the systems' logons in listing order leave it.
#ifndef VENDRALITH_RUN_PARALLEL_RUN_H
#define VENDRALITH_RUN_PARALLEL_RUN_H

#include <chrono>
#include <string_view>

#include "run/listed_systems.h"
#include "run/listing_output.h"
#include "run/number_keyword.h"
#include "run/run_context.h"

namespace vendralith {

inline constexpr const char* kParallelError = "Error 1019: Parameter PARALLEL= must be 1 to 16 !";

// ",PARALLEL=" in the upper-cased parameters: the systems scanned at once, 1 to 16.
NumberKeyword ReadParallel(std::string_view parameterString);

// The run answers at its deadline by itself, then stops its scans and tidies
// up; the watchdog answers only for a run that is stuck this long after it.
inline constexpr std::chrono::milliseconds kParallelDeadlineGrace{1000};

// Scans first and every system after it, each in a scan process of its own,
// up to run.settings.parallelScans at once, prints them through output and
// ends the process. Returns only when not even the first scan process could
// be started (a run folder that cannot be written, a system out of
// processes), before anything of first is printed: the run then scans first
// and the rest in its own process.
ListedSystem ScanInParallel(RunContext& run, ListingOutput& output, ListedSystems& systems,
                            ListedSystem first);

}  // namespace vendralith

#endif

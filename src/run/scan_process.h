// The scan process of a multi-system run with ",PARALLEL=": this program,
// started again by the run in a working folder of its own, scans the one
// system the run hands it on standard input and reports on standard output
// (see scan_messages.h). How it learns that it is one is no command line:
// the run marks it in its environment.
#ifndef VENDRALITH_RUN_SCAN_PROCESS_H
#define VENDRALITH_RUN_SCAN_PROCESS_H

namespace vendralith {

// When this process is a scan process: scans its system and ends. Returns
// when it is not one, or was handed no system.
void ScanWhenStartedByRun();

}  // namespace vendralith

#endif

// The output of a multi-system run: the document's opening, each system's
// part in listing order, the summary, and, with a deadline, what the deadline
// prints in their place. Whether the systems are scanned one after another
// or several at once, this is the one place that decides the order: a
// system's part is printed as its scan reports it while every system before
// it is complete, else kept until they are.
#ifndef VENDRALITH_RUN_LISTING_OUTPUT_H
#define VENDRALITH_RUN_LISTING_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "output/result_document.h"
#include "output/standard_output.h"
#include "run/listing_reader.h"
#include "run/run_settings.h"
#include "run/system_scan.h"

namespace vendralith {

// The channels that PRTG shows at most for one sensor.
inline constexpr unsigned kMostHostChannels = 50;

// One piece of what a system's scan reports, in the order it reports it.
struct ScanReport {
  enum class Kind {
    Output,  // text its scan printed itself: a console line of the logon, the RFC error report
    Ending,  // what the deadline is to print while its RFC error report is under way
    Found,   // what it found
    Done,    // the statistics' tables are released: the system counts
    Ended,   // its scan process ended
  };
  Kind kind = Kind::Output;
  std::string text;       // Output
  DeadlineEnding ending;  // Ending
  SystemFound found;      // Found
  int exitCode = 0;       // Ended: the process's exit code; -1 when it did not exit by itself
};

// How a system's scan ends the run.
struct RunEnding {
  std::size_t system = 0;
  std::string message;  // the error document's; empty when the RFC error report ended it
  std::int32_t connection = 0;
  ExitCode code = ExitCode::ErrorDocument;
};

class ListingOutput {
 public:
  // With a deadline (settings.timeoutSeconds) every print also sets what the
  // deadline prints after it.
  ListingOutput(ResultDocument& document, const RunSettings& settings, const Listing& listing);

  // The console lines that start the run, and the document's opening.
  void Open();

  // A listed system without a profile to read: it counts only among the systems.
  void AddSkipped();

  // A listed system whose scan starts now, with the line that names it in
  // console mode and whether its profile is complete. Returns its number.
  std::size_t AddScanned(std::string consoleLine, bool profileValid);

  // A line of the run's own (the library it bound), printed at once: only
  // while no system but the last added has a part to print.
  void PrintLine(const std::string& text);

  // Prints what the system's scan reports, or keeps it while a system before
  // it is not complete. When a printed part ends the run: how. Reports of a
  // system that is complete already are ignored.
  std::optional<RunEnding> Report(std::size_t system, ScanReport report);

  // Called with each system whose part is printed whole, in listing order.
  void WhenComplete(std::function<void(std::size_t system)> complete) {
    complete_ = std::move(complete);
  }

  // Whether every system added so far is printed whole.
  bool AllComplete() const { return pending_.empty(); }

  // The summary, as the run's last output, and in console mode a note when
  // the document has more channels than PRTG shows, and the line that closes
  // the run.
  void PrintSummary();

  // What the deadline prints now after what is printed, and its exit code:
  // the systems reported complete since, each unfinished one as failed (in
  // console mode with "State=Timeout"), and the summary; or the rest of an
  // RFC error report under way.
  DeadlineEnding AtDeadline() const;

 private:
  struct Counters {
    unsigned systems = 0;
    unsigned processed = 0;
    unsigned failed = 0;
    unsigned skipped = 0;  // no profile to read: counted only among the systems
  };

  // A system whose part is not printed whole.
  struct Pending {
    std::size_t number = 0;
    std::string consoleLine;
    bool profileValid = true;
    std::vector<ScanReport> kept;  // not printed: a system before it is not complete
    SystemFound found;             // what it found, once printed
    // Its RFC error report is under way: what the deadline prints.
    std::optional<DeadlineEnding> reportEnding;
  };

  std::optional<RunEnding> Apply(ScanReport& report);
  void Complete();
  std::string StateLine(const Pending& system, const char* state) const;
  static const char* Counted(const Pending& system, const SystemFound& found, Counters& count);
  void Print(const std::string& text);

  ResultDocument& document_;
  bool consoleMode_;
  bool deadline_;
  std::string consoleStart_;  // the banner and the parameters line
  std::string itemName_;
  unsigned listed_;  // the systems of the listing, for the deadline's summary
  Counters count_;
  unsigned channels_ = 0;  // the channels printed
  std::size_t added_ = 0;
  std::deque<Pending> pending_;  // the first is the one being printed
  std::function<void(std::size_t)> complete_;
};

}  // namespace vendralith

#endif

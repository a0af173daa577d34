// What passes between a multi-system run and the scan process it starts for
// one system: the assignment, once, on the scan process's standard input,
// and the scan's reports, as they come, on its standard output. Each message
// is a frame: a tag letter, the payload's length in decimal, ":" and the
// payload. A payload of several fields holds each as length, ":" and bytes.
#ifndef VENDRALITH_RUN_SCAN_MESSAGES_H
#define VENDRALITH_RUN_SCAN_MESSAGES_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/result_document.h"
#include "profile/profile_reader.h"
#include "run/listing_output.h"
#include "run/system_scan.h"

namespace vendralith {

// One system to scan, as the run hands it to its scan process.
struct ScanAssignment {
  std::string callLogPath;  // the run's call log, as a path the scan process can open
  OutputMode outputMode = OutputMode::ExeXml;
  SystemScanRequest request;
  SystemEntry entry;
};

std::string EncodeAssignment(const ScanAssignment& assignment);
// Nothing when the text is not one whole assignment.
std::optional<ScanAssignment> DecodeAssignment(std::string_view text);

// A report of the scan as a frame: Output, Ending, Found and Done. Ended is
// the scan process's own end, which the run sees for itself: no frame.
std::string ReportFrame(const ScanReport& report);

// Takes the scan process's output as it arrives, in pieces of any size, and
// gives back the reports of its whole frames.
class ReportReader {
 public:
  void Add(std::string_view bytes);
  // The next report; nothing until one has arrived whole.
  std::optional<ScanReport> Next();
  // What arrived is not a frame of a report: nothing after it is read.
  bool Broken() const { return broken_; }

 private:
  std::string pending_;
  std::size_t at_ = 0;  // where the next frame starts in pending_
  bool broken_ = false;
};

// The fields of a payload, each as length, ":" and bytes.
std::string JoinFields(const std::vector<std::string>& fields);
// Nothing when the text is not exactly such fields.
std::optional<std::vector<std::string>> SplitFields(std::string_view text);

}  // namespace vendralith

#endif

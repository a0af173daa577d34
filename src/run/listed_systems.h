// The systems of a listing as a multi-system run takes them: one at a time,
// each with its profile read, in listing order.
#ifndef VENDRALITH_RUN_LISTED_SYSTEMS_H
#define VENDRALITH_RUN_LISTED_SYSTEMS_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "profile/profile_reader.h"
#include "rfc/rfc_session.h"
#include "run/listing_output.h"
#include "run/listing_reader.h"
#include "run/run_context.h"
#include "run/system_scan.h"

namespace vendralith {

// The name of a system's channel for the listing's naming rule.
std::string SystemDisplayName(char displayNameKind, const std::string& profileName,
                              const SystemEntry& entry);

// A listed system whose profile was read, added to the run's output.
struct ListedSystem {
  std::size_t number = 0;  // in the run's output
  std::string profileName;
  ProfileReadResult profile;
  SystemScanRequest request;
};

class ListedSystems {
 public:
  ListedSystems(RunContext& run, const Listing& listing, ListingOutput& output);

  // The next system whose profile can be read, added to the output; each
  // system before it without one is added as skipped. Nothing once the list
  // is done.
  std::optional<ListedSystem> Next();

  // Before a system's first RFC step: binds the library (a library that
  // cannot be bound ends the run, completing the document), names it once,
  // and takes the scan lock for the rest of the run.
  RfcSession& ReachLibrary();

 private:
  RunContext& run_;
  const Listing& listing_;
  ListingOutput& output_;
  // The names not yet taken. A view that moves forward, so each system costs
  // the same however long the list is.
  std::string_view serverList_;
  bool libraryNamed_ = false;  // on the console and in the call log, once
  std::string trendFolder_;    // for the item LogFullIn
};

}  // namespace vendralith

#endif

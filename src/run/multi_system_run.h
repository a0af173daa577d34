// The multi-system run: one channel per listed system and a summary. Its
// systems are scanned one after another in this process, or with
// ",PARALLEL=n" up to n at once, each in a scan process of its own.
#ifndef VENDRALITH_RUN_MULTI_SYSTEM_RUN_H
#define VENDRALITH_RUN_MULTI_SYSTEM_RUN_H

#include "run/listing_reader.h"
#include "run/run_context.h"

namespace vendralith {

[[noreturn]] void RunMultiSystem(RunContext& run, const Listing& listing);

}  // namespace vendralith

#endif

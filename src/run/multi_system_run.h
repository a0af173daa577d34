// The multi-system run: one channel per listed system and a summary.
#ifndef VENDRALITH_RUN_MULTI_SYSTEM_RUN_H
#define VENDRALITH_RUN_MULTI_SYSTEM_RUN_H

#include <string>

#include "profile/profile_reader.h"
#include "run/listing_reader.h"
#include "run/run_context.h"

namespace vendralith {

// The name of a system's channel for the listing's naming rule.
std::string SystemDisplayName(char displayNameKind, const std::string& profileName,
                              const SystemEntry& entry);

[[noreturn]] void RunMultiSystem(RunContext& run, const Listing& listing);

}  // namespace vendralith

#endif

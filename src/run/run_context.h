// What the run drivers share: the settings, the located file, the program
// key, the result document, the call log and the start of the run.
#ifndef VENDRALITH_RUN_RUN_CONTEXT_H
#define VENDRALITH_RUN_RUN_CONTEXT_H

#include <chrono>

#include "output/result_document.h"
#include "profile/password.h"
#include "rfc/call_log.h"
#include "run/profile_location.h"
#include "run/run_settings.h"

namespace vendralith {

struct RunContext {
  RunSettings settings;
  ProfileLocation location;
  ProfileKey key;
  ResultDocument document;
  CallLog callLog;
  std::chrono::steady_clock::time_point started;  // what the deadline counts from
};

}  // namespace vendralith

#endif

// What the NetWeaver face reads of the engine besides the classic functions:
// the last failure as a whole.
#ifndef VENDRALITH_SIMRFC_SIMRFC_ENGINE_H
#define VENDRALITH_SIMRFC_SIMRFC_ENGINE_H

#include <string>

#include "landscape.h"

namespace simrfc {

// Groups of a failure, as RfcOpenEx reports them.
enum FailureGroup { kNoFailure = 0, kProgram = 1, kCommunication = 2, kLogon = 3, kSystem = 4 };

struct LastFailure {
  ErrorTexts texts;
  int group = kNoFailure;
  // The lines the failure wrote to the trace after its first line (which
  // carries the time), without the closing empty line; empty when the
  // system writes no trace.
  std::string traceLines;
};

}  // namespace simrfc

// The last failure of any system.
simrfc::LastFailure SimRfcLastFailure();

#endif

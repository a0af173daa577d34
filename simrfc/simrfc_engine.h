// What the NetWeaver face uses of the engine besides the classic functions:
// the last failure as a whole, a logon by named parameters, the system of a
// connection, and failures that write no trace.
#ifndef VENDRALITH_SIMRFC_SIMRFC_ENGINE_H
#define VENDRALITH_SIMRFC_SIMRFC_ENGINE_H

#include <map>
#include <string>

#include "landscape.h"
#include "rfc/rfc_library.h"

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

// While one lives, failures write no trace file, as the vendor's NetWeaver
// library writes none: the NetWeaver face holds one in each call that
// reaches the engine. The failure's trace lines are made all the same.
class UntracedCalls {
 public:
  UntracedCalls();
  ~UntracedCalls();
  UntracedCalls(const UntracedCalls&) = delete;
  UntracedCalls& operator=(const UntracedCalls&) = delete;
};

}  // namespace simrfc

// The last failure of any system.
simrfc::LastFailure SimRfcLastFailure();

// A logon by parameters named in lower case, as the NetWeaver library takes
// them: ashost/sysnr, or mshost/sysid/group/msserv; client, user, passwd;
// saprouter, snc_mode and snc_partnername. The abort faults of RfcOpen and
// RfcOpenEx both apply. 0 when it fails.
RFC_HANDLE SimRfcOpenConnection(const std::map<std::string, std::string>& parameters);

// The system of an open connection; null for any other handle.
const simrfc::System* SimRfcConnectionSystem(RFC_HANDLE handle);

// Forgets what the NetWeaver face keeps (installed structures, function
// descriptions): SimRfcReset calls it, as their engine handles end there.
void SimRfcForgetNetWeaverFace();

#endif

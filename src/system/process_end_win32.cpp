#include <windows.h>

#include <cstdlib>

#include "system/process_end.h"

namespace vendralith {

void TerminateNow(ExitCode code) {
  // Unlike ExitProcess, no DLL is told to detach: the RFC library's cleanup
  // could hang just as its call did.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  std::_Exit(static_cast<int>(code));  // only if the termination did not take hold
}

}  // namespace vendralith

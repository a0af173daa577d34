#include "system/process_end.h"

#include <cstdio>
#include <cstdlib>

namespace vendralith {

void EndProcess(ExitCode code) {
  (void)std::fflush(stdout);  // nowhere to report a failure
  std::exit(static_cast<int>(code));
}

}  // namespace vendralith

#include <unistd.h>

#include "system/process_end.h"

namespace vendralith {

void TerminateNow(ExitCode code) { _exit(static_cast<int>(code)); }

}  // namespace vendralith

// The single-system run: one profile, one system, one document.
#ifndef VENDRALITH_RUN_SINGLE_SYSTEM_RUN_H
#define VENDRALITH_RUN_SINGLE_SYSTEM_RUN_H

#include <string>

#include "run/run_context.h"

namespace vendralith {

// The parameters as the console shows them: cut at the first "#" and then at
// the first "@"; nothing left is "(No Parameters)".
std::string ShownParameters(std::string parameterText);

[[noreturn]] void RunSingleSystem(RunContext& run);

}  // namespace vendralith

#endif

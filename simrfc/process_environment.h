// The process's environment as the library passes it on: its current folder
// and the variables that the processes started later inherit. Plain system
// calls: what a scan runs pulls in neither locales nor streams for them.
#ifndef SIMRFC_PROCESS_ENVIRONMENT_H
#define SIMRFC_PROCESS_ENVIRONMENT_H

#include <optional>
#include <string>

namespace simrfc {

// Best effort: without it, processes started later work as before.
void SetInheritedVariable(const char* name, const std::string& value);

// The current folder; nothing when the system cannot tell it.
std::optional<std::string> CurrentFolder();

}  // namespace simrfc

#endif

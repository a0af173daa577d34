// Setting an environment variable that the processes started later inherit.
#ifndef SIMRFC_INHERITED_VARIABLE_H
#define SIMRFC_INHERITED_VARIABLE_H

#include <string>

namespace simrfc {

// Best effort: without it, processes started later work as before.
void SetInheritedVariable(const char* name, const std::string& value);

}  // namespace simrfc

#endif

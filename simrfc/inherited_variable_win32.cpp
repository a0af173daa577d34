#include <cstdlib>

#include "inherited_variable.h"

namespace simrfc {

void SetInheritedVariable(const char* name, const std::string& value) {
  // The C runtime's copy, which getenv reads, and the process's own, which
  // CreateProcess passes on: _putenv sets both.
  (void)_putenv((std::string(name) + "=" + value).c_str());
}

}  // namespace simrfc

#include <cstdlib>

#include "inherited_variable.h"

namespace simrfc {

void SetInheritedVariable(const char* name, const std::string& value) {
  (void)setenv(name, value.c_str(), 1);
}

}  // namespace simrfc

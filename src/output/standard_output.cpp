#include "output/standard_output.h"

#include <cstdio>

namespace vendralith {

void WriteOut(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace vendralith

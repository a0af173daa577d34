// The one place that writes to standard output.
#ifndef VENDRALITH_OUTPUT_STANDARD_OUTPUT_H
#define VENDRALITH_OUTPUT_STANDARD_OUTPUT_H

#include <string_view>

namespace vendralith {

// Writes the bytes unchanged (on Windows the console stream is in text mode,
// so each "\n" reaches the host as "\r\n").
void WriteOut(std::string_view text);

}  // namespace vendralith

#endif

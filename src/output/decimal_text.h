// Reading a decimal number out of a text, the way the C library's atoi does.
#ifndef VENDRALITH_OUTPUT_DECIMAL_TEXT_H
#define VENDRALITH_OUTPUT_DECIMAL_TEXT_H

#include <cstdint>
#include <string_view>

namespace vendralith {

// Leading blanks skipped, an optional sign, then the digits up to the first
// non-digit; no digits gives 0. The result wraps to 32 bits as the fields
// that hold it do (so "-1" read as unsigned is 4294967295).
std::int32_t ParseDecimal(std::string_view text);

}  // namespace vendralith

#endif

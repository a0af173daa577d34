#include "output/decimal_text.h"

namespace vendralith {

std::int32_t ParseDecimal(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::uint32_t value = 0;  // unsigned arithmetic wraps instead of overflowing
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace vendralith

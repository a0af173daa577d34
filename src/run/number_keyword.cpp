#include "run/number_keyword.h"

#include <algorithm>
#include <string>

#include "system/text_helpers.h"

namespace vendralith {

NumberKeyword ReadNumberKeyword(std::string_view parameterString, std::string_view keyword,
                                int highest) {
  NumberKeyword number;
  const auto at = parameterString.find(keyword);
  if (at == std::string_view::npos) return number;
  number.given = true;
  const std::string value = ParameterValue(parameterString, at + keyword.size());
  if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return number;
  const std::string_view digits =
      std::string_view(value).substr(std::min(value.find_first_not_of('0'), value.size()));
  // More digits than the highest has are out of range, whatever they say.
  if (digits.size() > std::to_string(highest).size()) return number;
  int read = 0;
  for (const char digit : digits) read = read * 10 + (digit - '0');
  if (read >= 1 && read <= highest) number.value = read;
  return number;
}

}  // namespace vendralith

// A keyword of the parameters that carries a whole number, such as
// ",TIMEOUT=30" or ",PARALLEL=4": found like ",HOST=", its value ending at a
// blank, a comma or the end.
#ifndef VENDRALITH_RUN_NUMBER_KEYWORD_H
#define VENDRALITH_RUN_NUMBER_KEYWORD_H

#include <string_view>

namespace vendralith {

struct NumberKeyword {
  bool given = false;  // the keyword stands in the parameters
  int value = 0;       // 1 to the highest; 0 when missing, not a number or out of range
};

// keyword with its comma and "=", in the upper-cased parameters; the first
// one counts. Leading zeros do not count.
NumberKeyword ReadNumberKeyword(std::string_view parameterString, std::string_view keyword,
                                int highest);

}  // namespace vendralith

#endif

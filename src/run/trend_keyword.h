// ",TREND" or ",TREND=W/E": the channel LogFullIn of a single-system run,
// with the hours below which the monitoring host is to warn (W) and alert (E).
#ifndef VENDRALITH_RUN_TREND_KEYWORD_H
#define VENDRALITH_RUN_TREND_KEYWORD_H

#include <string_view>

#include "output/result_document.h"

namespace vendralith {

inline constexpr const char* kTrendError =
    "Error 1024: Parameter TREND= must be W/E hours, 1 to 8760, W above E !";

struct TrendKeyword {
  bool given = false;  // the keyword stands in the parameters
  bool valid = false;  // plain, or with a good W/E
  HourLimits hours;    // 24/4 unless W/E says otherwise
};

// ",TREND" in the upper-cased parameters: the first one counts; its value
// ends at a blank, a comma or the end.
TrendKeyword ReadTrendKeyword(std::string_view parameterString);

}  // namespace vendralith

#endif

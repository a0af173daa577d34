// ",WARN=n" and ",ERROR=n": the per-cent levels at which the monitoring host
// is to warn and alert, which every per-cent channel then carries.
#ifndef VENDRALITH_RUN_LIMIT_KEYWORDS_H
#define VENDRALITH_RUN_LIMIT_KEYWORDS_H

#include <string_view>

#include "output/result_document.h"
#include "run/number_keyword.h"

namespace vendralith {

inline constexpr const char* kWarnLimitError = "Error 1020: Parameter WARN= must be 1 to 100 !";
inline constexpr const char* kErrorLimitError = "Error 1021: Parameter ERROR= must be 1 to 100 !";
inline constexpr const char* kLimitOrderError =
    "Error 1022: Parameter WARN= must be below ERROR= !";

// ",WARN=" and ",ERROR=" in the upper-cased parameters: a per cent, 1 to 100.
NumberKeyword ReadWarnLimit(std::string_view parameterString);
NumberKeyword ReadErrorLimit(std::string_view parameterString);

// A warning at or above the error level would never show: false then.
bool LimitsInOrder(const ChannelLimits& limits);

}  // namespace vendralith

#endif

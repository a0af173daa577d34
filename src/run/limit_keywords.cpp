#include "run/limit_keywords.h"

namespace vendralith {

namespace {

constexpr int kMaxPerCent = 100;

}  // namespace

NumberKeyword ReadWarnLimit(std::string_view parameterString) {
  return ReadNumberKeyword(parameterString, ",WARN=", kMaxPerCent);
}

NumberKeyword ReadErrorLimit(std::string_view parameterString) {
  return ReadNumberKeyword(parameterString, ",ERROR=", kMaxPerCent);
}

bool LimitsInOrder(const ChannelLimits& limits) {
  return limits.maxWarning == 0 || limits.maxError == 0 || limits.maxWarning < limits.maxError;
}

}  // namespace vendralith

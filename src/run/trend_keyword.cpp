#include "run/trend_keyword.h"

#include <algorithm>
#include <optional>
#include <string>

#include "system/text_helpers.h"

namespace vendralith {

namespace {

constexpr std::string_view kKeyword = ",TREND";
constexpr int kMostHours = 8760;  // a year

// Whole hours, 1 to a year; leading zeros do not count.
std::optional<int> Hours(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  text.remove_prefix(std::min(text.find_first_not_of('0'), text.size()));
  if (text.size() > std::to_string(kMostHours).size()) return std::nullopt;
  int hours = 0;
  for (const char digit : text) hours = hours * 10 + (digit - '0');
  if (hours < 1 || hours > kMostHours) return std::nullopt;
  return hours;
}

}  // namespace

TrendKeyword ReadTrendKeyword(std::string_view parameterString) {
  TrendKeyword trend;
  const auto at = parameterString.find(kKeyword);
  if (at == std::string_view::npos) return trend;
  trend.given = true;
  // A ':' stands for a blank, which ends the keyword as a comma does.
  const std::string rest = ParameterValue(parameterString, at + kKeyword.size());
  if (rest.empty() || rest[0] == ' ') {
    trend.valid = true;
    return trend;
  }
  // Anything but "=W/E" after the word, such as ",TRENDS", is no good value.
  if (rest[0] != '=') return trend;
  const std::string_view value = std::string_view(rest).substr(1);
  const auto slash = value.find('/');
  if (slash == std::string_view::npos) return trend;
  const std::optional<int> warning = Hours(value.substr(0, slash));
  const std::optional<int> error = Hours(value.substr(slash + 1));
  if (!warning || !error || *warning <= *error) return trend;
  trend.valid = true;
  trend.hours = {*warning, *error};
  return trend;
}

}  // namespace vendralith

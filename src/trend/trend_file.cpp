#include "trend/trend_file.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vendralith {

namespace {

constexpr std::string_view kFirstLine = "Vendralith trend 1";

bool NameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-';
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A whole number as the file writes it: digits, no sign, no leading zero.
std::optional<std::int64_t> Number(std::string_view word) {
  if (word.empty() || (word.size() > 1 && word[0] == '0')) return std::nullopt;
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (error != std::errc() || end != word.data() + word.size() || number < 0) return std::nullopt;
  return number;
}

// "<time> <L> <U> <S>", single blanks between.
std::optional<TrendSample> SampleLine(std::string_view line) {
  std::array<std::int64_t, 4> numbers{};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const auto blank = line.find(' ');
    const bool last = i + 1 == numbers.size();
    if (last != (blank == std::string_view::npos)) return std::nullopt;
    const auto number = Number(line.substr(0, blank));
    if (!number) return std::nullopt;
    numbers[i] = *number;
    line = last ? std::string_view() : line.substr(blank + 1);
  }
  return TrendSample{numbers[0], {numbers[1], numbers[2], numbers[3]}};
}

}  // namespace

std::string TrendFileName(std::string_view systemId, std::string_view databaseHost) {
  std::string name(TrimBlanks(systemId));
  if (const std::string_view host = TrimBlanks(databaseHost); !host.empty()) {
    name.append("_").append(host);
  }
  for (char& c : name) {
    if (!NameCharacter(c)) c = '_';
  }
  return name + ".txt";
}

std::optional<std::vector<TrendSample>> ParseTrendFile(std::string_view text) {
  std::vector<TrendSample> samples;
  // One allocation for a file of ours: every page a scan touches for the
  // first time costs it a page fault. A larger file grows as it must.
  samples.reserve(std::min(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
                           kMostTrendSamples));
  bool first = true;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // cut off in a line
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != kFirstLine) return std::nullopt;
      first = false;
      continue;
    }
    const auto sample = SampleLine(line);
    // Oldest first, or it is not a file of ours.
    if (!sample || (!samples.empty() && sample->time < samples.back().time)) return std::nullopt;
    samples.push_back(*sample);
  }
  if (first) return std::nullopt;
  return samples;
}

std::string TrendFileText(const std::vector<TrendSample>& samples) {
  std::string text(kFirstLine);
  // Room for lines of ordinary figures at once (growing would copy).
  text.reserve(text.size() + 1 + samples.size() * 40);
  text += '\n';
  for (const TrendSample& sample : samples) {
    text.append(std::to_string(sample.time)).append(" ");
    text.append(std::to_string(sample.fill.logPages)).append(" ");
    text.append(std::to_string(sample.fill.usedPages)).append(" ");
    text.append(std::to_string(sample.fill.savePoints)).append("\n");
  }
  return text;
}

std::vector<TrendSample> SamplesToKeep(const std::vector<TrendSample>& stored,
                                       const TrendSample& now) {
  std::vector<TrendSample> kept;
  kept.reserve(std::min(stored.size(), kMostTrendSamples - 1) + 1);
  for (const TrendSample& sample : stored) {
    if (sample.time >= now.time - kTrendWindowSeconds && sample.time < now.time) {
      kept.push_back(sample);
    }
  }
  if (kept.size() > kMostTrendSamples - 1) {
    kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(kMostTrendSamples - 1));
  }
  kept.push_back(now);
  return kept;
}

}  // namespace vendralith

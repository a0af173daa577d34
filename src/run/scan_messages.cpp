#include "run/scan_messages.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "system/secret_text.h"

namespace vendralith {

namespace {

constexpr char kAssignmentTag = 'A';
constexpr char kOutputTag = 'O';
constexpr char kEndingTag = 'E';
constexpr char kFoundTag = 'F';
constexpr char kDoneTag = 'D';
// A length beyond this is no length of ours: the bytes are not a frame.
constexpr std::size_t kLongestPayload = std::size_t{64} * 1024 * 1024;

// The entry's fields in the order they travel.
constexpr std::array<std::string SystemEntry::*, 12> kEntryFields = {
    &SystemEntry::extcompany, &SystemEntry::destination, &SystemEntry::client,
    &SystemEntry::user,       &SystemEntry::password,    &SystemEntry::language,
    &SystemEntry::mode,       &SystemEntry::hostname,    &SystemEntry::sysnr,
    &SystemEntry::gwhost,     &SystemEntry::gwservice,   &SystemEntry::displayHost,
};

std::string Framed(char tag, std::string_view payload) {
  std::string frame(1, tag);
  frame.append(std::to_string(payload.size())).append(":").append(payload);
  return frame;
}

// A length and its ":" at text[at]: the length, with at moved past the ":".
enum class LengthRead { Read, Incomplete, Broken };
LengthRead ReadLength(std::string_view text, std::size_t& at, std::size_t& length) {
  constexpr std::size_t kMostDigits = 8;  // kLongestPayload has as many
  std::size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end - at > kMostDigits) return LengthRead::Broken;
  if (end == text.size()) return LengthRead::Incomplete;
  if (end == at || text[end] != ':') return LengthRead::Broken;
  length = 0;
  for (std::size_t digit = at; digit < end; ++digit) length = length * 10 + (text[digit] - '0');
  if (length > kLongestPayload) return LengthRead::Broken;
  at = end + 1;
  return LengthRead::Read;
}

bool Flag(const std::string& field) { return field == "1"; }
std::string FlagField(bool flag) { return flag ? "1" : "0"; }

// A whole number of a field, or nothing.
template <typename Number>
std::optional<Number> NumberField(std::string_view field) {
  Number number{};
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
  if (field.empty() || end != field.data() + field.size() || error != std::errc()) {
    return std::nullopt;
  }
  return number;
}

// Hour limits as "W/E".
std::string HourLimitsField(HourLimits limits) {
  return std::to_string(limits.minWarning) + "/" + std::to_string(limits.minError);
}

std::optional<HourLimits> HourLimitsOfField(std::string_view field) {
  const auto slash = field.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto warning = NumberField<int>(field.substr(0, slash));
  const auto error = NumberField<int>(field.substr(slash + 1));
  if (!warning || !error) return std::nullopt;
  return HourLimits{*warning, *error};
}

}  // namespace

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string text;
  // One buffer: growing would leave copies of a password behind.
  std::size_t size = 0;
  for (const std::string& field : fields) size += field.size() + 10;
  text.reserve(size);
  for (const std::string& field : fields) {
    text.append(std::to_string(field.size())).append(":").append(field);
  }
  return text;
}

std::optional<std::vector<std::string>> SplitFields(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = 0;
    if (ReadLength(text, at, length) != LengthRead::Read || text.size() - at < length) {
      return std::nullopt;
    }
    fields.emplace_back(text.substr(at, length));
    at += length;
  }
  return fields;
}

std::string EncodeAssignment(const ScanAssignment& assignment) {
  const SystemScanRequest& request = assignment.request;
  std::vector<std::string> fields = {
      assignment.callLogPath,
      std::to_string(static_cast<int>(assignment.outputMode)),
      request.parameterString,
      FlagField(request.consoleMode),
      request.itemName,
      request.displayName,
      HourLimitsField(request.trendHours),
      request.trendFolder,
  };
  for (const auto field : kEntryFields) fields.push_back(assignment.entry.*field);
  fields.push_back(FlagField(assignment.entry.singleSignOn));
  fields.push_back(FlagField(assignment.entry.utf8Credentials));
  std::string payload = JoinFields(fields);
  std::string frame = Framed(kAssignmentTag, payload);
  // The password's copies on the way; the frame's is the caller's to clear.
  for (std::string& field : fields) ClearSecret(field);
  ClearSecret(payload);
  return frame;
}

std::optional<ScanAssignment> DecodeAssignment(std::string_view text) {
  std::size_t at = 1;
  std::size_t length = 0;
  if (text.empty() || text[0] != kAssignmentTag ||
      ReadLength(text, at, length) != LengthRead::Read || text.size() - at != length) {
    return std::nullopt;
  }
  auto fields = SplitFields(text.substr(at));
  // The fields hold the password: cleared whatever the answer.
  const auto forget = [&fields] {
    if (fields) {
      for (std::string& field : *fields) ClearSecret(field);
    }
  };
  if (!fields || fields->size() != 10 + kEntryFields.size()) {
    forget();
    return std::nullopt;
  }
  const std::vector<std::string>& field = *fields;
  const auto mode = NumberField<int>(field[1]);
  const auto trendHours = HourLimitsOfField(field[6]);
  if (!mode || *mode < 0 || *mode > static_cast<int>(OutputMode::Pindrel) || !trendHours) {
    forget();
    return std::nullopt;
  }
  ScanAssignment assignment;
  assignment.callLogPath = field[0];
  assignment.outputMode = static_cast<OutputMode>(*mode);
  assignment.request.parameterString = field[2];
  assignment.request.consoleMode = Flag(field[3]);
  assignment.request.itemName = field[4];
  assignment.request.displayName = field[5];
  assignment.request.trendHours = *trendHours;
  assignment.request.trendFolder = field[7];
  for (std::size_t i = 0; i < kEntryFields.size(); ++i) {
    assignment.entry.*kEntryFields[i] = field[8 + i];
  }
  assignment.entry.singleSignOn = Flag(field[8 + kEntryFields.size()]);
  assignment.entry.utf8Credentials = Flag(field[9 + kEntryFields.size()]);
  forget();
  return assignment;
}

std::string ReportFrame(const ScanReport& report) {
  switch (report.kind) {
    case ScanReport::Kind::Output:
      return Framed(kOutputTag, report.text);
    case ScanReport::Kind::Ending:
      return Framed(kEndingTag, JoinFields({std::to_string(static_cast<int>(report.ending.code)),
                                            report.ending.text}));
    case ScanReport::Kind::Found: {
      const SystemFound& found = report.found;
      const Channel channel = found.channel.value_or(Channel{});
      return Framed(kFoundTag,
                    JoinFields({FlagField(found.scanned), FlagField(found.found),
                                FlagField(found.channel.has_value()), channel.name, channel.value,
                                channel.unit, found.runEnding, std::to_string(found.connection),
                                FlagField(found.tablesHeld),
                                channel.hourLimits ? HourLimitsField(*channel.hourLimits) : ""}));
    }
    case ScanReport::Kind::Done:
      return Framed(kDoneTag, "");
    case ScanReport::Kind::Ended:
      break;
  }
  return "";
}

void ReportReader::Add(std::string_view bytes) {
  if (!broken_) pending_.append(bytes);
}

std::optional<ScanReport> ReportReader::Next() {
  if (broken_ || at_ >= pending_.size()) return std::nullopt;
  const std::string_view text = pending_;
  std::size_t at = at_ + 1;
  std::size_t length = 0;
  switch (ReadLength(text, at, length)) {
    case LengthRead::Incomplete:
      return std::nullopt;
    case LengthRead::Broken:
      broken_ = true;
      return std::nullopt;
    case LengthRead::Read:
      break;
  }
  if (text.size() - at < length) return std::nullopt;
  const char tag = text[at_];
  const std::string_view payload = text.substr(at, length);
  ScanReport report;
  bool read = true;
  switch (tag) {
    case kOutputTag:
      report.kind = ScanReport::Kind::Output;
      report.text = payload;
      break;
    case kEndingTag: {
      report.kind = ScanReport::Kind::Ending;
      const auto fields = SplitFields(payload);
      const auto code =
          fields && fields->size() == 2 ? NumberField<int>((*fields)[0]) : std::nullopt;
      read = code && *code >= 0 && *code <= static_cast<int>(ExitCode::ErrorDocument);
      if (read) report.ending = {(*fields)[1], static_cast<ExitCode>(*code)};
      break;
    }
    case kFoundTag: {
      report.kind = ScanReport::Kind::Found;
      const auto fields = SplitFields(payload);
      const auto connection =
          fields && fields->size() == 10 ? NumberField<std::int32_t>((*fields)[7]) : std::nullopt;
      const auto hourLimits = connection && !(*fields)[9].empty() ? HourLimitsOfField((*fields)[9])
                                                                  : std::optional<HourLimits>();
      read = connection.has_value() && ((*fields)[9].empty() || hourLimits);
      if (read) {
        const std::vector<std::string>& field = *fields;
        SystemFound& found = report.found;
        found.scanned = Flag(field[0]);
        found.found = Flag(field[1]);
        if (Flag(field[2])) found.channel = Channel{field[3], field[4], field[5], hourLimits};
        found.runEnding = field[6];
        found.connection = *connection;
        found.tablesHeld = Flag(field[8]);
      }
      break;
    }
    case kDoneTag:
      report.kind = ScanReport::Kind::Done;
      read = payload.empty();
      break;
    default:
      read = false;
  }
  if (!read) {
    broken_ = true;
    return std::nullopt;
  }
  at_ = at + length;
  // What is read goes, now and then, so that the buffer stays small.
  if (at_ == pending_.size()) {
    pending_.clear();
    at_ = 0;
  }
  return report;
}

}  // namespace vendralith

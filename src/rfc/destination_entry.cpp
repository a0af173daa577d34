#include "rfc/destination_entry.h"

#include "system/text_helpers.h"

namespace vendralith {

std::optional<DestinationLines> DestinationEntry(std::string_view text, const std::string& name) {
  std::optional<DestinationLines> entry;
  auto trimmed = [](std::string part) {
    part.erase(0, part.find_first_not_of(" \t"));
    part.erase(part.find_last_not_of(" \t") + 1);
    return part;
  };
  for (std::string line : ReadPieces(text, text.size() + 1)) {
    DropTrailing(line, '\n');
    DropTrailing(line, '\r');
    const std::size_t equals = line.find('=');
    const std::string start = trimmed(line).substr(0, 1);
    if (equals == std::string::npos || start == "*" || start == "#" || start == ";") continue;
    const std::string key = UpperCase(trimmed(line.substr(0, equals)));
    const std::string value = trimmed(line.substr(equals + 1));
    if (key == "DEST") {
      if (entry) break;  // the wanted entry has ended
      if (UpperCase(value) == UpperCase(name)) entry.emplace();
    }
    if (entry) entry->emplace_back(key, value);
  }
  return entry;
}

std::optional<std::string> DestinationValue(const DestinationLines& lines, std::string_view key) {
  for (const auto& [name, text] : lines) {
    if (name == key) return text;
  }
  return std::nullopt;
}

}  // namespace vendralith

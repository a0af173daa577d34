// The entry of one destination in the RFC library's destination file
// SapRfc.ini (or a SapRfc.<DEST> that is copied over it): its lines
// "KEY=value" from the line "DEST=<name>" to the next "DEST=".
#ifndef VENDRALITH_RFC_DESTINATION_ENTRY_H
#define VENDRALITH_RFC_DESTINATION_ENTRY_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vendralith {

// The entry's lines as key (upper case) and value, both without the blanks
// around them, in file order, "DEST" first. The name is compared without
// case; lines starting with '*', '#' or ';' are comments. Nothing when the
// text has no such entry.
using DestinationLines = std::vector<std::pair<std::string, std::string>>;
std::optional<DestinationLines> DestinationEntry(std::string_view text, const std::string& name);

// The value of the entry's first line of that key; nothing when it has none.
std::optional<std::string> DestinationValue(const DestinationLines& lines, std::string_view key);

}  // namespace vendralith

#endif

// Two small formatting operations for console and log-state lines.
#ifndef VENDRALITH_OUTPUT_CONSOLE_FORMAT_H
#define VENDRALITH_OUTPUT_CONSOLE_FORMAT_H

#include <string>
#include <string_view>

namespace vendralith {

// indent blanks, the label left-aligned to width (a longer label whole),
// " : ", the text and a line end.
std::string LabelLine(std::string_view label, int indent, int width, std::string_view text);
void PrintLabelLine(std::string_view label, int indent, int width, std::string_view text);

// Groups by character position: at most two "." separators, so a ten-digit
// number keeps four digits in its first group ("4294.967.295").
std::string GroupDigits(std::string_view number);

}  // namespace vendralith

#endif

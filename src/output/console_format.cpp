#include "output/console_format.h"

#include "output/standard_output.h"

namespace vendralith {

std::string LabelLine(std::string_view label, int indent, int width, std::string_view text) {
  std::string line(indent > 0 ? static_cast<std::size_t>(indent) : 0u, ' ');
  line += label;
  if (width > 0 && label.size() < static_cast<std::size_t>(width)) {
    line.append(static_cast<std::size_t>(width) - label.size(), ' ');
  }
  line += " : ";
  line += text;
  line += '\n';
  return line;
}

void PrintLabelLine(std::string_view label, int indent, int width, std::string_view text) {
  WriteOut(LabelLine(label, indent, width, text));
}

std::string GroupDigits(std::string_view number) {
  const std::size_t n = number.size();
  std::string grouped(number);
  if (n >= 7) {
    grouped = std::string(number.substr(0, n - 6)) + "." + std::string(number.substr(n - 6, 3)) +
              "." + std::string(number.substr(n - 3));
  } else if (n >= 4) {
    grouped = std::string(number.substr(0, n - 3)) + "." + std::string(number.substr(n - 3));
  }
  return grouped;
}

}  // namespace vendralith

#include "run/run_settings.h"

#include <array>
#include <utility>

#include "system/text_helpers.h"

namespace vendralith {

OutputMode OutputModeFromProgramName(std::string_view programName) {
  const auto slash = programName.find_last_of("/\\");
  if (slash != std::string_view::npos) programName.remove_prefix(slash + 1);
  std::string name = UpperCase(programName);
  if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".EXE") == 0)
    name.resize(name.size() - 4);
  static constexpr std::array<std::pair<std::string_view, OutputMode>, 4> kDialects = {{
      {"TAMVELO", OutputMode::Tamvelo},
      {"MARSOKE", OutputMode::Marsoke},
      {"QUORRANE", OutputMode::Quorrane},
      {"PINDREL", OutputMode::Pindrel},
  }};
  for (const auto& [suffix, mode] : kDialects) {
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      const char separator = name[name.size() - suffix.size() - 1];
      if (separator == '-' || separator == '_') return mode;
    }
  }
  return OutputMode::ExeXml;
}

}  // namespace vendralith

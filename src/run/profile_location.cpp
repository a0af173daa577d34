#include "run/profile_location.h"

#include <array>

#include "system/utf8_text.h"

namespace vendralith {

namespace {

constexpr std::array<const char*, 3> kFixedFolders = {
    "\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
};
constexpr std::size_t kMaxHostPathLine = 99;

std::string MissingMessage(const std::string& shown) {
  // A very long name is shortened: the message only has to identify it.
  constexpr std::size_t kShownChars = 100;
  const std::string name =
      shown.size() > kShownChars ? std::string(Utf8Prefix(shown, kShownChars)) + "..." : shown;
  return "Error 1002: Profile " + name + " is missing...";
}

bool NamesFolder(const std::string& line) {
  return (!line.empty() && line[0] == '\\') || (line.size() > 2 && line[2] == '\\') ||
         (line.size() > 1 && line[1] == ':');
}

// The monitoring host's custom-sensor folders, in their order of search.
ProfileLocation HostFolderSearch(ProfileLocation found, const FileReader& read) {
  found.folder.clear();
  if (const auto hostPaths = read(kHostPathFile)) {
    std::string base;
    for (std::string line : ReadPieces(*hostPaths, std::string::npos)) {
      DropTrailing(line, '\r');
      DropTrailing(line, '\n');
      // Every folder line replaces the one before it, a long one too.
      if (NamesFolder(line)) base = line;
    }
    // Read in parts, a longer line would name a cut, wrong folder; only the
    // folder finally used counts.
    if (base.size() > kMaxHostPathLine) {
      found.error = MissingMessage(found.name);
      return found;
    }
    if (base.empty() || base.back() != '\\') base += '\\';
    for (const char* sub :
         {"PRTG Network Monitor\\Custom Sensors\\ExeXml\\", "Custom Sensors\\ExeXml\\"}) {
      if (read(base + sub + found.name)) base += sub;
    }
    found.folder = base;
    found.path = found.folder + found.name;
    if (auto content = read(found.path)) {
      found.content = std::move(*content);
    } else {
      found.error = MissingMessage(found.name);
    }
    return found;
  }

  found.path = found.name;
  if (auto content = read(found.path)) {
    found.content = std::move(*content);
    return found;
  }
  for (const char* folder : kFixedFolders) {
    found.folder = folder;
    found.path = found.folder + found.name;
    if (auto content = read(found.path)) {
      found.content = std::move(*content);
      return found;
    }
  }
  found.error = MissingMessage(found.name);
  return found;
}

}  // namespace

ProfileName ApplyNameRules(const std::string& argument) {
  ProfileName result;
  result.name = argument;
  if (result.name.size() < 4 || result.name[result.name.size() - 4] != '.') result.name += ".P00";
  if (const auto last = result.name.rfind('\\'); last != std::string::npos && last > 0) {
    result.folder = result.name.substr(0, last + 1);
    result.name.erase(0, last + 1);
  }
  if (UpperCase(result.name) == "GLOBAL.P00") {
    result.global = true;
    result.name = kGlobalListingFile;
  }
  return result;
}

ProfileLocation LocateProfile(const RunSettings& run, const FileReader& read) {
  const ProfileName rules = ApplyNameRules(run.profileName);
  ProfileLocation found;
  found.folder = rules.folder;
  found.name = rules.name;
  found.listingMode = run.listingMode || rules.global;

  const bool hostSearch =
      run.outputMode == OutputMode::ExeXml && run.parameterString.find('@') == std::string::npos;
  // A cut name or folder could open another file, so too long is "missing".
  if (found.name.size() > kMaxProfileName) {
    found.error = MissingMessage(hostSearch ? found.name : found.folder + found.name);
    return found;
  }
  if (hostSearch) return HostFolderSearch(found, read);

  if (found.folder.size() > kMaxProfileFolder) {
    found.error = MissingMessage(found.folder + found.name);
    return found;
  }
  found.path = found.folder + found.name;
  if (auto content = read(found.path)) {
    found.content = std::move(*content);
  } else {
    found.error = MissingMessage(found.path);
  }
  return found;
}

}  // namespace vendralith

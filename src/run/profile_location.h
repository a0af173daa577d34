// Finding the profile or listing file named on the command line.
#ifndef VENDRALITH_RUN_PROFILE_LOCATION_H
#define VENDRALITH_RUN_PROFILE_LOCATION_H

#include <string>

#include "run/run_settings.h"
#include "system/text_file.h"
#include "system/text_helpers.h"

namespace vendralith {

inline constexpr const char* kHostPathFile = "C:\\PRTG_Path.Txt";
inline constexpr const char* kGlobalListingFile = "SAP Kelvaron.Gbl";

// The name rules: the default suffix, the folder part and the global name.
struct ProfileName {
  std::string folder;  // empty or ending in a backslash
  std::string name;
  bool global = false;  // the name selected the global listing
};
ProfileName ApplyNameRules(const std::string& argument);

struct ProfileLocation {
  std::string folder;  // where the file was found; the folder of a listing's profiles
  std::string name;
  std::string path;     // folder followed by name
  std::string content;  // the file's text
  bool listingMode = false;
  std::string error;  // the message of the error document; empty when found
};

// Applies the name rules and looks for the file: in the monitoring host's
// folders in EXE/XML mode without "@", else in the folder given with the name.
ProfileLocation LocateProfile(const RunSettings& run, const FileReader& read);

}  // namespace vendralith

#endif

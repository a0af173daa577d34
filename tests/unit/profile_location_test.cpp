#include "run/profile_location.h"

#include <gtest/gtest.h>

#include <map>

namespace vendralith {
namespace {

// Files by their Windows path; a test's whole file system.
FileReader Files(std::map<std::string, std::string> files) {
  return [files](const std::string& path) -> std::optional<std::string> {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
}

RunSettings Settings(const std::string& profileName, const std::string& parameters,
                     OutputMode mode = OutputMode::ExeXml) {
  RunSettings settings;
  settings.profileName = profileName;
  settings.parameterString = parameters;
  settings.outputMode = mode;
  return settings;
}

const char* const kThird = "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\";

TEST(ApplyNameRules, SuffixFolderAndGlobalName) {
  struct Case {
    const char* argument;
    const char* folder;
    const char* name;
    bool global;
  } cases[] = {
      {"PRD", "", "PRD.P00", false},                            // suffix added
      {"PRD.P01", "", "PRD.P01", false},                        // a suffix stays
      {"PR", "", "PR.P00", false},                              // short names get it too
      {"C:\\Sensors\\prd", "C:\\Sensors\\", "prd.P00", false},  // folder part
      {"\\prd", "", "\\prd.P00", false},         // a leading backslash alone is no folder
      {"global", "", "SAP Kelvaron.Gbl", true},  // any case
      {"GLOBAL", "", "SAP Kelvaron.Gbl", true},  //
      {"C:\\Sensors\\Global.p00", "C:\\Sensors\\", "SAP Kelvaron.Gbl", true},  // folder stays
      {"C:\\x.y\\prd", "C:\\x.y\\", "prd.P00", false},  // the test looks at the whole argument
  };
  for (const Case& c : cases) {
    const ProfileName rules = ApplyNameRules(c.argument);
    EXPECT_EQ(rules.folder, c.folder) << c.argument;
    EXPECT_EQ(rules.name, c.name) << c.argument;
    EXPECT_EQ(rules.global, c.global) << c.argument;
  }
}

TEST(LocateProfile, Searches) {
  struct Case {
    RunSettings settings;
    std::map<std::string, std::string> files;
    std::string path;   // where it is found
    std::string error;  // or why not
    const char* why;
  } cases[] = {
      {Settings("PRD", "@"), {{"PRD.P00", "p"}}, "PRD.P00", "", "@: current folder"},
      {Settings("PRD", "@"), {}, "", "Error 1002: Profile PRD.P00 is missing...", "@: missing"},
      {Settings("C:\\Sensors\\prd", "", OutputMode::Quorrane),
       {{"C:\\Sensors\\prd.P00", "p"}},
       "C:\\Sensors\\prd.P00",
       "",
       "other dialect: folder used"},
      {Settings("C:\\Sensors\\prd", "", OutputMode::Pindrel),
       {},
       "",
       "Error 1002: Profile C:\\Sensors\\prd.P00 is missing...",
       "missing with its path"},
      {Settings("C:\\Sensors\\prd", ""),
       {{"prd.P00", "p"}, {"C:\\Sensors\\prd.P00", "x"}},
       "prd.P00",
       "",
       "host search ignores the folder"},
      {Settings("PRD", ""), {{"PRD.P00", "p"}}, "PRD.P00", "", "host search: current folder"},
      {Settings("PRD", ""),
       {{std::string(kThird) + "PRD.P00", "p"}},
       std::string(kThird) + "PRD.P00",
       "",
       "third fixed folder"},
      {Settings("PRD", ""),
       {{"\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00", "p"},
        {std::string(kThird) + "PRD.P00", "p"}},
       "\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00",
       "",
       "first wins"},
      {Settings("PRD", ""), {}, "", "Error 1002: Profile PRD.P00 is missing...", "nowhere"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "PRTG installation\nD:\\Tools\n"},
        {"D:\\Tools\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00", "p"}},
       "D:\\Tools\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\PRD.P00",
       "",
       "host path file: heading ignored, probe one"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "C:\\PRTG\\\n"}, {"C:\\PRTG\\Custom Sensors\\ExeXml\\PRD.P00", "p"}},
       "C:\\PRTG\\Custom Sensors\\ExeXml\\PRD.P00",
       "",
       "probe two"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "C:\\A\nC:\\B\n"}, {"C:\\B\\PRD.P00", "p"}, {"C:\\A\\PRD.P00", "x"}},
       "C:\\B\\PRD.P00",
       "",
       "the last folder line wins; probe three"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "no folder here\n"}, {"\\PRD.P00", "p"}},
       "\\PRD.P00",
       "",
       "no folder line: the root of the current drive"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "C:\\PRTG\n"}, {std::string(kThird) + "PRD.P00", "p"}},
       "",
       "Error 1002: Profile PRD.P00 is missing...",
       "with the host path file the fixed folders are not tried"},
      {Settings("PRD", ""),
       {{"C:\\PRTG_Path.Txt", "C:\\" + std::string(100, 'x') + "\n"}},
       "",
       "Error 1002: Profile PRD.P00 is missing...",
       "a folder line too long to read whole"},
      {Settings(std::string(60, 'n'), "@"),
       {},
       "",
       "Error 1002: Profile " + std::string(60, 'n') + ".P00 is missing...",
       "over 63 characters with the suffix"},
  };
  for (const Case& c : cases) {
    const ProfileLocation found = LocateProfile(c.settings, Files(c.files));
    EXPECT_EQ(found.error, c.error) << c.why;
    if (c.error.empty()) {
      EXPECT_EQ(found.path, c.path) << c.why;
      EXPECT_EQ(found.content, "p") << c.why;
    }
  }
}

TEST(LocateProfile, VeryLongNamesAreShortenedInTheMessage) {
  const ProfileLocation found = LocateProfile(Settings(std::string(300, 'n'), "@"), Files({}));
  EXPECT_EQ(found.error, "Error 1002: Profile " + std::string(100, 'n') + "... is missing...");
}

TEST(LocateProfile, TheShortenedNameEndsBeforeASplitCharacter) {
  const std::string umlaut = "\xC3\xBC";
  const ProfileLocation found =
      LocateProfile(Settings(std::string(99, 'n') + umlaut + "x", "@"), Files({}));
  EXPECT_EQ(found.error, "Error 1002: Profile " + std::string(99, 'n') + "... is missing...");
}

TEST(LocateProfile, GlobalNameSwitchesListingModeOn) {
  const ProfileLocation found =
      LocateProfile(Settings("C:\\S\\global", "@"), Files({{"C:\\S\\SAP Kelvaron.Gbl", "p"}}));
  EXPECT_TRUE(found.listingMode);
  EXPECT_EQ(found.folder, "C:\\S\\");
  EXPECT_EQ(found.name, "SAP Kelvaron.Gbl");
}

}  // namespace
}  // namespace vendralith

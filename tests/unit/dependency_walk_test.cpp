#include "system/dependency_walk.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace vendralith {
namespace {

using Files = std::map<std::string, std::vector<std::string>>;  // path: its imports

// The folders the loader looks in: the library's, the program's, the system's.
const std::vector<std::string> kFolders = {"C:\\sdk\\", "C:\\prtg\\", "C:\\Windows\\System32\\"};

// The files of a host with the NetWeaver SDK in C:\sdk, but for what a case removes.
Files SdkHost() {
  return {
      {"C:\\sdk\\sapnwrfc.dll",
       {"libsapucum.dll", "icuuc50.dll", "MSVCR120.dll", "MSVCP120.dll", "KERNEL32.dll",
        "api-ms-win-crt-runtime-l1-1-0.dll"}},
      {"C:\\sdk\\libsapucum.dll", {"icuuc50.dll", "icuin50.dll", "MSVCR120.dll"}},
      {"C:\\sdk\\icuuc50.dll", {"icudt50.dll", "MSVCR120.dll", "KERNEL32.dll"}},
      {"C:\\sdk\\icuin50.dll", {"icuuc50.dll", "MSVCR120.dll"}},
      {"C:\\sdk\\icudt50.dll", {}},
      {"C:\\Windows\\System32\\msvcr120.dll", {"KERNEL32.dll"}},
      {"C:\\Windows\\System32\\msvcp120.dll", {"msvcr120.dll", "KERNEL32.dll"}},
      {"C:\\Windows\\System32\\kernel32.dll", {"ntdll.dll", "ext-ms-win-ntuser-l1-1-0.dll"}},
      {"C:\\Windows\\System32\\ntdll.dll", {}},
  };
}

// File names on Windows differ only in case: the fake file system looks
// them up in lower case, as the walk may ask in either.
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(FirstMissingDependency, NamesTheFirstDllTheLoaderCannotFind) {
  struct Case {
    const char* what;
    std::vector<std::string> removed;  // from SdkHost()
    Files added;
    std::string missing;
  } cases[] = {
      {"everything there: nothing to name", {}, {}, ""},
      {"the library's own import", {"C:\\sdk\\libsapucum.dll"}, {}, "libsapucum.dll"},
      {"the first missing of the library's own imports comes first",
       {"C:\\sdk\\icudt50.dll", "C:\\Windows\\System32\\msvcp120.dll"},
       {},
       "msvcp120.dll"},
      {"a dependency of a dependency", {"C:\\sdk\\icudt50.dll"}, {}, "icudt50.dll"},
      {"the runtime, in lower case", {"C:\\Windows\\System32\\msvcr120.dll"}, {}, "msvcr120.dll"},
      {"a DLL beside the program counts as found",
       {"C:\\sdk\\icudt50.dll"},
       {{"C:\\prtg\\icudt50.dll", {}}},
       ""},
      {"a DLL found only elsewhere (the current folder) is missing",
       {"C:\\sdk\\icudt50.dll"},
       {{"D:\\work\\icudt50.dll", {}}},
       "icudt50.dll"},
      {"a missing system DLL below the runtime",
       {"C:\\Windows\\System32\\ntdll.dll"},
       {},
       "ntdll.dll"},
      {"API sets have no file and are never missing",
       {},
       {{"C:\\sdk\\icudt50.dll",
         {"api-ms-win-core-file-l1-2-0.dll", "EXT-MS-WIN-GDI-DC-L1-2-0.dll"}}},
       ""},
      {"a DLL that imports the library back: no loop",
       {},
       {{"C:\\sdk\\icudt50.dll", {"sapnwrfc.dll", "libsapucum.dll"}}},
       ""},
      {"names with a path or a control character are not looked for",
       {},
       {{"C:\\sdk\\icudt50.dll", {"..\\evil.dll", "C:x.dll", "a/b.dll", "tab\t.dll", ""}}},
       ""},
      {"the library itself cannot be read: nothing to name", {"C:\\sdk\\sapnwrfc.dll"}, {}, ""},
  };
  for (const Case& c : cases) {
    Files files;
    for (auto [path, imports] : SdkHost()) files[Lower(path)] = imports;
    for (const std::string& path : c.removed) files.erase(Lower(path));
    for (auto [path, imports] : c.added) files[Lower(path)] = imports;
    const ImportsOfFile importsOf =
        [&files](const std::string& path) -> std::optional<std::vector<std::string>> {
      const auto found = files.find(Lower(path));
      if (found == files.end()) return std::nullopt;
      return found->second;
    };
    EXPECT_EQ(FirstMissingDependency("C:\\sdk\\sapnwrfc.dll", kFolders, importsOf), c.missing)
        << c.what;
  }
}

// A hostile chain of DLLs, each importing new names, is walked only so far.
TEST(FirstMissingDependency, LooksForABoundedNumberOfFiles) {
  std::size_t lookups = 0;
  const ImportsOfFile endless =
      [&lookups](const std::string&) -> std::optional<std::vector<std::string>> {
    ++lookups;
    return std::vector<std::string>{std::to_string(lookups) + ".dll"};
  };
  EXPECT_EQ(FirstMissingDependency("C:\\sdk\\sapnwrfc.dll", kFolders, endless), "");
  EXPECT_EQ(lookups, kMaximumWalkLookups);
}

TEST(IsApiSetName, TheTwoPrefixesInAnyCase) {
  EXPECT_TRUE(IsApiSetName("api-ms-win-crt-runtime-l1-1-0.dll"));
  EXPECT_TRUE(IsApiSetName("API-MS-WIN-CORE-SYNCH-L1-2-0.DLL"));
  EXPECT_TRUE(IsApiSetName("ext-ms-win-ntuser-l1-1-0.dll"));
  EXPECT_FALSE(IsApiSetName("apiset.dll"));
  EXPECT_FALSE(IsApiSetName("msvcr120.dll"));
}

}  // namespace
}  // namespace vendralith

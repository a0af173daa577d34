#include "system/search_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vendralith {
namespace {

TEST(AbsoluteSearchFolders, KeepsOnlyFoldersIndependentOfTheCurrentOne) {
  struct Case {
    const char* what;
    std::string path;
    std::vector<std::string> folders;
  } cases[] = {
      {"drive folders, a separator added",
       R"(C:\Windows;D:\SAP\RFC\)",
       {R"(C:\Windows\)", R"(D:\SAP\RFC\)"}},
      {"a network folder", R"(\\server\share\rfc)", {R"(\\server\share\rfc\)"}},
      {"a drive root", R"(E:\)", {R"(E:\)"}},
      {"forward slashes as Windows takes them", "C:/SAP;D:/RFC/", {"C:/SAP\\", "D:/RFC/"}},
      {"quoted", R"("C:\Program Files\SAP";C:\x)", {R"(C:\Program Files\SAP\)", R"(C:\x\)"}},
      {"drive-relative: the current folder of C:", R"(C:.\;C:.;C:)", {}},
      {"drive-relative: a folder below it", R"(C:tools;D:\ok)", {R"(D:\ok\)"}},
      {"relative and empty entries", R"(.;;tools;..\bin;;)", {}},
      {"rooted on the current drive", R"(\SAP\RFC)", {}},
      {"a lone backslash pair", R"(\\;\\\share)", {}},
      {"no letter before the colon", R"(1:\x;::\y)", {}},
      {"empty value", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(AbsoluteSearchFolders(c.path), c.folders) << c.what;
}

}  // namespace
}  // namespace vendralith

#include "system/shared_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace vendralith {
namespace {

// On the workbench: the executable's folder, then the absolute folders of
// LD_LIBRARY_PATH, each ending in a slash.
TEST(LibrarySearchFolders, ExecutableFolderThenAbsoluteLibraryPathFolders) {
  const char* saved = std::getenv("LD_LIBRARY_PATH");
  const std::string kept = saved == nullptr ? "" : saved;
  struct Case {
    const char* value;
    std::vector<std::string> after_executable;
  } cases[] = {
      {"", {}},                                            // none
      {"/opt/rfc:/usr/lib/", {"/opt/rfc/", "/usr/lib/"}},  // in order, one slash each
      {"rfc::./lib:/opt/rfc", {"/opt/rfc/"}},              // relative and empty entries left out
  };
  for (const Case& c : cases) {
    setenv("LD_LIBRARY_PATH", c.value, 1);
    const std::vector<std::string> folders = LibrarySearchFolders();
    ASSERT_FALSE(folders.empty()) << c.value;
    EXPECT_EQ(folders.front().front(), '/') << c.value;
    EXPECT_EQ(folders.front().back(), '/') << c.value;
    EXPECT_EQ(std::vector<std::string>(folders.begin() + 1, folders.end()), c.after_executable)
        << c.value;
  }
  if (saved == nullptr) {
    unsetenv("LD_LIBRARY_PATH");
  } else {
    setenv("LD_LIBRARY_PATH", kept.c_str(), 1);
  }
}

TEST(LoadLibraryFile, LoadsTheFileAndKeepsItsPath) {
  const SharedLibrary library = LoadLibraryFile(SIMRFC_SHARED_LIBRARY);
  EXPECT_EQ(library.state, LibraryState::Loaded);
  EXPECT_EQ(library.path, SIMRFC_SHARED_LIBRARY);
  EXPECT_NE(LibraryExport(library, "RfcOpenEx"), nullptr);
  EXPECT_EQ(LoadLibraryFile(testing::TempDir() + "no-such-folder/librfc32.dll").state,
            LibraryState::Missing);
}

}  // namespace
}  // namespace vendralith

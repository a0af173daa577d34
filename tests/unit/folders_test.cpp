#include "system/folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace vendralith {
namespace {

TEST(Folders, MadeListedAndRemovedWithAllTheyHold) {
  const std::filesystem::path root =
      std::filesystem::path(testing::TempDir()) / "vendralith_folders_test";
  std::filesystem::remove_all(root);
  const std::string folder = root.string();
  EXPECT_EQ(CurrentFolder(), std::filesystem::current_path().string());

  ASSERT_TRUE(CreateFolder(folder));
  EXPECT_FALSE(CreateFolder(folder));  // it exists: not this one's to make
  ASSERT_TRUE(CreateFolder(folder + "/inner"));
  std::ofstream(root / "inner" / "Dev_Rfc.Trc") << "block\n";
  std::ofstream(root / "SapRfc.ini") << "DEST=PRD\n";
  std::filesystem::create_directory_symlink(root / "inner", root / "link");
  std::vector<std::string> names = FolderEntries(folder);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"SapRfc.ini", "inner", "link"}));

  RemoveEmptyFolder(folder);  // not empty: stays
  EXPECT_TRUE(std::filesystem::exists(root));
  const std::filesystem::path outside = root.string() + "_outside";
  std::filesystem::create_directories(outside);
  std::ofstream(outside / "kept") << "x";
  std::filesystem::create_directory_symlink(outside, root / "to_outside");
  RemoveFolderTree(folder);
  EXPECT_FALSE(std::filesystem::exists(root));
  // A link is removed, never followed.
  EXPECT_TRUE(std::filesystem::exists(outside / "kept"));
  std::filesystem::remove_all(outside);
  EXPECT_TRUE(FolderEntries(folder).empty());  // a folder that is gone holds nothing
}

}  // namespace
}  // namespace vendralith

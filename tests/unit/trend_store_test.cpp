#include "trend/trend_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "system/lock_file.h"

namespace vendralith {
namespace {

namespace fs = std::filesystem;

// A trend folder of its own for each test, not yet made.
fs::path NewFolder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  return fs::temp_directory_path() / ("trend_store_" + std::string(test->name()) + "_" +
                                      std::to_string(std::random_device()()));
}

std::string Content(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

const TrendSample kFirst{1000, {64000, 33000, 12}};
const TrendSample kSecond{1300, {64000, 33100, 13}};

TEST(StoreSample, MakesTheFolderAndKeepsEachScansSample) {
  const fs::path folder = NewFolder();
  const StoredTrend first = StoreSample(folder.string(), "PRD_db.txt", kFirst);
  EXPECT_TRUE(first.earlier.empty());
  EXPECT_EQ(first.note, "");
  const StoredTrend second = StoreSample(folder.string(), "PRD_db.txt", kSecond);
  EXPECT_EQ(second.earlier, std::vector<TrendSample>{kFirst});
  EXPECT_EQ(Content(folder / "PRD_db.txt"),
            "Vendralith trend 1\n1000 64000 33000 12\n1300 64000 33100 13\n");
  fs::remove_all(folder);
}

TEST(StoreSample, ADamagedFileIsReadAsEmptyAndWrittenAnew) {
  const fs::path folder = NewFolder();
  fs::create_directory(folder);
  std::ofstream(folder / "PRD.txt", std::ios::binary) << "Vendralith trend 1\n1000 64000 x 12\n";
  const StoredTrend stored = StoreSample(folder.string(), "PRD.txt", kSecond);
  EXPECT_TRUE(stored.earlier.empty());
  EXPECT_EQ(stored.note, "");
  EXPECT_EQ(Content(folder / "PRD.txt"), "Vendralith trend 1\n1300 64000 33100 13\n");
  fs::remove_all(folder);
}

TEST(StoreSample, PastTheWaitForTheLockReadsAndWritesNothing) {
  const fs::path folder = NewFolder();
  (void)StoreSample(folder.string(), "PRD.txt", kFirst);
  LockFile other((folder / kTrendLockFile).string());
  ASSERT_EQ(other.TryLock(0, LockKind::Exclusive), LockResult::Taken);
  const StoredTrend stored =
      StoreSample(folder.string(), "PRD.txt", kSecond, std::chrono::milliseconds(50));
  EXPECT_EQ(stored.earlier, std::vector<TrendSample>{kFirst});
  EXPECT_EQ(stored.note, "another scan held the lock too long");
  EXPECT_EQ(Content(folder / "PRD.txt"), "Vendralith trend 1\n1000 64000 33000 12\n");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vendralith

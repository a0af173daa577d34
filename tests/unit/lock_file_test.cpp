#include "system/lock_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace vendralith {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// A lock file of its own for each test. Two LockFile objects on it stand for
// two processes: each open of the file holds its locks apart.
fs::path NewLockFile() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  return fs::temp_directory_path() /
         ("lock_file_" + std::string(test->name()) + "_" + std::to_string(std::random_device()()));
}

TEST(LockFile, IsCreatedEmptyAndStaysEmpty) {
  const fs::path path = NewLockFile();
  {
    LockFile file(path.string());
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.TryLock(0, LockKind::Exclusive), LockResult::Taken);
    EXPECT_EQ(file.TryLock(1, LockKind::Shared), LockResult::Taken);
  }
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  fs::remove(path);
}

TEST(LockFile, ConflictsOnlyBetweenExclusiveAndAnyOtherLockOfTheSameByte) {
  struct Case {
    LockKind first;
    std::uint32_t firstByte;
    LockKind second;
    std::uint32_t secondByte;
    LockResult expected;
  } cases[] = {
      {LockKind::Shared, 0, LockKind::Shared, 0, LockResult::Taken},  // readers share
      {LockKind::Shared, 0, LockKind::Exclusive, 0, LockResult::HeldByOther},
      {LockKind::Exclusive, 0, LockKind::Shared, 0, LockResult::HeldByOther},
      {LockKind::Exclusive, 0, LockKind::Exclusive, 0, LockResult::HeldByOther},
      {LockKind::Exclusive, 0, LockKind::Exclusive, 1, LockResult::Taken},  // bytes apart
      {LockKind::Exclusive, 1, LockKind::Shared, 0, LockResult::Taken},     //
  };
  const fs::path path = NewLockFile();
  for (const Case& c : cases) {
    LockFile one(path.string());
    LockFile other(path.string());
    ASSERT_EQ(one.TryLock(c.firstByte, c.first), LockResult::Taken);
    EXPECT_EQ(other.TryLock(c.secondByte, c.second), c.expected)
        << c.firstByte << " then " << c.secondByte;
  }
  fs::remove(path);
}

TEST(LockFile, WaitsBoundedAndTakesTheLockOnceItIsFree) {
  const fs::path path = NewLockFile();
  LockFile other(path.string());
  LockFile file(path.string());
  {
    LockFile holder(path.string());
    ASSERT_EQ(holder.TryLock(0, LockKind::Exclusive), LockResult::Taken);
    EXPECT_EQ(file.Lock(0, LockKind::Shared, milliseconds(5)), LockResult::HeldByOther);
    holder.Unlock(0);
    EXPECT_EQ(file.Lock(0, LockKind::Shared, milliseconds(5)), LockResult::Taken);
    file.Unlock(0);
    ASSERT_EQ(holder.TryLock(0, LockKind::Exclusive), LockResult::Taken);
  }
  // Closed with the lock held, as when a process ends: the lock goes with it.
  EXPECT_EQ(other.Lock(0, LockKind::Exclusive, milliseconds(0)), LockResult::Taken);
  fs::remove(path);
}

TEST(LockFile, ThatCannotBeOpenedFailsEveryLock) {
  LockFile file((NewLockFile() / "missing-folder" / "file").string());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.TryLock(0, LockKind::Shared), LockResult::Failed);
  EXPECT_EQ(file.Lock(0, LockKind::Exclusive, milliseconds(5)), LockResult::Failed);
  file.Unlock(0);  // harmless
}

}  // namespace
}  // namespace vendralith

#include "rfc/scan_locks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace vendralith {
namespace {

namespace fs = std::filesystem;

// A folder of its own for each test, with a trace file in it. Two ScanLocks
// objects on the same files stand for two scans of one folder.
class ScanLocksTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("scan_locks_" + std::string(test->name()) + "_" +
                                           std::to_string(std::random_device()()));
    fs::create_directories(folder_);
    std::ofstream(Trace()) << "**** ERROR file opened at 20261210 041503 UTC\n";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Trace() const { return (folder_ / "Dev_Rfc.Trc").string(); }
  ScanLocks Scan(const fs::path& lockFile) const {
    return ScanLocks(lockFile.string(), Trace(), std::chrono::milliseconds(0));
  }
  ScanLocks Scan() const { return Scan(folder_ / kScanLockFile); }

  fs::path folder_;
};

TEST_F(ScanLocksTest, TheLastScanOutRemovesTheTrace) {
  ScanLocks first = Scan();
  ScanLocks second = Scan();
  first.EnterRfcPart();
  second.EnterRfcPart();
  first.LeaveRfcPartRemovingTrace();
  EXPECT_TRUE(fs::exists(Trace()));  // the second scan may still read it
  second.LeaveRfcPartRemovingTrace();
  EXPECT_FALSE(fs::exists(Trace()));
  EXPECT_EQ(fs::file_size(folder_ / kScanLockFile), 0u);
}

TEST_F(ScanLocksTest, ATraceLeftBehindGoesWithTheNextScanAlone) {
  {
    ScanLocks multiSystemRun = Scan();
    multiSystemRun.EnterRfcPart();  // held to the end of its run
    ScanLocks single = Scan();
    single.EnterRfcPart();
    single.LeaveRfcPartRemovingTrace();
    EXPECT_TRUE(fs::exists(Trace()));
  }  // the run ends, and its locks with it
  ScanLocks later = Scan();
  later.EnterRfcPart();
  later.LeaveRfcPartRemovingTrace();
  EXPECT_FALSE(fs::exists(Trace()));
}

TEST_F(ScanLocksTest, OneLogonAtATimeReadsTheDestinationFile) {
  ScanLocks first = Scan();
  ScanLocks second = Scan();
  EXPECT_TRUE(first.LockDestinationFile());
  EXPECT_FALSE(second.LockDestinationFile());  // waited its time, goes on without
  first.UnlockDestinationFile();
  {
    const DestinationFileLock locked(second);
    EXPECT_FALSE(first.LockDestinationFile());
  }
  EXPECT_TRUE(first.LockDestinationFile());
}

// The bound holds for the whole run: after one wait that timed out, later
// logons through destination files of the same run no longer wait.
TEST_F(ScanLocksTest, AfterOneTimedOutWaitTheRunWaitsNoMore) {
  using std::chrono::milliseconds;
  using std::chrono::steady_clock;
  ScanLocks other = Scan();
  ASSERT_TRUE(other.LockDestinationFile());  // held by a scan that hangs
  ScanLocks run((folder_ / kScanLockFile).string(), Trace(), milliseconds(1000));
  const auto start = steady_clock::now();
  EXPECT_FALSE(run.LockDestinationFile());
  const auto firstWait = steady_clock::now() - start;
  EXPECT_GE(firstWait, milliseconds(1000));  // the first logon waits its time
  for (int system = 2; system <= 3; ++system) {
    EXPECT_FALSE(run.LockDestinationFile()) << system;
    run.UnlockDestinationFile();
  }
  // The two later logons only tried: far less than another wait, however busy the machine.
  EXPECT_LT(steady_clock::now() - start - firstWait, milliseconds(900));
}

TEST_F(ScanLocksTest, NoWaitGoesPastTheRunsDeadline) {
  using std::chrono::milliseconds;
  using std::chrono::steady_clock;
  ScanLocks other = Scan();
  ASSERT_TRUE(other.LockDestinationFile());
  ScanLocks run((folder_ / kScanLockFile).string(), Trace(), std::chrono::hours(1));
  run.EndWaitsBy(steady_clock::now() + milliseconds(200));
  const auto start = steady_clock::now();
  EXPECT_FALSE(run.LockDestinationFile());
  EXPECT_LT(steady_clock::now() - start, std::chrono::minutes(5));  // not the hour
}

TEST_F(ScanLocksTest, WithoutALockFileEveryScanRunsAsAlone) {
  // A lock file that cannot be created, as in a folder that cannot be written.
  ScanLocks first = Scan(folder_ / "missing-folder" / kScanLockFile);
  ScanLocks second = Scan(folder_ / "missing-folder" / kScanLockFile);
  first.EnterRfcPart();
  second.EnterRfcPart();
  EXPECT_FALSE(first.LockDestinationFile());
  EXPECT_FALSE(second.LockDestinationFile());
  first.LeaveRfcPartRemovingTrace();
  EXPECT_FALSE(fs::exists(Trace()));
}

}  // namespace
}  // namespace vendralith

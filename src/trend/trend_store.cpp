#include "trend/trend_store.h"

#include "system/folders.h"
#include "system/lock_file.h"
#include "system/text_file.h"
#include "trend/trend_file.h"

namespace vendralith {

namespace {

constexpr std::uint32_t kFolderByte = 0;

std::vector<TrendSample> ReadSamples(const std::string& path) {
  const std::optional<std::string> bytes = ReadFileBytes(path, kLargestTrendFile);
  if (!bytes) return {};
  // Damaged, or none of ours: as if empty, and written anew.
  return ParseTrendFile(*bytes).value_or(std::vector<TrendSample>());
}

}  // namespace

StoredTrend StoreSample(const std::string& folder, const std::string& fileName,
                        const TrendSample& sample, std::chrono::milliseconds lockWait) {
  (void)CreateFolder(folder);  // false as well when it is there already
  const std::string path = folder + "\\" + fileName;
  LockFile lock(folder + "\\" + kTrendLockFile);
  const LockResult locked =
      lock.IsOpen() ? lock.Lock(kFolderByte, LockKind::Exclusive, lockWait) : LockResult::Failed;
  StoredTrend stored;
  // Read under the lock where there is one; the file is only ever replaced
  // whole, so that without one it is still read whole.
  stored.earlier = ReadSamples(path);
  switch (locked) {
    case LockResult::Taken:
      if (!WriteFileReplacing(path, TrendFileText(SamplesToKeep(stored.earlier, sample)))) {
        stored.note = "the file cannot be written";
      }
      lock.Unlock(kFolderByte);
      break;
    case LockResult::HeldByOther:
      stored.note = "another scan held the lock too long";
      break;
    case LockResult::Failed:
      stored.note =
          lock.IsOpen() ? "the lock file cannot be locked" : "the folder cannot be written";
      break;
  }
  return stored;
}

}  // namespace vendralith

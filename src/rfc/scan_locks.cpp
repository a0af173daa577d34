#include "rfc/scan_locks.h"

#include <algorithm>
#include <utility>

#include "rfc/trace_scan.h"
#include "system/text_file.h"

namespace vendralith {

namespace {
// The two locks are separate bytes of the one file.
constexpr std::uint32_t kRfcPartByte = 0;
constexpr std::uint32_t kDestinationFileByte = 1;
}  // namespace

ScanLocks::ScanLocks(std::string lockFile, std::string traceFile, std::chrono::milliseconds wait)
    : lockFile_(std::move(lockFile)), traceFile_(std::move(traceFile)), waitLeft_(wait) {}

LockFile* ScanLocks::File() {
  if (unusable_) return nullptr;
  if (!file_) {
    file_ = std::make_unique<LockFile>(lockFile_);
    unusable_ = !file_->IsOpen();
  }
  return unusable_ ? nullptr : file_.get();
}

LockResult ScanLocks::Lock(std::uint32_t byte, LockKind kind) {
  LockFile* file = File();
  if (file == nullptr) return LockResult::Failed;
  using std::chrono::milliseconds;
  const auto start = std::chrono::steady_clock::now();
  milliseconds wait = waitLeft_;
  if (waitsEnd_) {
    wait = std::min(wait, std::max(milliseconds(0),
                                   std::chrono::duration_cast<milliseconds>(*waitsEnd_ - start)));
  }
  const LockResult result = file->Lock(byte, kind, wait);
  const auto waited =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  waitLeft_ = result == LockResult::HeldByOther ? milliseconds(0)
                                                : std::max(milliseconds(0), waitLeft_ - waited);
  // A file system without locks: no later lock is tried, nor waited for.
  if (result == LockResult::Failed) unusable_ = true;
  return result;
}

void ScanLocks::EnterRfcPart() {
  if (rfcPartTried_) return;
  rfcPartTried_ = true;
  inRfcPart_ = Lock(kRfcPartByte, LockKind::Shared) == LockResult::Taken;
}

void ScanLocks::LeaveRfcPartRemovingTrace() {
  LockFile* file = File();
  // Windows cannot turn a shared lock into an exclusive one: let it go first.
  if (file != nullptr && inRfcPart_) file->Unlock(kRfcPartByte);
  inRfcPart_ = false;
  const LockResult alone =
      file != nullptr ? file->TryLock(kRfcPartByte, LockKind::Exclusive) : LockResult::Failed;
  if (alone == LockResult::HeldByOther) return;  // another scan may still need the trace
  // Held while the file goes: a scan starting now waits that long.
  RemoveFile(traceFile_);
  if (alone == LockResult::Taken) file->Unlock(kRfcPartByte);
}

bool ScanLocks::LockDestinationFile() {
  destinationLocked_ = Lock(kDestinationFileByte, LockKind::Exclusive) == LockResult::Taken;
  return destinationLocked_;
}

void ScanLocks::UnlockDestinationFile() {
  if (!destinationLocked_) return;
  destinationLocked_ = false;
  if (LockFile* file = File()) file->Unlock(kDestinationFileByte);
}

ScanLocks& FolderScanLocks() {
  static ScanLocks locks(kScanLockFile, kTraceFile);
  return locks;
}

}  // namespace vendralith

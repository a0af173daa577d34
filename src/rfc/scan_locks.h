// What keeps the scans started from one folder apart. They share the RFC
// library's files there: SapRfc.ini, which a logon through a destination
// file replaces and the library then reads, and the trace Dev_Rfc.Trc, to
// which every failure appends and from which a failed scan reads its note.
// Two byte locks of one empty lock file guard them; the operating system
// releases both when a scan ends. A lock that cannot be had, in a folder
// that cannot be written for example, never fails a scan: it then runs as
// it would alone.
#ifndef VENDRALITH_RFC_SCAN_LOCKS_H
#define VENDRALITH_RFC_SCAN_LOCKS_H

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "system/lock_file.h"

namespace vendralith {

inline constexpr const char* kScanLockFile = "Vendralith.Lck";

// How long a run waits for locks in all, before it goes on without them. A
// logon through a destination file holds its lock for as long as the logon
// takes, and several such logons may be queued. The bound is for the whole
// run, not for each lock: a multi-system run whose systems all log on through
// destination files must not wait it once per system.
inline constexpr std::chrono::milliseconds kScanLockWait{15000};

class ScanLocks {
 public:
  // The lock file is opened (and created) at the first lock, not before:
  // a scan that ends before its first logon leaves no file behind.
  ScanLocks(std::string lockFile, std::string traceFile,
            std::chrono::milliseconds wait = kScanLockWait);

  // No wait goes past this moment: the run's deadline.
  void EndWaitsBy(std::chrono::steady_clock::time_point deadline) { waitsEnd_ = deadline; }

  // Shared with every other scan from the first logon until the last read
  // of the trace. Only the first call tries (and waits): a multi-system run
  // calls it for every system.
  void EnterRfcPart();

  // Ends the RFC part of a successful scan and removes the trace when no
  // other scan of the folder is in its own, so that nobody still needs it.
  // Otherwise the trace stays, and the next success alone removes it. When
  // the locks cannot be had the trace goes, as it would alone.
  void LeaveRfcPartRemovingTrace();

  // Exclusive, from the copy of a destination file over SapRfc.ini until
  // RfcOpenEx returns, so that each logon reads its own destination. False
  // when the scan goes on without it.
  bool LockDestinationFile();
  void UnlockDestinationFile();

 private:
  // Nothing when the file cannot be locked: every lock is then given up.
  LockFile* File();
  LockResult Lock(std::uint32_t byte, LockKind kind);

  std::string lockFile_;
  std::string traceFile_;
  // What is left of the run's waiting; nothing after a wait that timed out,
  // since a lock held that long is held by a scan that hangs.
  std::chrono::milliseconds waitLeft_;
  std::optional<std::chrono::steady_clock::time_point> waitsEnd_;
  std::unique_ptr<LockFile> file_;
  bool unusable_ = false;
  bool rfcPartTried_ = false;
  bool inRfcPart_ = false;
  bool destinationLocked_ = false;
};

// The locks of the current folder, one set per process, guarding Dev_Rfc.Trc.
ScanLocks& FolderScanLocks();

// LockDestinationFile for the life of the object.
class DestinationFileLock {
 public:
  explicit DestinationFileLock(ScanLocks& locks) : locks_(locks) { locks_.LockDestinationFile(); }
  ~DestinationFileLock() { locks_.UnlockDestinationFile(); }
  DestinationFileLock(const DestinationFileLock&) = delete;
  DestinationFileLock& operator=(const DestinationFileLock&) = delete;

 private:
  ScanLocks& locks_;
};

}  // namespace vendralith

#endif

#include "rfc/call_log.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "system/clock.h"
#include "system/platform.h"

namespace vendralith {

namespace {

std::atomic<const CallLog*> current{nullptr};

// The size of the file in bytes; 0 when it is missing or no file to read (a
// folder), -1 when it is too large to tell.
long FileSize(const std::string& local) {
  std::FILE* file = std::fopen(local.c_str(), "rb");
  if (file == nullptr) return 0;
  const bool readable = std::fgetc(file) != EOF || std::ferror(file) == 0;
  const long size = !readable ? 0 : std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
  (void)std::fclose(file);  // read-only: closing cannot lose data
  return size;
}

}  // namespace

CallLog::CallLog(const std::string& parameterString, std::string path)
    : requested_(parameterString.find(",SYSLOG") != std::string::npos), path_(std::move(path)) {}

void CallLog::Start() const {
  if (!requested_) return;
  const std::string local = LocalPath(path_);
  // A size that cannot be told (past what a long holds) counts as overgrown.
  const long size = FileSize(local);
  if (size > kCallLogRollOver || size < 0) (void)RenameOver(local, local + ".1");
}

void CallLog::Write(std::int32_t handle, std::string_view step, std::string_view detail) const {
  if (!requested_) return;
  std::string text = std::to_string(handle);
  text.append(" ").append(step).append(" ").append(detail);
  WriteText(text);
}

void CallLog::WriteText(std::string_view text) const {
  if (!requested_) return;
  std::string line = LocalDateTime() + " " + std::to_string(CurrentProcessId()) + " ";
  // One line per entry, whatever a text holds.
  for (const char c : text) line += c == '\n' || c == '\r' ? ' ' : c;
  line += '\n';
  // In one write, so that scans logging at once never mix their lines; a
  // failed write is not the run's concern.
  (void)AppendAtOnce(LocalPath(path_), line);
}

const CallLog* CallLog::Current() { return current.load(); }

void CallLog::MakeCurrent() const { current.store(this); }

}  // namespace vendralith

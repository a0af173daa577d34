#include "rfc/call_log.h"

namespace vendralith {

void CallLog::Write(std::int32_t handle, std::string_view step, std::string_view detail) const {
  if (!requested_ || stream_ == nullptr) return;
  // The call log is a diagnostic aid: a failed write must not change the run.
  (void)std::fprintf(stream_, "%d %.*s %.*s\n", handle, static_cast<int>(step.size()), step.data(),
                     static_cast<int>(detail.size()), detail.data());
  (void)std::fflush(stream_);
}

}  // namespace vendralith

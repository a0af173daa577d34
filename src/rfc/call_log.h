// The call log: one line per RFC step, when the parameters hold ",SYSLOG"
// and a log stream is open. The sensor opens none, so by default nothing is
// written.
#ifndef VENDRALITH_RFC_CALL_LOG_H
#define VENDRALITH_RFC_CALL_LOG_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vendralith {

class CallLog {
 public:
  explicit CallLog(const std::string& parameterString)
      : requested_(parameterString.find(",SYSLOG") != std::string::npos) {}

  void AttachStream(std::FILE* stream) { stream_ = stream; }

  // "handle step detail" and a line end, flushed at once.
  void Write(std::int32_t handle, std::string_view step, std::string_view detail) const;

 private:
  bool requested_;
  std::FILE* stream_ = nullptr;
};

}  // namespace vendralith

#endif

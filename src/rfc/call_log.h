// The call log: with ",SYSLOG" in the parameters, one line per RFC step and
// per event worth knowing when a sensor fails, appended to Vendralith.log in
// the current folder, beside the RFC library's trace. Without the keyword
// nothing is opened. The log is a diagnostic aid: a log that cannot be
// written never changes the run.
#ifndef VENDRALITH_RFC_CALL_LOG_H
#define VENDRALITH_RFC_CALL_LOG_H

#include <cstdint>
#include <string>
#include <string_view>

namespace vendralith {

inline constexpr const char* kCallLogFile = "Vendralith.log";
// A log grown past this at the start of a run becomes "<log>.1", replacing
// the older one, so that the two stay bounded.
inline constexpr long kCallLogRollOver = 1024L * 1024L;

class CallLog {
 public:
  // Asked for when the upper-cased parameters hold ",SYSLOG".
  explicit CallLog(const std::string& parameterString, std::string path = kCallLogFile);

  // At the start of a run: rolls an overgrown log over. Nothing without the keyword.
  void Start() const;

  // Whether the log is written: what costs work only to be logged asks first.
  bool Requested() const { return requested_; }

  // "YYYY-MM-DD hh:mm:ss PID handle step detail" and a line end. Never a
  // password or a connect string: callers pass neither.
  void Write(std::int32_t handle, std::string_view step, std::string_view detail) const;

  // "YYYY-MM-DD hh:mm:ss PID text" and a line end.
  void WriteText(std::string_view text) const;

  // The run's log, for the parts of the program that have no run at hand:
  // the RFC error report and the deadline. Null until a run makes one current.
  static const CallLog* Current();
  void MakeCurrent() const;

 private:
  bool requested_;
  std::string path_;
};

}  // namespace vendralith

#endif

#include "rfc/call_log.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

std::string Logged(const std::string& parameterString, bool open) {
  std::FILE* stream = std::tmpfile();
  CallLog log(parameterString);
  if (open) log.AttachStream(stream);
  log.Write(7, "RfcOpen called", "");
  log.Write(0, "program started", "vendralith");
  std::rewind(stream);
  char buffer[256] = {};
  const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, stream);
  std::fclose(stream);
  return std::string(buffer, got);
}

TEST(CallLog, WritesOnlyWhenAskedAndOpen) {
  EXPECT_EQ(Logged("PERCENT,SYSLOG", true), "7 RfcOpen called \n0 program started vendralith\n");
  EXPECT_EQ(Logged("PERCENT,SYSLOG", false), "");  // asked for, but no stream is open
  EXPECT_EQ(Logged("PERCENT", true), "");          // not asked for
}

}  // namespace
}  // namespace vendralith

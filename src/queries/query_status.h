// The outcome of one remote call and its message.
#ifndef VENDRALITH_QUERIES_QUERY_STATUS_H
#define VENDRALITH_QUERIES_QUERY_STATUS_H

#include <string>

namespace vendralith {

struct QueryOutcome {
  int status = 0;       // 0 success, 1 communication failure, 2 exception, 3 system exception
  std::string message;  // the numbered message of a failed call
  bool Ok() const { return status == 0; }
};

// "Error 1012" to "Error 1015" for a failed call's status.
std::string QueryStatusMessage(int status, const std::string& exceptionName);

}  // namespace vendralith

#endif

#include "queries/query_status.h"

namespace vendralith {

std::string QueryStatusMessage(int status, const std::string& exceptionName) {
  switch (status) {
    case 1:
      return "Error 1014: RFC-Failure raised !";
    case 2:
      return "Error 1012: Exception.: " + exceptionName;
    case 3:
      return "Error 1013: Sys-Exception raised !";
    default:
      return "Error 1015: Other Failure raised !";
  }
}

}  // namespace vendralith

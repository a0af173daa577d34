#include "run/run_keywords.h"

#include "run/parallel_run.h"
#include "run/run_deadline.h"

namespace vendralith {

std::string ApplyValueKeywords(std::string_view parameterString, bool multiSystem,
                               RunSettings& settings) {
  // A value that cannot be kept must not be dropped without a word.
  if (const NumberKeyword timeout = ReadTimeout(parameterString); timeout.given) {
    if (timeout.value == 0) return kTimeoutError;
    settings.timeoutSeconds = timeout.value;
  }
  if (multiSystem) {
    if (const NumberKeyword parallel = ReadParallel(parameterString); parallel.given) {
      if (parallel.value == 0) return kParallelError;
      settings.parallelScans = parallel.value;
    }
  }
  return "";
}

}  // namespace vendralith

#include "trend/log_full_in.h"

#include "system/clock.h"
#include "system/folders.h"
#include "trend/trend_file.h"
#include "trend/trend_store.h"

namespace vendralith {

LogFullIn AskLogFullIn(const LogFullInRequest& request) {
  LogFullIn answer;
  answer.fileName = TrendFileName(request.systemId, request.databaseHost);
  const TrendSample sample{UtcSeconds(), request.fill};
  StoredTrend stored = StoreSample(request.folder, answer.fileName, sample);
  answer.value = HoursText(TenthsUntilFull(stored.earlier, sample, request.warningHours));
  answer.note = std::move(stored.note);
  return answer;
}

std::string TrendFolderPath() {
  const std::string current = CurrentFolder();
  return current.empty() ? std::string(kTrendFolder) : current + "\\" + kTrendFolder;
}

}  // namespace vendralith

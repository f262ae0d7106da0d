#include "follow/ReminderUpdater.h"

#include <ctime>

int LocalHourNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return 0;
#else
  if (!localtime_r(&now, &local)) return 0;
#endif
  return local.tm_hour;
}

void CReminderUpdater::RunOnce(bool& /*result*/) {
  if (!IsEvening(m_clock())) return;
  if (Host()->ReminderShownToday()) return;
  Host()->RequestReminders(false);
}

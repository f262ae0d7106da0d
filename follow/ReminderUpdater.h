// The evening reminder check: between 18:00 and 22:59 local time, and only while no automatic
// reminder was shown today, asks the host for the reminder feed (not forced).
#pragma once

#include <functional>

#include "follow/Executable.h"

// The local hour now, 0 to 23.
int LocalHourNow();
using LocalHourClock = std::function<int()>;

class CReminderUpdater : public CCountedTask {
public:
  CReminderUpdater(int runCount, ITaskHost& host, LocalHourClock clock = &LocalHourNow)
      : CCountedTask(runCount, &host), m_clock(std::move(clock)) {}

  static bool IsEvening(int hour) { return hour >= 18 && hour <= 22; }

protected:
  void RunOnce(bool& result) override;

private:
  LocalHourClock m_clock;
};

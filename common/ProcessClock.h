// The age of a process by the system clock, from its creation time.
#pragma once

#include <windows.h>

// A FILETIME as a count of 100 ns ticks.
inline long long FileTimeTicks(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return static_cast<long long>(ticks.QuadPart);
}

// Milliseconds from the process's creation until now; -1 when unknown.
inline double MsSinceCreation(HANDLE process) {
  FILETIME creation = {}, exit = {}, kernel = {}, user = {}, now = {};
  if (!::GetProcessTimes(process, &creation, &exit, &kernel, &user)) return -1;
  ::GetSystemTimeAsFileTime(&now);
  const long long elapsed = FileTimeTicks(now) - FileTimeTicks(creation);
  return elapsed >= 0 ? elapsed / 10000.0 : -1;
}

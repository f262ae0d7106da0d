#include "app/StartupTrace.h"

#include <windows.h>

#include "common/TraceRecord.h"

namespace {

long long FileTimeTicks(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return static_cast<long long>(ticks.QuadPart);
}

}  // namespace

long long MsSinceProcessCreation() {
  FILETIME creation = {}, exit = {}, kernel = {}, user = {};
  if (!::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user)) return -1;
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  const long long elapsed = FileTimeTicks(now) - FileTimeTicks(creation);  // 100 ns ticks
  return elapsed >= 0 ? elapsed / 10000 : -1;
}

void TraceStartupWorkDone(const std::wstring& traceFile) {
  WriteTrace(kStartupTraceSection, kStartupWorkDoneKey, std::to_wstring(MsSinceProcessCreation()), traceFile);
}

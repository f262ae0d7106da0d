#include "app/StartupTrace.h"

#include <windows.h>

#include <utility>

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

namespace {

// PROCESS_MEMORY_COUNTERS_EX's leading members, read through kernel32's own entry point so that
// the program does not link the process-status library for a diagnostic.
struct MemoryCounters {
  DWORD cb;
  DWORD pageFaultCount;
  SIZE_T peakWorkingSetSize;
  SIZE_T workingSetSize;
  SIZE_T quotaPeakPagedPoolUsage;
  SIZE_T quotaPagedPoolUsage;
  SIZE_T quotaPeakNonPagedPoolUsage;
  SIZE_T quotaNonPagedPoolUsage;
  SIZE_T pagefileUsage;
  SIZE_T peakPagefileUsage;
  SIZE_T privateUsage;
};

bool ReadOwnMemory(MemoryCounters& counters) {
  using GetMemoryInfoFn = BOOL(WINAPI*)(HANDLE, MemoryCounters*, DWORD);
  const auto read = reinterpret_cast<GetMemoryInfoFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
  counters = {};
  counters.cb = sizeof counters;
  return read && read(::GetCurrentProcess(), &counters, sizeof counters);
}

}  // namespace

CStartupMemoryTrace::CStartupMemoryTrace(std::wstring traceFile)
    : m_enabled(::GetEnvironmentVariableW(L"VXTAILCAST_TRACE_MEMORY", nullptr, 0) > 0),
      m_traceFile(std::move(traceFile)) {}

void CStartupMemoryTrace::After(const wchar_t* step) const {
  MemoryCounters counters;
  if (!m_enabled || !ReadOwnMemory(counters)) return;
  // Wine leaves the private share at 0 and reports it as the page-file share.
  const SIZE_T privateBytes = counters.privateUsage ? counters.privateUsage : counters.pagefileUsage;
  WriteTrace(L"StartupMemory", step,
             std::to_wstring(privateBytes / 1024) + L" " + std::to_wstring(counters.workingSetSize / 1024) + L" " +
                 std::to_wstring(MsSinceProcessCreation()),
             m_traceFile);
}

#include "app/StartupTrace.h"

#include <windows.h>
#include <psapi.h>

#include <utility>

#include "common/ProcessClock.h"
#include "common/TraceRecord.h"

long long MsSinceProcessCreation() { return static_cast<long long>(MsSinceCreation(::GetCurrentProcess())); }

void TraceStartupWorkDone(const std::wstring& traceFile) {
  WriteTrace(kStartupTraceSection, kStartupWorkDoneKey, std::to_wstring(MsSinceProcessCreation()), traceFile);
}

namespace {

// Read through kernel32's own entry point, so that the program does not link the
// process-status library for a diagnostic.
bool ReadOwnMemory(PROCESS_MEMORY_COUNTERS_EX& counters) {
  using GetMemoryInfoFn = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS_EX*, DWORD);
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
  PROCESS_MEMORY_COUNTERS_EX counters;
  if (!m_enabled || !ReadOwnMemory(counters)) return;
  // Wine leaves the private share at 0 and reports it as the page-file share.
  const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  WriteTrace(L"StartupMemory", step,
             std::to_wstring(privateBytes / 1024) + L" " + std::to_wstring(counters.WorkingSetSize / 1024) + L" " +
                 std::to_wstring(MsSinceProcessCreation()),
             m_traceFile);
}

#include "bench/ThreadCpuTime.h"

#include <tlhelp32.h>

#include "common/ScopedWin.h"

namespace vxbench {

namespace {

double Seconds(const FILETIME& time) {
  return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e7;
}

}  // namespace

ThreadCpuReading ReadThreadCpu(DWORD processId) {
  ThreadCpuReading reading;
  const ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return reading;
  reading.complete = true;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    const ScopedKernelHandle thread(::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
    FILETIME created, exited, kernel, user;
    if (!thread || !::GetThreadTimes(thread.Get(), &created, &exited, &kernel, &user)) {
      reading.complete = false;
      continue;
    }
    reading.seconds[entry.th32ThreadID] = Seconds(kernel) + Seconds(user);
  }
  reading.complete = reading.complete && !reading.seconds.empty();
  return reading;
}

CpuBetween CpuUsedBetween(const ThreadCpuReading& before, const ThreadCpuReading& after) {
  CpuBetween used;
  for (const auto& [thread, seconds] : after.seconds) {
    const auto earlier = before.seconds.find(thread);
    used.seconds += seconds - (earlier == before.seconds.end() ? 0 : earlier->second);
  }
  for (const auto& entry : before.seconds) {
    if (!after.seconds.count(entry.first)) ++used.endedThreads;
  }
  return used;
}

}  // namespace vxbench

// CPU time of another process, read thread by thread (GetThreadTimes). Wine answers
// GetProcessTimes for another process with the caller's own times; its thread times are the
// system's figures for each thread.
#pragma once

#include <windows.h>

#include <map>

namespace vxbench {

// Kernel plus user seconds of each thread of a process, by thread id.
struct ThreadCpuReading {
  bool complete = false;  // false when the threads could not be listed or one could not be read
  std::map<DWORD, double> seconds;
};

ThreadCpuReading ReadThreadCpu(DWORD processId);

struct CpuBetween {
  double seconds = 0;  // used between the readings by the threads of the later one
  int endedThreads = 0;  // threads of the earlier reading gone from the later one: their time is lost
};

CpuBetween CpuUsedBetween(const ThreadCpuReading& before, const ThreadCpuReading& after);

}  // namespace vxbench

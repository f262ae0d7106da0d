// CPU seconds (kernel and user, of every thread, ended ones included) that a process has used.
// Wine answers GetProcessTimes for another process with the caller's own times, so under Wine
// the figure comes from the Linux process behind it: its /proc/<pid>/stat, seen through drive
// Z:, the process found by the file name it was started from and this session's Wine prefix.
#pragma once

#include <windows.h>

#include <string>

namespace vxbench {

class ProcessCpuTime {
public:
  // `programName`: the file name the running process was started from, e.g. L"VXTailcast.exe".
  ProcessCpuTime(HANDLE process, const std::wstring& programName);

  // Negative when the time cannot be read (under Wine: not exactly one such process found).
  double Seconds() const;
  // Where the time is read: "GetProcessTimes", "/proc/<pid>/stat" or "nowhere".
  std::string Source() const;

private:
  HANDLE m_process;
  bool m_underWine;
  std::wstring m_statPath;  // under Wine; empty when the process was not found
};

}  // namespace vxbench

// Starting a program and waiting for it, for the tests, the benchmarks and the demo alike.
#pragma once

#include <windows.h>

#include <string>

#include "common/ScopedWin.h"

namespace vxtest {

// Delivers every message waiting for this thread's windows.
void ServeWindowMessages();

// A child process started with an exact raw command line, as the shell starts programs, in its
// program's folder. One that still runs when the object goes is ended.
class ChildProcess {
public:
  // The command line is "\"<executable>\"" followed by " <arguments>" when arguments are given.
  static ChildProcess Start(const std::wstring& executable, const std::wstring& arguments);
  ChildProcess() = default;
  ChildProcess(ChildProcess&& other) noexcept = default;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ~ChildProcess();

  bool IsStarted() const { return m_process.IsValid(); }
  DWORD Id() const { return m_id; }
  HANDLE Handle() const { return m_process.Get(); }
  // Waits for the process to end while serving this thread's windows.
  bool WaitForExit(DWORD timeoutMs);
  bool IsRunning() const;
  DWORD ExitCode() const;
  void Terminate();

private:
  ScopedKernelHandle m_process;
  DWORD m_id = 0;
};

}  // namespace vxtest

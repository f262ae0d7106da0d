#include "tests/support/ChildProcess.h"

#include <utility>

namespace vxtest {

void ServeWindowMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

ChildProcess ChildProcess::Start(const std::wstring& executable, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + executable + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  ChildProcess child;
  const std::wstring folder = executable.substr(0, executable.find_last_of(L'\\') + 1);
  if (!::CreateProcessW(executable.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
    return child;
  }
  const ScopedKernelHandle thread(info.hThread);
  child.m_process.Reset(info.hProcess);
  child.m_id = info.dwProcessId;
  return child;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Terminate();
    m_process = std::move(other.m_process);
    m_id = other.m_id;
  }
  return *this;
}

ChildProcess::~ChildProcess() { Terminate(); }

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
  if (!m_process) return false;
  const HANDLE process = m_process.Get();
  const DWORD start = ::GetTickCount();
  for (;;) {
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    const DWORD result = ::MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    ServeWindowMessages();
  }
}

bool ChildProcess::IsRunning() const {
  return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_process) ::GetExitCodeProcess(m_process.Get(), &code);
  return code;
}

void ChildProcess::Terminate() {
  if (!IsRunning()) return;
  ::TerminateProcess(m_process.Get(), 99);
  ::WaitForSingleObject(m_process.Get(), 5000);
}

}  // namespace vxtest

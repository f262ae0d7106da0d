#include "push/ScreenProbe.h"

CScreenProbe::CScreenProbe() : m_shell(::LoadLibraryW(L"shell32.dll")) {
  if (!m_shell) return;
  m_queryState = reinterpret_cast<QueryStateFn>(
      reinterpret_cast<void*>(::GetProcAddress(m_shell.Get(), "SHQueryUserNotificationState")));
}

ScreenState CScreenProbe::Read(bool sessionLocked) const {
  ScreenState screen;
  screen.sessionLocked = sessionLocked;
  screen.shellState = ShellState();
  screen.fullScreenForeground = IsFullScreenOfAnotherProcess(::GetForegroundWindow());
  return screen;
}

int CScreenProbe::ShellState() const {
  int state = kShellStateUnknown;
  if (!m_queryState || FAILED(m_queryState(&state))) return kShellStateUnknown;
  return state;
}

bool CScreenProbe::IsFullScreenOfAnotherProcess(HWND window) {
  if (!window || window == ::GetDesktopWindow() || window == ::GetShellWindow()) return false;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process == 0 || process == ::GetCurrentProcessId()) return false;
  if (!::IsWindowVisible(window) || ::IsIconic(window)) return false;
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, ARRAYSIZE(className));
  if (IsShellWindowClass(className)) return false;

  RECT bounds = {};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!::GetWindowRect(window, &bounds)) return false;
  if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  const RECT& screen = monitor.rcMonitor;
  return CoversMonitor({bounds.left, bounds.top, bounds.right, bounds.bottom},
                       {screen.left, screen.top, screen.right, screen.bottom});
}

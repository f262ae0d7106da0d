// Reads what the screen is doing for the reminder's moment: the shell's notification state
// (asked at run time: the call exists from Windows Vista on) and whether another program's
// window fills its monitor in the foreground. The session's lock is not read here: the
// window that shows reminders hears of it (WM_WTSSESSION_CHANGE).
#pragma once

#include <windows.h>

#include "common/ScopedWin.h"
#include "push/ReminderMoment.h"

class CScreenProbe {
public:
  CScreenProbe();
  CScreenProbe(const CScreenProbe&) = delete;
  CScreenProbe& operator=(const CScreenProbe&) = delete;

  ScreenState Read(bool sessionLocked) const;

  // Whether `window` (the foreground window, say) is another process's window that covers its
  // whole monitor; the shell's desktop and taskbar never count.
  static bool IsFullScreenOfAnotherProcess(HWND window);

private:
  using QueryStateFn = HRESULT(WINAPI*)(int* state);

  int ShellState() const;

  ScopedLibrary m_shell;
  QueryStateFn m_queryState = nullptr;
};

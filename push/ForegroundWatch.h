// Tells a window whenever another program's window comes to the foreground: a WinEvent hook
// (out of context, so the events arrive through the message loop of the thread that made the
// watch) that posts `message` to the window. Made and dropped on that thread.
#pragma once

#include <windows.h>

class CForegroundWatch {
public:
  CForegroundWatch(HWND notify, UINT message);
  ~CForegroundWatch();
  CForegroundWatch(const CForegroundWatch&) = delete;
  CForegroundWatch& operator=(const CForegroundWatch&) = delete;

  bool IsWatching() const { return m_hook != nullptr; }

private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                               DWORD time);

  HWINEVENTHOOK m_hook = nullptr;
  HWND m_notify;
  UINT m_message;
};

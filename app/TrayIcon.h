// The optional tray icon of the control window: added once, re-added when the shell
// restarts, removed on exit.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
  static constexpr UINT kIconId = 128;

  CTrayIcon() = default;
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  bool Add(HWND owner, HICON icon, UINT callbackMessage);
  // After "TaskbarCreated": the shell forgot every icon (or was not ready for the first add);
  // `icon` replaces the picture when given (the display's scale may have changed meanwhile).
  void Restore(HICON icon = nullptr);
  void Remove();

private:
  NOTIFYICONDATAW m_record = {};
  bool m_wanted = false;
  bool m_added = false;
};

#include "app/TrayIcon.h"

#include <cwchar>

bool CTrayIcon::Add(HWND owner, HICON icon, UINT callbackMessage) {
  m_record = {};
  m_record.cbSize = sizeof(NOTIFYICONDATAW);  // 956 bytes in the 32-bit build
  m_record.hWnd = owner;
  m_record.uID = kIconId;
  m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_record.uCallbackMessage = callbackMessage;
  m_record.hIcon = icon;
  std::wcsncpy(m_record.szTip, L"VexoTailcast", ARRAYSIZE(m_record.szTip) - 1);
  m_wanted = true;
  m_added = ::Shell_NotifyIconW(NIM_ADD, &m_record) != FALSE;
  return m_added;
}

void CTrayIcon::Restore(HICON icon) {
  if (!m_wanted) return;
  if (icon) m_record.hIcon = icon;
  m_added = ::Shell_NotifyIconW(NIM_ADD, &m_record) != FALSE;
}

void CTrayIcon::Remove() {
  if (m_added) ::Shell_NotifyIconW(NIM_DELETE, &m_record);
  m_wanted = false;
  m_added = false;
}

#include "platform/Lumilib/ToolTipWindow.h"

#include <commctrl.h>

namespace Lumi {

namespace {

constexpr UINT_PTR kToolId = 1;

TOOLINFOW ToolInfo(HWND owner, const RECT& area, const wchar_t* text) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every comctl32 version
  tool.uFlags = 0;
  tool.hwnd = owner;
  tool.uId = kToolId;
  tool.rect = area;
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

}  // namespace

bool CToolTipWindow::Create(HWND owner) {
  if (m_window) return true;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  m_window.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr));
  if (!m_window) return false;
  RECT none = {0, 0, 0, 0};
  TOOLINFOW tool = ToolInfo(owner, none, L"");
  ::SendMessageW(m_window.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_window.Get(), TTM_SETMAXTIPWIDTH, 0, 400);
  return true;
}

void CToolTipWindow::Track(HWND owner, const RECT& area, const std::wstring& text) {
  m_text = text;
  if (text.empty()) {
    Hide();
    return;
  }
  if (!Create(owner)) return;
  TOOLINFOW tool = ToolInfo(owner, area, m_text.c_str());
  ::SendMessageW(m_window.Get(), TTM_POP, 0, 0);
  ::SendMessageW(m_window.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_window.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_window.Get(), TTM_ACTIVATE, TRUE, 0);
}

void CToolTipWindow::Hide() {
  m_text.clear();
  if (!m_window) return;
  ::SendMessageW(m_window.Get(), TTM_POP, 0, 0);
  ::SendMessageW(m_window.Get(), TTM_ACTIVATE, FALSE, 0);
}

void CToolTipWindow::Destroy() {
  m_text.clear();
  m_window.Reset();
}

void CToolTipWindow::Relay(HWND owner, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_window || m_text.empty()) return;
  MSG msg = {};
  msg.hwnd = owner;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  ::SendMessageW(m_window.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace Lumi

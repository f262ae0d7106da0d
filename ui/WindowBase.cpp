#include "ui/WindowBase.h"

#include "platform/Lumilib/UISystem.h"
#include "platform/RidOdo/TaskModule.h"

CWindowBase::CWindowBase() = default;
// What is still queued for the window is freed here, while this class can still delete it.
CWindowBase::~CWindowBase() { DiscardPostedResources(); }

Lumi::CControlUI* CWindowBase::CreateControl(const wchar_t* className) {
  const Lumi::LPCREATECONTROL creator = Lumi::CUISystem::GetInstance().GetControlCreator();
  return creator ? creator(className) : nullptr;
}

LRESULT CWindowBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  BOOL handled = TRUE;
  if (msg == WM_CREATE) {
    result = OnCreateMessage(msg, wParam, lParam, handled);
  } else {
    handled = FALSE;
  }
  if (handled) return result;
  result = OnWindowMessage(msg, wParam, lParam, handled);
  if (handled) return result;
  if (m_paintManager.MessageHandler(msg, wParam, lParam, result)) return result;
  return Lumi::CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CWindowBase::OnFinalMessage(HWND) {}

LRESULT CWindowBase::OnResourceMessage(int requestId, CResourceArg* arg) {
  OnPreResource();
  return Lumi::CWindowWnd::OnResourceMessage(requestId, arg);
}

void CWindowBase::DiscardResource(int, CResourceArg* arg) { delete arg; }

void CWindowBase::OnPreResource() {}

LRESULT CWindowBase::OnCreateMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT CWindowBase::OnWindowMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

#include "platform/Lumilib/WindowWnd.h"

#include "platform/Lumilib/UISystem.h"

namespace Lumi {

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  if (!m_hWnd || !::IsWindow(m_hWnd)) return;
  ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
  const HWND window = m_hWnd;
  m_hWnd = nullptr;
  ::DestroyWindow(window);
}

UINT CWindowWnd::ResourceMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Lumi.ResourceArrived");
  return message;
}

bool CWindowWnd::RegisterWindowClass() {
  const HINSTANCE instance = CUISystem::GetInstance().GetModuleInstance();
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  if (const wchar_t* super = GetSuperClassName()) {
    if (!::GetClassInfoExW(nullptr, super, &windowClass) && !::GetClassInfoExW(instance, super, &windowClass)) {
      return false;
    }
    m_superProc = windowClass.lpfnWndProc;
  } else {
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.style = GetClassStyle();
    m_superProc = ::DefWindowProcW;
  }
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &CWindowWnd::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = GetWindowClassName();
  if (::RegisterClassExW(&windowClass)) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU menu) {
  if (m_hWnd || !RegisterWindowClass()) return nullptr;
  return ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                           CUISystem::GetInstance().GetModuleInstance(), this);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!m_hWnd) return;
  ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

BOOL CWindowWnd::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

bool CWindowWnd::PostResource(int requestId, CResourceArg* arg) {
  const auto discard = [this, requestId](CResourceArg* unsent) { DiscardResource(requestId, unsent); };
  return PostOwned(m_hWnd, ResourceMessage(), static_cast<WPARAM>(requestId),
                   std::unique_ptr<CResourceArg, decltype(discard)>(arg, discard));
}

void CWindowWnd::DiscardPostedResources() {
  DiscardPosted(m_hWnd, ResourceMessage(), [this](WPARAM requestId, LPARAM arg) {
    DiscardResource(static_cast<int>(requestId), reinterpret_cast<CResourceArg*>(arg));
  });
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_superProc, m_hWnd, msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CWindowWnd::OnResourceMessage(int requestId, CResourceArg* arg) {
  DiscardResource(requestId, arg);
  return 0;
}

void CWindowWnd::DiscardResource(int, CResourceArg*) {}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      self->m_hWnd = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  if (!self) return ::DefWindowProcW(window, msg, wParam, lParam);
  if (msg == ResourceMessage()) {
    return self->OnResourceMessage(static_cast<int>(wParam), reinterpret_cast<CResourceArg*>(lParam));
  }
  if (msg != WM_NCDESTROY) return self->HandleMessage(msg, wParam, lParam);
  const LRESULT result = self->HandleMessage(msg, wParam, lParam);
  self->DiscardPostedResources();
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  self->m_hWnd = nullptr;
  self->OnFinalMessage(window);
  return result;
}

}  // namespace Lumi

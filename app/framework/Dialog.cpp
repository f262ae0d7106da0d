#include "app/framework/Dialog.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
  if (m_modeless && m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CDialog::Create(HINSTANCE instance) {
  m_modeless = true;
  const HWND window = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
  return window != nullptr;
}

INT_PTR CDialog::DoModal(HINSTANCE instance) {
  m_modeless = false;
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_COMMAND && !m_modeless && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    ::EndDialog(m_hWnd, LOWORD(wParam));
    return true;
  }
  return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->m_hWnd = window;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  const INT_PTR handled = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
    self->m_hWnd = nullptr;
  }
  return handled;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnMessage(message, wParam, lParam, result)) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}

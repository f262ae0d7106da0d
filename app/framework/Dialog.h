// A dialog from a resource template, bound to its C++ object: the object is stored
// with the window at WM_INITDIALOG and every later message reaches OnMessage.
#pragma once

#include <windows.h>

class CDialog {
public:
  CDialog(UINT templateId, HWND parent);
  virtual ~CDialog();

  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Modeless creation; true when the window exists.
  bool Create(HINSTANCE instance);
  // Modal run; returns the EndDialog result, or -1 when the dialog could not be made.
  INT_PTR DoModal(HINSTANCE instance);

  HWND GetSafeHwnd() const { return m_hWnd; }

protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Return true when handled, with the message's result in `result`.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  UINT TemplateId() const { return m_templateId; }

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_templateId;
  HWND m_parent;
  HWND m_hWnd = nullptr;
  bool m_modeless = false;
};

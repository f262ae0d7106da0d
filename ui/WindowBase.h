// The base of the program's skinned windows: a library window with its own paint manager,
// listening to its controls and building unknown skin elements through the UI system's
// control creator. Messages go to OnCreateMessage (WM_CREATE) or OnWindowMessage first, then
// to the paint manager, then to the default handling.
#pragma once

#include <windows.h>

#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/UINotify.h"
#include "platform/Lumilib/WindowWnd.h"

class CWindowBase : public Lumi::CWindowWnd, public Lumi::INotifyUI, public Lumi::IDialogBuilderCallback {
public:
  CWindowBase();
  ~CWindowBase() override;

  Lumi::CControlUI* CreateControl(const wchar_t* className) override;
  Lumi::CPaintManagerUI& GetPaintManager() { return m_paintManager; }

protected:
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The window does not delete its object: the owner does.
  void OnFinalMessage(HWND window) override;
  LRESULT OnResourceMessage(int requestId, CResourceArg* arg) override;
  void DiscardResource(int requestId, CResourceArg* arg) override;

  // Runs before every resource message reaches the library's handling.
  virtual void OnPreResource();
  virtual LRESULT OnCreateMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);

  Lumi::CPaintManagerUI m_paintManager;
};

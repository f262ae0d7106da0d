// The window's tool-tip: one comctl32 tool over the control under the pointer, showing that
// control's tool-tip text after the pointer rests on it.
#pragma once

#include <windows.h>

#include <string>

#include "common/ScopedWin.h"

namespace Lumi {

class CToolTipWindow {
public:
  // The tool now covers `area` (client coordinates) with `text`; an empty text hides it.
  void Track(HWND owner, const RECT& area, const std::wstring& text);
  void Hide();
  // The tip's window goes; the next Track makes it again.
  void Destroy();
  // Hands a mouse message to the tool-tip, which times its appearance by them.
  void Relay(HWND owner, UINT message, WPARAM wParam, LPARAM lParam);

  HWND GetHWND() const { return m_window.Get(); }
  const std::wstring& GetText() const { return m_text; }

private:
  bool Create(HWND owner);

  ScopedWindow m_window;
  std::wstring m_text;
};

}  // namespace Lumi

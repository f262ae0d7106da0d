// A per-pixel-alpha layered window: every WM_PAINT lays out the control tree, paints it into
// an off-screen 32-bit bitmap and hands that to the window with one UpdateLayeredWindow.
#pragma once

#include "ui/WindowBase.h"

class CWindowTransparentBase : public CWindowBase {
public:
  // Lays out and redraws the window at once, without waiting for WM_PAINT.
  void RedrawLayered();

protected:
  // WM_PAINT; an override passes on what it does not take, so that painting keeps working.
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  // Paints the control tree into `dc` over `rc` (the client area).
  virtual void PaintContent(HDC dc, const RECT& rc);
  // Hands the finished picture to the window (UpdateLayeredWindow, ULW_ALPHA).
  virtual BOOL UpdateLayered(HDC source, POINT destination, SIZE size);

  BLENDFUNCTION m_blend = {};
};

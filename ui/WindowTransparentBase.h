// A per-pixel-alpha layered window: its control tree is painted into an off-screen 32-bit
// bitmap that is handed to the window with one UpdateLayeredWindow per redraw. The bitmap is
// kept between redraws: a redraw paints again only the area that changed (what the controls
// asked to have repainted, and what the window was told is invalid), and a window on screen
// that already shows the rest is handed only that area.
#pragma once

#include "ui/LayeredCanvas.h"
#include "ui/WindowBase.h"

class CWindowTransparentBase : public CWindowBase {
public:
  // Lays out and redraws the window at once, without waiting for WM_PAINT (which it spares).
  void RedrawLayered();

protected:
  // WM_PAINT; an override passes on what it does not take, so that painting keeps working.
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  // Paints the control tree into `dc` over `rc` (the client area); the context is clipped to
  // the area being repainted, which was made transparent first.
  virtual void PaintContent(HDC dc, const RECT& rc);
  // Hands the finished picture to the window (UpdateLayeredWindow, ULW_ALPHA); `changed`, in
  // client coordinates, is what differs from what the window shows (null: all of it).
  virtual BOOL UpdateLayered(HDC source, POINT destination, SIZE size, const RECT* changed);
  // Lets go of the kept picture; the next redraw paints all of it again.
  void ReleaseCanvas() { m_canvas.Release(); }

  BLENDFUNCTION m_blend = {};
  CLayeredCanvas m_canvas;

private:
  bool m_showsCanvas = false;  // the window is on screen with the whole picture as it was last handed over
  // `invalid`: what the window's own update region held (null: nothing).
  void Redraw(const RECT* invalid);
};

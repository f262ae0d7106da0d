#include "ui/WindowTransparentBase.h"

#include "common/ScopedGdi.h"
#include "platform/Lumilib/ControlUI.h"

LRESULT CWindowTransparentBase::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const bool hidden = (msg == WM_SHOWWINDOW && !wParam) ||
                      (msg == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW));
  if (hidden) m_showsCanvas = false;  // what the window showed may be gone when it comes back
  if (msg != WM_PAINT) {
    handled = FALSE;
    return 0;
  }
  PAINTSTRUCT paint = {};
  ::BeginPaint(m_hWnd, &paint);
  Redraw(&paint.rcPaint);
  handled = TRUE;
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

void CWindowTransparentBase::PaintContent(HDC dc, const RECT& rc) {
  Lumi::CControlUI* root = m_paintManager.GetRoot();
  if (root) root->DoPaint(dc, rc);
}

BOOL CWindowTransparentBase::UpdateLayered(HDC source, POINT destination, SIZE size, const RECT* changed) {
  POINT origin = {0, 0};
  UPDATELAYEREDWINDOWINFO info = {};
  info.cbSize = sizeof(info);
  info.pptDst = &destination;
  info.psize = &size;
  info.hdcSrc = source;
  info.pptSrc = &origin;
  info.pblend = &m_blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = changed;
  return ::UpdateLayeredWindowIndirect(m_hWnd, &info);
}

// The picture is fresh after this: a WM_PAINT still due would only hand it over once more.
void CWindowTransparentBase::RedrawLayered() {
  if (!m_hWnd) return;
  RECT pending = {};
  const bool invalid = ::GetUpdateRect(m_hWnd, &pending, FALSE) != FALSE;
  if (invalid) ::ValidateRect(m_hWnd, nullptr);
  Redraw(invalid ? &pending : nullptr);
}

void CWindowTransparentBase::Redraw(const RECT* invalid) {
  if (!m_hWnd) return;
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  m_paintManager.UpdateLayout(client);
  RECT dirty = m_paintManager.TakeInvalidArea(client);
  RECT fromWindow = {};
  if (invalid && ::IntersectRect(&fromWindow, invalid, &client)) ::UnionRect(&dirty, &dirty, &fromWindow);

  RECT window = {};
  ::GetWindowRect(m_hWnd, &window);
  const SIZE size = {window.right - window.left, window.bottom - window.top};
  {
    WindowDc windowDc(m_hWnd);
    if (m_canvas.Fit(windowDc.Get(), size)) dirty = client;
  }
  // A window that was hidden, or never had the whole picture, is handed all of it.
  const bool partial = m_showsCanvas && ::IsWindowVisible(m_hWnd) && !::IsRectEmpty(&dirty);
  m_showsCanvas = false;
  if (!m_canvas.IsValid()) return;
  const HDC canvas = m_canvas.GetDC();
  if (!::IsRectEmpty(&dirty)) {
    m_canvas.Clear(dirty);
    const int saved = ::SaveDC(canvas);
    ::IntersectClipRect(canvas, dirty.left, dirty.top, dirty.right, dirty.bottom);
    PaintContent(canvas, client);
    ::RestoreDC(canvas, saved);
  }

  m_blend.BlendOp = AC_SRC_OVER;
  m_blend.BlendFlags = 0;
  m_blend.SourceConstantAlpha = 255;
  m_blend.AlphaFormat = AC_SRC_ALPHA;
  // A failure leaves the previous picture on screen; there is nothing to report.
  const BOOL updated = UpdateLayered(canvas, POINT{window.left, window.top}, size, partial ? &dirty : nullptr);
  m_showsCanvas = updated && ::IsWindowVisible(m_hWnd);
}

#include "ui/WindowTransparentBase.h"

#include "common/ScopedGdi.h"
#include "platform/Lumilib/ControlUI.h"

LRESULT CWindowTransparentBase::OnWindowMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) {
  if (msg != WM_PAINT) {
    handled = FALSE;
    return 0;
  }
  PAINTSTRUCT paint = {};
  ::BeginPaint(m_hWnd, &paint);
  RedrawLayered();
  handled = TRUE;
  ::EndPaint(m_hWnd, &paint);
  return 0;
}

void CWindowTransparentBase::PaintContent(HDC dc, const RECT& rc) {
  Lumi::CControlUI* root = m_paintManager.GetRoot();
  if (root) root->DoPaint(dc, rc);
}

BOOL CWindowTransparentBase::UpdateLayered(HDC source, POINT destination, SIZE size) {
  POINT origin = {0, 0};
  return ::UpdateLayeredWindow(m_hWnd, nullptr, &destination, &size, source, &origin, 0, &m_blend, ULW_ALPHA);
}

void CWindowTransparentBase::RedrawLayered() {
  if (!m_hWnd) return;
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  m_paintManager.UpdateLayout(client);

  WindowDc windowDc(m_hWnd);
  ScopedMemoryDc memoryDc(::CreateCompatibleDC(windowDc.Get()));
  RECT window = {};
  ::GetWindowRect(m_hWnd, &window);
  const SIZE size = {window.right - window.left, window.bottom - window.top};
  ScopedBitmap bitmap = CreateArgbBitmap(windowDc.Get(), size.cx, size.cy);
  if (!memoryDc || !bitmap) return;
  ScopedSelection selection(memoryDc.Get(), bitmap.Get());

  PaintContent(memoryDc.Get(), client);

  m_blend.BlendOp = AC_SRC_OVER;
  m_blend.BlendFlags = 0;
  m_blend.SourceConstantAlpha = 255;
  m_blend.AlphaFormat = AC_SRC_ALPHA;
  // A failure leaves the previous picture on screen; there is nothing to report.
  UpdateLayered(memoryDc.Get(), POINT{window.left, window.top}, size);
}

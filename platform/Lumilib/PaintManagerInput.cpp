// The paint manager's message side: pointer, capture, cursor, size and paint.
#include <windowsx.h>

#include "platform/Lumilib/AlphaLayer.h"
#include "platform/Lumilib/ControlUI.h"
#include "platform/Lumilib/PaintManagerUI.h"

namespace Lumi {

namespace {

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

}  // namespace

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (!m_window) return false;
  if (IsMouseMessage(message)) m_toolTip.Relay(m_window, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lParam));
      return false;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return OnButtonDown(PointOf(lParam));
    case WM_LBUTTONUP:
      return OnButtonUp(PointOf(lParam));
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != m_window && m_pushed) {
        m_pushed->SetState(m_pushed->GetState() & ~UISTATE_PUSHED);
        m_pushed = nullptr;
      }
      return false;
    case WM_SETCURSOR:
      return OnSetCursor(lParam, result);
    case WM_SIZE:
      if (m_root) m_root->NeedUpdate();
      return false;
    case WM_PAINT:
      OnPaint();
      return true;
    default:
      return false;
  }
}

void CPaintManagerUI::SetHot(CControlUI* control, POINT pt) {
  if (control == m_hot) return;
  CControlUI* previous = m_hot;
  m_hot = control;
  if (previous) {
    previous->SetState(previous->GetState() & ~UISTATE_HOT);
    SendNotify(previous, EventFocusOut, pt);
  }
  // A handler may have hidden or removed the new control meanwhile.
  if (m_hot != control || !control) {
    if (!m_hot) m_toolTip.Hide();
    return;
  }
  control->SetState(control->GetState() | UISTATE_HOT);
  m_toolTip.Track(m_window, control->GetPos(), control->GetToolTip().Str());
  SendNotify(control, EventFocusIn, pt);
}

void CPaintManagerUI::OnMouseMove(POINT pt) {
  if (!m_trackingLeave) {
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_window, 0};
    m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
  }
  CControlUI* under = FindControl(pt);
  if (m_pushed) {
    // While the button is down only the pushed control tracks the pointer.
    const unsigned state = m_pushed->GetState();
    m_pushed->SetState(under == m_pushed ? (state | UISTATE_PUSHED) : (state & ~UISTATE_PUSHED));
    return;
  }
  SetHot(under, pt);
}

void CPaintManagerUI::OnMouseLeave() {
  m_trackingLeave = false;
  if (m_pushed) return;  // captured: the button-up still comes to us
  SetHot(nullptr, POINT{-1, -1});
}

bool CPaintManagerUI::OnButtonDown(POINT pt) {
  CControlUI* control = FindControl(pt);
  if (!control) return false;
  ::SetCapture(m_window);
  m_pushed = control;
  control->SetState(control->GetState() | UISTATE_PUSHED);
  return true;
}

bool CPaintManagerUI::OnButtonUp(POINT pt) {
  CControlUI* pushed = m_pushed;
  if (!pushed) return false;
  m_pushed = nullptr;
  pushed->SetState(pushed->GetState() & ~UISTATE_PUSHED);
  if (::GetCapture() == m_window) ::ReleaseCapture();
  CControlUI* under = FindControl(pt);
  if (under == pushed) SendNotify(pushed, EventClick, pt);
  // The tree may have changed in the handlers: hot follows what is under the pointer now.
  SetHot(FindControl(pt), pt);
  return true;
}

bool CPaintManagerUI::OnSetCursor(LPARAM lParam, LRESULT& result) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  POINT pt = {};
  if (!::GetCursorPos(&pt) || !::ScreenToClient(m_window, &pt)) return false;
  CControlUI* control = FindControl(pt);
  if (!control || !control->WantsHandCursor()) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  result = TRUE;
  return true;
}

// An ordinary window: the tree painted into a 32-bit buffer, then copied in one go.
void CPaintManagerUI::OnPaint() {
  PAINTSTRUCT paint = {};
  const HDC dc = ::BeginPaint(m_window, &paint);
  if (!dc) return;
  RECT client = {};
  ::GetClientRect(m_window, &client);
  UpdateLayout(client);
  CAlphaLayer buffer(client);
  if (buffer.IsValid()) {
    ::BitBlt(buffer.GetDC(), 0, 0, buffer.Width(), buffer.Height(), dc, 0, 0, SRCCOPY);
    PaintTree(buffer.GetDC(), paint.rcPaint);
    ::BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
             paint.rcPaint.bottom - paint.rcPaint.top, buffer.GetDC(), paint.rcPaint.left, paint.rcPaint.top,
             SRCCOPY);
  }
  ::EndPaint(m_window, &paint);
}

}  // namespace Lumi

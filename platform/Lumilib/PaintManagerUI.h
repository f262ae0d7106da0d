// One per window: owns the window's control tree, lays it out, paints it, turns mouse
// messages into control events and keeps the skin's fonts and pictures.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Lumilib/DpiScale.h"
#include "platform/Lumilib/FontTable.h"
#include "platform/Lumilib/ImageCache.h"
#include "platform/Lumilib/ToolTipWindow.h"
#include "platform/Lumilib/UINotify.h"
#include "platform/Lumilib/UIRect.h"

namespace Lumi {

class CAlphaLayer;
class CControlUI;

class CPaintManagerUI {
public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  void Init(HWND window);
  HWND GetPaintWindow() const { return m_window; }

  // The display's dpi (96 = 100 %, the default; clamped to 96..480). Skins are designed at 96:
  // their sizes, margins, positions and font sizes are scaled by dpi / 96 when the tree is laid
  // out and the fonts are made, while the controls keep the design values. A new dpi makes the
  // fonts again, chooses the pictures again and lays the whole tree out again on the next
  // UpdateLayout (the caller sizes the window, GetInitSize scaled).
  void SetDpi(UINT dpi);
  UINT GetDpi() const { return m_dpi; }
  // Design pixels to device pixels, rounded half away from zero (as MulDiv rounds).
  int Scale(int designPixels) const;
  QRect Scale(const RECT& design) const;

  // Mouse, cursor, size and (for ordinary windows) paint messages; true when consumed, with
  // `result` the message's answer.
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Takes ownership of the tree (the previous one is deleted); false for null.
  bool AttachDialog(CControlUI* root);
  // Lets go of the skin: the tree, its fonts and its pictures (a window that waits hidden
  // until it is needed again keeps nothing of it).
  void ReleaseSkin();
  CControlUI* GetRoot() const { return m_root.get(); }
  // By skin name; null when absent.
  CControlUI* FindControl(const wchar_t* name) const;
  // The top-most visible, enabled control under the point (client coordinates), or null.
  CControlUI* FindControl(POINT pt) const;

  void AddNotifier(INotifyUI* listener);
  bool RemoveNotifier(INotifyUI* listener);
  // Fires the event on the control's delegates, then tells the listeners.
  void SendNotify(CControlUI* sender, const wchar_t* type, POINT pt = POINT{0, 0}, WPARAM wParam = 0,
                  LPARAM lParam = 0);

  // Layout before painting: the root over the client area when it needs it (and the area is
  // not empty), otherwise each control that needs an update at its current position.
  void UpdateLayout(const RECT& client);
  // Paints the whole tree into `dc` over `rc`.
  void PaintTree(HDC dc, const RECT& rc);
  // Asks the window for a repaint of `rc` (empty: all of it), and remembers the area for a
  // window that paints itself outside WM_PAINT (a layered one).
  void Invalidate(const RECT& rc);
  // The area asked for since the last call (hidden or not), within the client area; the whole
  // client area once the root has been laid out anew.
  QRect TakeInvalidArea(const RECT& client);

  // How many leading characters of `text` fit in `widthPx` (device pixels) with the skin font
  // `fontIndex` at the current dpi.
  int GetTruncatedStringPos(const wchar_t* text, int widthPx, int fontIndex);
  HFONT GetFont(int index);
  bool AddFont(int id, const wchar_t* face, int sizePx, bool bold, bool italic = false, bool underline = false);
  // A skin picture's 2x file above 125 % when it has one, else the picture itself.
  Gdiplus::Bitmap* GetImage(const wchar_t* path);
  // That picture scaled to width x height, kept until the scale or the file changes.
  const CAlphaLayer* GetScaledImage(const wchar_t* path, int width, int height);
  // The skin's window size in design pixels.
  SIZE GetInitSize() const { return m_initSize; }
  void SetInitSize(int cx, int cy) { m_initSize = SIZE{cx, cy}; }

  CControlUI* GetHotControl() const { return m_hot; }
  CControlUI* GetPushedControl() const { return m_pushed; }
  HWND GetToolTipWindow() const { return m_toolTip.GetHWND(); }
  const std::wstring& GetToolTipText() const { return m_toolTip.GetText(); }

  // Controls tell the manager when they go away, hide or turn disabled.
  void ForgetControl(CControlUI* control);
  // Deletes a control taken out of the tree; while events are being delivered it waits until
  // the delivery is over, since a handler may have removed the very control that fired.
  void Retire(std::unique_ptr<CControlUI> control);
  void ToolTipChanged(CControlUI* control);

  // Folder of the module given to CUISystem::SetInstance, with a trailing separator.
  static std::wstring GetInstancePath();
  // Runs the calling thread's message loop until WM_QUIT; returns the WM_QUIT exit code.
  static int MessageLoop();

private:
  void OnMouseMove(POINT pt);
  void OnMouseLeave();
  bool OnButtonDown(POINT pt);
  bool OnButtonUp(POINT pt);
  bool OnSetCursor(LPARAM lParam, LRESULT& result);
  void OnPaint();
  void SetHot(CControlUI* control, POINT pt);
  void MarkInvalid(const RECT& rc);

  HWND m_window = nullptr;
  std::unique_ptr<CControlUI> m_root;
  std::vector<std::unique_ptr<CControlUI>> m_retired;
  int m_delivering = 0;
  std::vector<INotifyUI*> m_notifiers;
  CControlUI* m_hot = nullptr;
  CControlUI* m_pushed = nullptr;
  bool m_trackingLeave = false;
  SIZE m_initSize = {0, 0};
  QRect m_invalid;
  bool m_invalidAll = false;
  UINT m_dpi = kDesignDpi;
  CFontTable m_fonts;
  CImageCache m_images;
  CToolTipWindow m_toolTip;
};

}  // namespace Lumi

// The windowless control: a rectangle of one window that paints itself, takes attributes from
// the skin and fires events. Positions are in the window's client coordinates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/Lumilib/UIEvent.h"
#include "platform/Lumilib/UIRect.h"
#include "platform/Lumilib/UIString.h"

namespace Lumi {

class CPaintManagerUI;

// Flags of FindControl.
enum : unsigned {
  UIFIND_ALL = 0,
  UIFIND_VISIBLE = 1,   // skip hidden controls and everything inside them
  UIFIND_ENABLED = 2,   // skip disabled controls and everything inside them
  UIFIND_TOP_FIRST = 4  // children before their parent, the last-painted first (hit-testing)
};

// State bits the paint manager sets from the pointer.
enum : unsigned { UISTATE_HOT = 1, UISTATE_PUSHED = 2 };

using FindPredicate = std::function<bool(CControlUI*)>;

class CControlUI : public CEventSets {
public:
  CControlUI();
  ~CControlUI() override;

  virtual const wchar_t* GetClass() const { return L"Control"; }

  CStdString GetName() const { return m_name; }
  void SetName(const wchar_t* name);
  CStdString GetText() const { return m_text; }
  virtual void SetText(const wchar_t* text);
  CStdString GetToolTip() const { return m_toolTip; }
  void SetToolTip(const wchar_t* text);

  bool IsVisible() const { return m_visible; }
  void SetVisible(bool visible);
  bool IsEnabled() const { return m_enabled; }
  void SetEnabled(bool enabled);

  const QRect& GetPos() const { return m_pos; }
  virtual void SetPos(const QRect& pos);
  // Sizes, margins and float positions are the skin's design pixels; layout scales them.
  int GetFixedWidth() const { return m_fixedWidth; }  // 0: stretches
  void SetFixedWidth(int width);
  int GetFixedHeight() const { return m_fixedHeight; }
  void SetFixedHeight(int height);
  const QRect& GetPadding() const { return m_padding; }  // outer margins
  void SetPadding(const RECT& padding);
  bool IsFloat() const { return m_float; }
  const QRect& GetFloatPos() const { return m_floatPos; }  // relative to the parent's top-left corner
  void SetFloat(bool isFloat, const RECT& pos);

  uint32_t GetBkColor() const { return m_bkColor[0]; }
  void SetBkColor(DWORD argb);
  void SetHotBkColor(DWORD argb);
  void SetPushedBkColor(DWORD argb);
  void SetDisabledBkColor(DWORD argb);
  CStdString GetBkImage() const { return m_bkImage; }
  // A path relative to the skin folder, or absolute.
  void SetBkImage(const wchar_t* path);

  // Layout: a control that needs an update gets its position set again before the next paint.
  bool IsUpdateNeeded() const { return m_updateNeeded; }
  void NeedUpdate();
  void NeedParentUpdate();
  // Asks the window to repaint this control's rectangle (nothing before it has one).
  void Invalidate();

  unsigned GetState() const { return m_state; }
  // A change of the hot or pushed state repaints the control only when it shows them.
  void SetState(unsigned state);
  virtual bool PaintsState() const;
  virtual bool WantsHandCursor() const { return false; }

  virtual void DoPaint(HDC dc, const RECT& paintRect);
  virtual void SetAttribute(const wchar_t* name, const wchar_t* value);

  CPaintManagerUI* GetManager() const { return m_manager; }
  CControlUI* GetParent() const { return m_parent; }
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);

  // The first control of this subtree (this one included) that `match` accepts, or null.
  virtual CControlUI* FindControl(const FindPredicate& match, unsigned flags);

protected:
  virtual void PaintBkColor(HDC dc);
  virtual void PaintBkImage(HDC dc);
  virtual void PaintStatusImage(HDC dc);
  virtual void PaintText(HDC dc);
  // Draws a skin picture over the control; false when it cannot be loaded.
  bool DrawImage(HDC dc, const CStdString& path);
  // Design pixels to device pixels at the manager's dpi; unscaled without a manager.
  int Scaled(int designPixels) const;
  QRect Scaled(const RECT& design) const;
  bool Passes(unsigned flags) const;

private:
  CPaintManagerUI* m_manager = nullptr;
  CControlUI* m_parent = nullptr;
  CStdString m_name;
  CStdString m_text;
  CStdString m_toolTip;
  CStdString m_bkImage;
  QRect m_pos;
  QRect m_padding;
  QRect m_floatPos;
  int m_fixedWidth = 0;
  int m_fixedHeight = 0;
  bool m_visible = true;
  bool m_enabled = true;
  bool m_float = false;
  bool m_updateNeeded = true;
  unsigned m_state = 0;
  uint32_t m_bkColor[4] = {0, 0, 0, 0};  // normal, hot, pushed, disabled
};

}  // namespace Lumi

#include "platform/Lumilib/ControlUI.h"

#include <cwchar>

#include "platform/Lumilib/AttributeText.h"
#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/Render.h"

namespace Lumi {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (m_manager) m_manager->ForgetControl(this);
}

void CControlUI::SetName(const wchar_t* name) { m_name = CStdString(name); }

void CControlUI::SetText(const wchar_t* text) {
  if (m_text == text) return;
  m_text = CStdString(text);
  NeedUpdate();
}

void CControlUI::SetToolTip(const wchar_t* text) {
  m_toolTip = CStdString(text);
  if (m_manager) m_manager->ToolTipChanged(this);
}

void CControlUI::SetVisible(bool visible) {
  if (m_visible == visible) return;
  m_visible = visible;
  if (!visible && m_manager) m_manager->ForgetControl(this);
  NeedParentUpdate();
}

void CControlUI::SetEnabled(bool enabled) {
  if (m_enabled == enabled) return;
  m_enabled = enabled;
  if (!enabled && m_manager) m_manager->ForgetControl(this);
  Invalidate();
}

// Layout runs right before painting, and whatever moved a control already asked for a repaint
// of its container: invalidating here would only bring a second paint.
void CControlUI::SetPos(const QRect& pos) {
  m_pos = pos;
  m_updateNeeded = false;
}

void CControlUI::SetFixedWidth(int width) {
  if (m_fixedWidth == width) return;
  m_fixedWidth = width < 0 ? 0 : width;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int height) {
  if (m_fixedHeight == height) return;
  m_fixedHeight = height < 0 ? 0 : height;
  NeedParentUpdate();
}

void CControlUI::SetPadding(const RECT& padding) {
  m_padding = padding;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool isFloat, const RECT& pos) {
  m_float = isFloat;
  m_floatPos = pos;
  NeedParentUpdate();
}

void CControlUI::SetBkColor(DWORD argb) {
  m_bkColor[0] = argb;
  Invalidate();
}
void CControlUI::SetHotBkColor(DWORD argb) { m_bkColor[1] = argb; }
void CControlUI::SetPushedBkColor(DWORD argb) { m_bkColor[2] = argb; }
void CControlUI::SetDisabledBkColor(DWORD argb) { m_bkColor[3] = argb; }

void CControlUI::SetBkImage(const wchar_t* path) {
  if (m_bkImage == path) return;
  m_bkImage = CStdString(path);
  NeedUpdate();
}

void CControlUI::NeedUpdate() {
  m_updateNeeded = true;
  Invalidate();
}

void CControlUI::NeedParentUpdate() {
  if (m_parent) {
    m_parent->NeedUpdate();
  } else {
    NeedUpdate();
  }
  Invalidate();
}

// A control that was never laid out has drawn nothing yet; when it is, its container's
// layout asks for the repaint.
void CControlUI::Invalidate() {
  if (m_manager && !m_pos.IsEmpty()) m_manager->Invalidate(m_pos);
}

void CControlUI::SetState(unsigned state) {
  if (m_state == state) return;
  m_state = state;
  if (PaintsState()) Invalidate();
}

bool CControlUI::PaintsState() const { return m_bkColor[1] != 0 || m_bkColor[2] != 0; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  m_manager = manager;
  m_parent = parent;
}

bool CControlUI::Passes(unsigned flags) const {
  if ((flags & UIFIND_VISIBLE) && !m_visible) return false;
  if ((flags & UIFIND_ENABLED) && !m_enabled) return false;
  return true;
}

CControlUI* CControlUI::FindControl(const FindPredicate& match, unsigned flags) {
  if (!Passes(flags)) return nullptr;
  return match(this) ? this : nullptr;
}

void CControlUI::DoPaint(HDC dc, const RECT& paintRect) {
  RECT overlap;
  if (!::IntersectRect(&overlap, &paintRect, &m_pos)) return;
  PaintBkColor(dc);
  PaintBkImage(dc);
  PaintStatusImage(dc);
  PaintText(dc);
}

void CControlUI::PaintBkColor(HDC dc) {
  uint32_t color = m_bkColor[0];
  if (!m_enabled && m_bkColor[3]) {
    color = m_bkColor[3];
  } else if ((m_state & UISTATE_PUSHED) && m_bkColor[2]) {
    color = m_bkColor[2];
  } else if ((m_state & UISTATE_HOT) && m_bkColor[1]) {
    color = m_bkColor[1];
  }
  FillColor(dc, m_pos, color);
}

void CControlUI::PaintBkImage(HDC dc) { DrawImage(dc, m_bkImage); }

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

bool CControlUI::DrawImage(HDC dc, const CStdString& path) {
  if (path.IsEmpty() || !m_manager) return false;
  const CAlphaLayer* picture = m_manager->GetScaledImage(path, m_pos.GetWidth(), m_pos.GetHeight());
  if (!picture) return false;
  DrawScaledPicture(dc, m_pos, *picture);
  return true;
}

int CControlUI::Scaled(int designPixels) const {
  return m_manager ? m_manager->Scale(designPixels) : designPixels;
}

QRect CControlUI::Scaled(const RECT& design) const { return m_manager ? m_manager->Scale(design) : QRect(design); }

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const std::wstring key = name;
  int numbers[4] = {};
  uint32_t color = 0;
  if (key == L"name") {
    SetName(value);
  } else if (key == L"text") {
    SetText(value);
  } else if (key == L"tooltip") {
    SetToolTip(value);
  } else if (key == L"width" && ParseIntList(value, numbers, 1)) {
    SetFixedWidth(numbers[0]);
  } else if (key == L"height" && ParseIntList(value, numbers, 1)) {
    SetFixedHeight(numbers[0]);
  } else if (key == L"padding" && ParseIntList(value, numbers, 4)) {
    SetPadding(QRect(numbers[0], numbers[1], numbers[2], numbers[3]));
  } else if (key == L"float") {
    SetFloat(ParseFlag(value), m_floatPos);
  } else if (key == L"pos" && ParseIntList(value, numbers, 4)) {
    SetFloat(m_float, QRect(numbers[0], numbers[1], numbers[2], numbers[3]));
  } else if (key == L"bkcolor" && ParseColor(value, &color)) {
    SetBkColor(color);
  } else if (key == L"hotbkcolor" && ParseColor(value, &color)) {
    SetHotBkColor(color);
  } else if (key == L"pushedbkcolor" && ParseColor(value, &color)) {
    SetPushedBkColor(color);
  } else if (key == L"disabledbkcolor" && ParseColor(value, &color)) {
    SetDisabledBkColor(color);
  } else if (key == L"bkimage") {
    SetBkImage(value);
  } else if (key == L"visible") {
    SetVisible(ParseFlag(value));
  } else if (key == L"enabled") {
    SetEnabled(ParseFlag(value));
  }
}

}  // namespace Lumi

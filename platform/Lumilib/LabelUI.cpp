#include "platform/Lumilib/LabelUI.h"

#include <string>

#include "platform/Lumilib/AttributeText.h"
#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/Render.h"

namespace Lumi {

void CLabelUI::SetFont(int index) {
  m_font = index;
  NeedUpdate();
}

void CLabelUI::SetTextColor(DWORD argb) {
  m_textColor[0] = argb;
  Invalidate();
}
void CLabelUI::SetHotTextColor(DWORD argb) { m_textColor[1] = argb; }
void CLabelUI::SetPushedTextColor(DWORD argb) { m_textColor[2] = argb; }
void CLabelUI::SetDisabledTextColor(DWORD argb) { m_textColor[3] = argb; }

void CLabelUI::SetAlign(HAlign align) {
  m_align = align;
  Invalidate();
}

void CLabelUI::SetVAlign(VAlign align) {
  m_valign = align;
  Invalidate();
}

void CLabelUI::SetEndEllipsis(bool on) {
  m_endEllipsis = on;
  Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding) {
  m_textPadding = padding;
  NeedUpdate();
}

uint32_t CLabelUI::CurrentTextColor() const {
  if (!IsEnabled() && m_textColor[3]) return m_textColor[3];
  if ((GetState() & UISTATE_PUSHED) && m_textColor[2]) return m_textColor[2];
  if ((GetState() & UISTATE_HOT) && m_textColor[1]) return m_textColor[1];
  return m_textColor[0];
}

bool CLabelUI::PaintsState() const {
  return CControlUI::PaintsState() || m_textColor[1] != 0 || m_textColor[2] != 0;
}

void CLabelUI::PaintText(HDC dc) {
  if (GetText().IsEmpty() || !GetManager()) return;
  UINT format = m_align == HAlign::Center ? DT_CENTER : m_align == HAlign::Right ? DT_RIGHT : DT_LEFT;
  format |= m_valign == VAlign::Top ? DT_TOP : m_valign == VAlign::Bottom ? DT_BOTTOM : DT_VCENTER;
  if (m_endEllipsis) format |= DT_END_ELLIPSIS;
  DrawTextLine(dc, GetPos().Deflated(Scaled(m_textPadding)), GetText(), GetManager()->GetFont(m_font),
               CurrentTextColor(), format);
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const std::wstring key = name;
  const std::wstring text = value;
  int numbers[4] = {};
  uint32_t color = 0;
  if (key == L"font" && ParseIntList(value, numbers, 1)) {
    SetFont(numbers[0]);
  } else if (key == L"textcolor" && ParseColor(value, &color)) {
    SetTextColor(color);
  } else if (key == L"hottextcolor" && ParseColor(value, &color)) {
    SetHotTextColor(color);
  } else if (key == L"pushedtextcolor" && ParseColor(value, &color)) {
    SetPushedTextColor(color);
  } else if (key == L"disabledtextcolor" && ParseColor(value, &color)) {
    SetDisabledTextColor(color);
  } else if (key == L"align") {
    SetAlign(text == L"center" ? HAlign::Center : text == L"right" ? HAlign::Right : HAlign::Left);
  } else if (key == L"valign") {
    SetVAlign(text == L"top" ? VAlign::Top : text == L"bottom" ? VAlign::Bottom : VAlign::Center);
  } else if (key == L"endellipsis") {
    SetEndEllipsis(ParseFlag(value));
  } else if (key == L"textpadding" && ParseIntList(value, numbers, 4)) {
    SetTextPadding(QRect(numbers[0], numbers[1], numbers[2], numbers[3]));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

}  // namespace Lumi

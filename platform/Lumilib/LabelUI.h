// One line of text over the control's background, cut with "..." when endellipsis is set.
#pragma once

#include "platform/Lumilib/ControlUI.h"

namespace Lumi {

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

class CLabelUI : public CControlUI {
public:
  const wchar_t* GetClass() const override { return L"Label"; }

  // The skin's font index; -1: the window's default font.
  int GetFont() const { return m_font; }
  void SetFont(int index);
  void SetTextColor(DWORD argb);
  void SetHotTextColor(DWORD argb);
  void SetPushedTextColor(DWORD argb);
  void SetDisabledTextColor(DWORD argb);
  uint32_t GetTextColor() const { return m_textColor[0]; }
  void SetAlign(HAlign align);
  void SetVAlign(VAlign align);
  void SetEndEllipsis(bool on);
  // Margins between the control's edge and its text.
  void SetTextPadding(const RECT& padding);

  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool PaintsState() const override;

protected:
  void PaintText(HDC dc) override;
  uint32_t CurrentTextColor() const;

private:
  int m_font = -1;
  uint32_t m_textColor[4] = {0xFF000000, 0, 0, 0};  // normal, hot, pushed, disabled
  HAlign m_align = HAlign::Left;
  VAlign m_valign = VAlign::Center;
  bool m_endEllipsis = false;
  QRect m_textPadding;
};

}  // namespace Lumi

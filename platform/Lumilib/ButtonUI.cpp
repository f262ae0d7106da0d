#include "platform/Lumilib/ButtonUI.h"

#include <string>

#include "platform/Lumilib/AttributeText.h"

namespace Lumi {

void CButtonUI::SetStateImage(int state, const wchar_t* path) {
  m_images[state] = CStdString(path);
  NeedUpdate();
}

void CButtonUI::SetNormalImage(const wchar_t* path) { SetStateImage(0, path); }
void CButtonUI::SetHotImage(const wchar_t* path) { SetStateImage(1, path); }
void CButtonUI::SetPushedImage(const wchar_t* path) { SetStateImage(2, path); }
void CButtonUI::SetDisabledImage(const wchar_t* path) { SetStateImage(3, path); }

bool CButtonUI::PaintsState() const {
  return CLabelUI::PaintsState() || !m_images[1].IsEmpty() || !m_images[2].IsEmpty();
}

void CButtonUI::PaintStatusImage(HDC dc) {
  int state = 0;
  if (!IsEnabled()) {
    state = 3;
  } else if (GetState() & UISTATE_PUSHED) {
    state = 2;
  } else if (GetState() & UISTATE_HOT) {
    state = 1;
  }
  if (state != 0 && DrawImage(dc, m_images[state])) return;
  DrawImage(dc, m_images[0]);
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (!name || !value) return;
  const std::wstring key = name;
  if (key == L"normalimage") {
    SetNormalImage(value);
  } else if (key == L"hotimage") {
    SetHotImage(value);
  } else if (key == L"pushedimage") {
    SetPushedImage(value);
  } else if (key == L"disabledimage") {
    SetDisabledImage(value);
  } else if (key == L"handcursor") {
    SetHandCursor(ParseFlag(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

}  // namespace Lumi

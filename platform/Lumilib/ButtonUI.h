// A label that shows its state: per-state pictures (normal, hot, pushed, disabled; a missing
// one falls back to normal) and, through the label and the control, per-state colours.
#pragma once

#include "platform/Lumilib/LabelUI.h"

namespace Lumi {

class CButtonUI : public CLabelUI {
public:
  const wchar_t* GetClass() const override { return L"Button"; }

  void SetHandCursor(bool on) { m_handCursor = on; }
  bool WantsHandCursor() const override { return m_handCursor; }
  void SetNormalImage(const wchar_t* path);
  void SetHotImage(const wchar_t* path);
  void SetPushedImage(const wchar_t* path);
  void SetDisabledImage(const wchar_t* path);

  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool PaintsState() const override;

protected:
  void PaintStatusImage(HDC dc) override;

private:
  void SetStateImage(int state, const wchar_t* path);

  bool m_handCursor = false;
  CStdString m_images[4];  // normal, hot, pushed, disabled
};

}  // namespace Lumi

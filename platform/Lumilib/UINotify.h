// What a window hears from its controls, and the factory hook of skin building.
#pragma once

#include <windows.h>

#include "platform/Lumilib/UIString.h"

namespace Lumi {

class CControlUI;

struct TNotifyUI {
  CStdString sType;  // the event name: "click", "focusin", "focusout"
  CControlUI* pSender;
  WPARAM wParam;
  LPARAM lParam;
};

class INotifyUI {
public:
  virtual void Notify(TNotifyUI& msg) = 0;

protected:
  ~INotifyUI() = default;
};

class IDialogBuilderCallback {
public:
  // A control for an element the library does not know, or null.
  virtual CControlUI* CreateControl(const wchar_t* className) = 0;

protected:
  ~IDialogBuilderCallback() = default;
};

}  // namespace Lumi

#pragma once

#include "app/framework/Dialog.h"

// The modal about box reached from the control window's system menu.
class CAboutDlg : public CDialog {
public:
  explicit CAboutDlg(HWND owner);
};

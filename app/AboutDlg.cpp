#include "app/AboutDlg.h"

#include <commctrl.h>

#include "app/resource.h"

namespace {

// The box is the one window of the program made of the system's controls (the pop-up's tip
// sets its own up), so they are set up when it opens: a start that never shows it never
// loads the common controls.
void InitCommonControlsForTheBox() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);
}

}  // namespace

CAboutDlg::CAboutDlg(HWND owner) : CDialog(IDD_ABOUTBOX, owner) { InitCommonControlsForTheBox(); }

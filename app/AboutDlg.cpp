#include "app/AboutDlg.h"

#include "app/resource.h"

CAboutDlg::CAboutDlg(HWND owner) : CDialog(IDD_ABOUTBOX, owner) {}

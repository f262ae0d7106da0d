// Resource identifiers of the program.
#pragma once

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TAILCAST_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 129
#define IDC_ABOUT_VERSION 1000
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define ID_TRAY_EXIT 32771
#define ID_TRAY_AUTOSTART 32772

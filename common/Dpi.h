// One place answers "at what DPI": a window's, a monitor's, the system's; and what follows from
// it. The per-monitor calls exist from Windows 8.1 (monitors) and 10 (windows) on and are looked
// up at run time; where they are missing the system DPI answers, as it does for the whole
// desktop on Windows 7.
#pragma once

#include <windows.h>

constexpr UINT kDefaultDpi = 96;  // 100 %

UINT WindowDpi(HWND window);
UINT MonitorDpi(HMONITOR monitor);
UINT SystemDpi();

// A length at 96 dpi at `dpi`, rounded half away from zero (297 -> 446 at 144 dpi).
int ScaleForDpi(int value, UINT dpi);

// The small-icon size (SM_CXSMICON) at `dpi`: 16 at 96, 24 at 144.
int SmallIconSize(UINT dpi);

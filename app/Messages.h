// Private window messages of the control window and their command codes.
#pragma once

#include <windows.h>

inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 101;          // 1125
inline constexpr UINT WM_TAILCAST_COMMAND = WM_USER + 102;     // 1126
inline constexpr UINT WM_TAILCAST_UNINSTALL = WM_USER + 103;   // 1127
// Work posted to the control window (lParam: a heap std::function<void()> the window deletes),
// run in turn with every other posted message once the message loop runs.
inline constexpr UINT WM_TAILCAST_RUN_POSTED = WM_USER + 104;  // 1128

inline constexpr WPARAM CMD_STARTUP_WORK = 1006;
inline constexpr WPARAM CMD_CREATE_DESKFAVOR = 1007;
inline constexpr WPARAM CMD_UPDATE_SHORTCUT_URL = 1008;

inline constexpr wchar_t kControlWindowTitle[] = L"VexoTailcast";

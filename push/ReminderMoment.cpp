#include "push/ReminderMoment.h"

#include <algorithm>
#include <cwctype>

ReminderHold DecideReminderHold(const ScreenState& screen) {
  if (screen.sessionLocked) return ReminderHold::kSessionLocked;
  switch (screen.shellState) {
    case kShellStateUnknown:
    case kShellAcceptsNotifications: break;
    case kShellNotPresent: return ReminderHold::kShellNotPresent;
    case kShellBusy: return ReminderHold::kShellBusy;
    case kShellDirect3DFullScreen: return ReminderHold::kDirect3DFullScreen;
    case kShellPresentation: return ReminderHold::kPresentation;
    case kShellQuietTime: return ReminderHold::kQuietTime;
    case kShellStoreApp: return ReminderHold::kStoreApp;
    default: return ReminderHold::kOtherShellState;
  }
  return screen.fullScreenForeground ? ReminderHold::kFullScreenWindow : ReminderHold::kNone;
}

std::wstring HoldReasonText(ReminderHold hold) {
  switch (hold) {
    case ReminderHold::kNone: return L"none";
    case ReminderHold::kSessionLocked: return L"locked";
    case ReminderHold::kShellNotPresent: return L"not present";
    case ReminderHold::kShellBusy: return L"busy";
    case ReminderHold::kDirect3DFullScreen: return L"Direct3D full screen";
    case ReminderHold::kPresentation: return L"presentation";
    case ReminderHold::kQuietTime: return L"quiet time";
    case ReminderHold::kStoreApp: return L"store app";
    case ReminderHold::kOtherShellState: return L"shell busy";
    case ReminderHold::kFullScreenWindow: return L"full-screen window";
  }
  return L"unknown";
}

bool CoversMonitor(const ScreenRect& window, const ScreenRect& monitor) {
  if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) return false;
  return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
         window.bottom >= monitor.bottom;
}

// Window class names do not heed case.
bool IsShellWindowClass(const std::wstring& className) {
  const auto sameName = [&](const std::wstring& shell) {
    return shell.size() == className.size() &&
           std::equal(shell.begin(), shell.end(), className.begin(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
  };
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"#32769"}) {
    if (sameName(shell)) return true;
  }
  return false;
}

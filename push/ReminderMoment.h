// Whether the viewer can take a reminder now: not behind a locked screen, not while the shell
// says it is busy (presentation, quiet time, a game in Direct3D full screen, a store app), and
// not over another program's window that fills its monitor (a full-screen video or a
// borderless game, which older shells do not report). Windows-free: the window side reads the
// screen into a ScreenState.
#pragma once

#include <string>

// The shell's notification states (SHQueryUserNotificationState).
enum ShellNotificationState : int {
  kShellStateUnknown = 0,  // the shell could not be asked: our own checks decide
  kShellNotPresent = 1,    // locked, screen saver, another user's session in front
  kShellBusy = 2,
  kShellDirect3DFullScreen = 3,
  kShellPresentation = 4,
  kShellAcceptsNotifications = 5,
  kShellQuietTime = 6,
  kShellStoreApp = 7,
};

struct ScreenState {
  bool sessionLocked = false;
  int shellState = kShellStateUnknown;
  bool fullScreenForeground = false;  // another process's window covers its whole monitor
};

enum class ReminderHold {
  kNone,  // show now
  kSessionLocked,
  kShellNotPresent,
  kShellBusy,
  kDirect3DFullScreen,
  kPresentation,
  kQuietTime,
  kStoreApp,
  kOtherShellState,  // a state this program does not know: not "accepts", so it waits
  kFullScreenWindow,
};

ReminderHold DecideReminderHold(const ScreenState& screen);

// The reason as the trace records name it ("locked", "presentation", "full-screen window").
std::wstring HoldReasonText(ReminderHold hold);

struct ScreenRect {
  long left = 0, top = 0, right = 0, bottom = 0;
};

// A window covers its monitor when it reaches every edge (borderless windows often overhang).
// An empty monitor rectangle is never covered.
bool CoversMonitor(const ScreenRect& window, const ScreenRect& monitor);

// The shell's own desktop and taskbar windows, which fill or border a monitor without being
// anything the viewer watches.
bool IsShellWindowClass(const std::wstring& className);

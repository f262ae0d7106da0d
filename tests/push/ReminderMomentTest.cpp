// When the viewer can take a reminder: every shell state, the lock and a full-screen window,
// alone and together; and the geometry and window classes behind "full screen".
#include "push/ReminderMoment.h"

#include <gtest/gtest.h>

namespace {

ScreenState Screen(int shellState, bool locked = false, bool fullScreen = false) {
  ScreenState screen;
  screen.shellState = shellState;
  screen.sessionLocked = locked;
  screen.fullScreenForeground = fullScreen;
  return screen;
}

TEST(ReminderMomentTest, OnlyAnAcceptingOrSilentShellOverAFreeUnlockedScreenShows) {
  const struct {
    int shellState;
    ReminderHold hold;
  } cases[] = {
      {kShellStateUnknown, ReminderHold::kNone},
      {kShellNotPresent, ReminderHold::kShellNotPresent},
      {kShellBusy, ReminderHold::kShellBusy},
      {kShellDirect3DFullScreen, ReminderHold::kDirect3DFullScreen},
      {kShellPresentation, ReminderHold::kPresentation},
      {kShellAcceptsNotifications, ReminderHold::kNone},
      {kShellQuietTime, ReminderHold::kQuietTime},
      {kShellStoreApp, ReminderHold::kStoreApp},
      {8, ReminderHold::kOtherShellState},
      {-1, ReminderHold::kOtherShellState},
  };
  for (const auto& [state, hold] : cases) {
    SCOPED_TRACE(state);
    EXPECT_EQ(DecideReminderHold(Screen(state)), hold);
    // A lock outweighs everything; a full-screen window holds what the shell would let through.
    EXPECT_EQ(DecideReminderHold(Screen(state, true, true)), ReminderHold::kSessionLocked);
    const ReminderHold withFullScreen = hold == ReminderHold::kNone ? ReminderHold::kFullScreenWindow : hold;
    EXPECT_EQ(DecideReminderHold(Screen(state, false, true)), withFullScreen);
    EXPECT_NE(HoldReasonText(hold), L"unknown");
  }
  EXPECT_EQ(HoldReasonText(ReminderHold::kFullScreenWindow), L"full-screen window");
  EXPECT_EQ(HoldReasonText(ReminderHold::kSessionLocked), L"locked");
}

TEST(ReminderMomentTest, AWindowCoversItsMonitorOnlyWhenItReachesEveryEdge) {
  const ScreenRect monitor = {1280, 0, 2560, 800};  // a second monitor, right of the first
  EXPECT_TRUE(CoversMonitor({1280, 0, 2560, 800}, monitor));
  EXPECT_TRUE(CoversMonitor({1272, -8, 2568, 808}, monitor));  // a maximised frame overhangs
  EXPECT_FALSE(CoversMonitor({1280, 0, 2560, 760}, monitor));  // the taskbar stays free
  EXPECT_FALSE(CoversMonitor({0, 0, 1280, 800}, monitor));     // the other monitor
  EXPECT_FALSE(CoversMonitor({1281, 0, 2560, 800}, monitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 100, 100}, ScreenRect{}));
}

TEST(ReminderMomentTest, TheShellsDesktopAndTaskbarAreNeverAFullScreenProgram) {
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"#32769"}) {
    EXPECT_TRUE(IsShellWindowClass(shell)) << shell;
  }
  EXPECT_FALSE(IsShellWindowClass(L"MozillaWindowClass"));
  EXPECT_TRUE(IsShellWindowClass(L"progman"));  // class names do not heed case
  EXPECT_FALSE(IsShellWindowClass(L""));
}

}  // namespace

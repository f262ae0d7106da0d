// The control window's handle, for the threads that hand it commands: published when the
// window is made and withdrawn when it goes. Other threads only send or post to the handle;
// the window object itself is touched on its own thread alone.
#pragma once

#include <windows.h>

void PublishControlWindow(HWND window);
// Withdraws `window` if it is the one published (a newer window keeps its place).
void WithdrawControlWindow(HWND window);
// The control window, or null when there is none (not yet, or gone).
HWND PublishedControlWindow();

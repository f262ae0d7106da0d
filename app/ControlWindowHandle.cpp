#include "app/ControlWindowHandle.h"

#include <atomic>

namespace {
std::atomic<HWND> g_controlWindow{nullptr};
}

void PublishControlWindow(HWND window) { g_controlWindow.store(window); }

void WithdrawControlWindow(HWND window) {
  HWND expected = window;
  g_controlWindow.compare_exchange_strong(expected, nullptr);
}

HWND PublishedControlWindow() { return g_controlWindow.load(); }

// What a full-screen video player or a borderless game looks like to other programs: a
// top-most borderless window of its own process covering the whole primary monitor, in the
// foreground. It stays until it is sent WM_CLOSE (or after ten minutes, should a test forget it).
#include <windows.h>

namespace {

constexpr wchar_t kTitle[] = L"VX full screen";
constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMs = 10 * 60 * 1000;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kGiveUpTimer) ::DestroyWindow(window);
  if (message == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = L"VXFullScreenWindow";
  if (!::RegisterClassW(&windowClass)) return 1;
  const HWND window = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, kTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                                        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, instance, nullptr);
  if (!window) return 1;
  ::SetForegroundWindow(window);
  ::SetTimer(window, kGiveUpTimer, kGiveUpMs, nullptr);
  MSG message = {};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}

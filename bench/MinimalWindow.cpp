// The baseline of the start-up benchmark: a Win32 program that opens one hidden window
// and runs its message loop, nothing else.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VXBenchMinimal";
  if (!::RegisterClassW(&windowClass)) return 1;
  if (!::CreateWindowW(L"VXBenchMinimal", L"VXBenchMinimal", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                       instance, nullptr)) {
    return 1;
  }
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

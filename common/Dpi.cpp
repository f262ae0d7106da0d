#include "common/Dpi.h"

#include "common/ScopedGdi.h"

namespace {

template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

// Loaded on first use and kept.
template <class Function>
Function ShcoreFunction(const char* name) {
  static const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
  return shcore ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(shcore, name))) : nullptr;
}

bool Plausible(UINT dpi) { return dpi >= 48 && dpi <= 960; }

}  // namespace

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (Plausible(dpi)) return dpi;
  }
  return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

// shcore.dll loads on the first call; windows are asked directly where they can be.
UINT MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor = ShcoreFunction<GetDpiForMonitorFn>("GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) &&
      Plausible(x)) {
    return x;
  }
  return SystemDpi();
}

UINT SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (getDpiForSystem) {
    const UINT dpi = getDpiForSystem();
    if (Plausible(dpi)) return dpi;
  }
  const ScreenDc screen;
  const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return Plausible(static_cast<UINT>(dpi)) ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int ScaleForDpi(int value, UINT dpi) { return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDefaultDpi)); }

int SmallIconSize(UINT dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto metricsForDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (metricsForDpi) {
    const int size = metricsForDpi(SM_CXSMICON, dpi);
    if (size > 0) return size;
  }
  return ::MulDiv(::GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

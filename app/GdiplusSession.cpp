#include "app/GdiplusSession.h"

#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

void StartGdiplusForProcess() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

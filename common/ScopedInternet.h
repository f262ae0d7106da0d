#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/ScopedWin.h"

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};
using ScopedInternet = ScopedHandle<InternetTraits>;

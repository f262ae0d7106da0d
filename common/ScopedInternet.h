#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/OpenInternetHandles.h"
#include "common/ScopedWin.h"

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};
using ScopedInternet = ScopedHandle<InternetTraits>;

// A handle listed among the program's open ones (given by ListInternetHandle), which abandoning
// the network may close from another thread.
struct ListedInternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseListedInternetHandle(h); }
};
using ListedInternet = ScopedHandle<ListedInternetTraits>;

#include "favorites/InterruptedWrites.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "common/FileReplace.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"

namespace {

// Whatever this instance finds written before it started is no write of its own.
FILETIME ProcessStart() {
  FILETIME created = {}, exited = {}, kernel = {}, user = {};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  return created;
}

void PutRight() {
  const FILETIME started = ProcessStart();
  const int removed = RemoveLeftoverTemporaries(GetDesktopDirectory(), started) +
                      RemoveLeftoverTemporaries(AlbumIconFolder(), started);
  if (removed == 0) return;
  WriteTrace(L"Tailcast", L"InterruptedWrites : ", L"removed " + std::to_wstring(removed) + L" temporaries");
}

}  // namespace

void PutRightInterruptedWrites() {
  static std::once_flag once;
  std::call_once(once, PutRight);
}

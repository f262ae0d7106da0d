#include "favorites/InterruptedWrites.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "common/DirectoryTree.h"
#include "common/FileReplace.h"
#include "common/TraceRecord.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "favorites/RecoveredShortcut.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"

namespace {

// A renamed shortcut is saved under its first name, its row then names the new one, and then
// it moves (WriteShortcutLink). Only this album's shortcut, with its album icon, is moved.
bool FinishRename(const DeskShortcut& row, const std::wstring& desktop, const std::wstring& iconFolder) {
  const std::wstring first = ShortcutPathFor(desktop, row.albumName);
  if (first.empty() || ::_wcsicmp(first.c_str(), row.lnk.c_str()) == 0 || !IsFile(first)) return false;
  LinkFacts link;
  if (!ReadShortcutLink(first, link) || AlbumIdOfIcon(link.iconLocation, iconFolder) != row.albumId) return false;
  return MoveFileOver(first, row.lnk);
}

int FinishRenames() {
  const std::wstring desktop = GetDesktopDirectory();
  const std::wstring iconFolder = AlbumIconFolder();
  if (desktop.empty() || iconFolder.empty()) return 0;
  std::lock_guard writing(ShortcutRewriteLock());
  int finished = 0;
  for (const DeskShortcut& row : LoadDeskShortcutsWithoutFile()) {
    if (FinishRename(row, desktop, iconFolder)) ++finished;
  }
  return finished;
}

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
  const int renamed = FinishRenames();
  if (removed == 0 && renamed == 0) return;
  WriteTrace(L"Tailcast", L"InterruptedWrites : ",
             L"removed " + std::to_wstring(removed) + L" temporaries, finished " + std::to_wstring(renamed) +
                 L" renames");
}

}  // namespace

void PutRightInterruptedWrites() {
  static std::once_flag once;
  std::call_once(once, PutRight);
}

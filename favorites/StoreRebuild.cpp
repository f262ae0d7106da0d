#include "favorites/StoreRebuild.h"

#include <windows.h>

#include <cwchar>
#include <set>

#include "common/ScopedWin.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "favorites/RecoveredShortcut.h"
#include "favorites/ShortcutLink.h"

namespace {

std::wstring DatedName(const std::wstring& storePath) {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  wchar_t stamp[32] = {};
  std::swprintf(stamp, 32, L".damaged-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return storePath + stamp;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ShortcutRecord RowOf(const RecoveredShortcut& shortcut) {
  ShortcutRecord row;
  row.strLNK = WideToAnsi(shortcut.lnk);
  row.strIconName = WideToAnsi(shortcut.iconName);
  row.strAlbumName = WideToAnsi(shortcut.albumName);
  row.strTips = WideToAnsi(shortcut.tips);
  row.strStartupParams = WideToAnsi(shortcut.startupParams);
  row.strVideoURL = WideToAnsi(shortcut.videoUrl);
  row.nAlbumID = shortcut.albumId;
  row.nFinished = shortcut.finished;
  row.iInfoType = shortcut.infoType;
  return row;
}

}  // namespace

std::wstring SetAsideDamagedStore(const std::wstring& storePath) {
  const std::wstring base = DatedName(storePath);
  std::wstring kept = base;
  for (int n = 2; Exists(kept) && n < 100; ++n) kept = base + L"-" + std::to_wstring(n);
  if (!::MoveFileExW(storePath.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH)) return L"";
  // A journal left beside the new store would be played back into it.
  for (const wchar_t* journal : {L"-journal", L"-wal", L"-shm"}) {
    if (Exists(storePath + journal)) ::MoveFileExW((storePath + journal).c_str(), (kept + journal).c_str(), 0);
  }
  return kept;
}

std::vector<ShortcutRecord> ShortcutRowsFromDesktop() {
  std::vector<ShortcutRecord> rows;
  const std::wstring desktop = GetDesktopDirectory();
  const std::wstring iconFolder = AlbumIconFolder();
  if (desktop.empty() || iconFolder.empty()) return rows;
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle search(::FindFirstFileW((desktop + L"\\*.lnk").c_str(), &found));
  if (!search) return rows;
  std::set<std::string> names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    LinkFacts link;
    if (!ReadShortcutLink(desktop + L"\\" + found.cFileName, link)) continue;
    const std::optional<RecoveredShortcut> shortcut = RecoverShortcut(link, iconFolder);
    if (!shortcut) continue;
    ShortcutRecord row = RowOf(*shortcut);
    if (names.insert(row.strAlbumName).second) rows.push_back(std::move(row));
  } while (::FindNextFileW(search.Get(), &found));
  return rows;
}
